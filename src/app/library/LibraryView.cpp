#include "app/library/LibraryView.h"

#include "app/AppLog.h"
#include "app/library/GuideCollection.h"
#include "app/library/LibraryDialogs.h"
#include "app/library/NewGuideButton.h"
#include "app/library/SearchField.h"
#include "engine/PermissionsService.h"
#include "model/Guide.h"
#include "model/ModelContext.h"
#include "model/ScreenshotCache.h"
#include "model/Settings.h"
#include "model/Step.h"
#include "model/StorageService.h"
#include "style/MeshWallpaper.h"
#include "style/PillButton.h"
#include "style/Shapes.h"
#include "style/Symbols.h"
#include "style/TextLine.h"
#include "style/Typography.h"
#include "style/ZOVAColor.h"
#include "style/ZOVAMark.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QStackedLayout>
#include <QVBoxLayout>

namespace zova {

namespace {

// The header's bar: a slightly lifted window colour with a hairline below.
class HeaderBar : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), Shapes::withAlpha(Shapes::controlBackground(), 0.6));
        p.fillRect(QRectF(0, height() - 0.5, width(), 0.5), ZOVAColor::separator());
    }
};

QLabel* textLabel(const QString& text, const QFont& font, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setFont(font);
    l->setTextFormat(Qt::PlainText); // guide titles come from other programs' window titles
    return l;
}

// The editor's place until the editor exists: the guide's title and a way back.
QWidget* makeEditorPlaceholder(Guide* guide, std::function<void()> onClose)
{
    auto* place = new MeshWallpaper(MeshWallpaper::Variant::Pink);
    place->setObjectName(QStringLiteral("editorPlaceholder"));
    auto* v = new QVBoxLayout(place);
    v->setAlignment(Qt::AlignCenter);
    auto* title = textLabel(guide ? guide->title() : QString(), Typography::bold(18), place);
    title->setAlignment(Qt::AlignCenter);
    v->addWidget(title);
    auto* back = new PillButton(QStringLiteral("Library"), place);
    back->setSymbol(QStringLiteral("arrow.up"));
    pill(back, PillStyle::Variant::glass(false), PillStyle::Size::Md);
    QObject::connect(back, &QAbstractButton::clicked, place, [onClose] { onClose(); });
    v->addWidget(back, 0, Qt::AlignHCenter);
    return place;
}

} // namespace

LibraryView::LibraryView(ModelContext* context, const StorageService& storage, Settings& settings,
    PermissionsService& permissions, LibraryHooks hooks, QWidget* parent)
    : QWidget(parent)
    , m_context(context)
    , m_storage(storage)
    , m_hooks(std::move(hooks))
    , m_settings(settings)
    , m_permissions(permissions)
{
    if (!m_hooks.screenshots)
        m_ownScreenshots = std::make_unique<ScreenshotCache>(m_storage);
    m_screenshots = m_hooks.screenshots ? m_hooks.screenshots : m_ownScreenshots.get();
    setMinimumSize(1100, 720);
    m_stack = new QStackedLayout(this);
    m_stack->setContentsMargins(0, 0, 0, 0);
    m_root = buildRoot();
    m_stack->addWidget(m_root);

    m_refreshTimer.setSingleShot(true);
    m_refreshTimer.setInterval(0);
    connect(&m_refreshTimer, &QTimer::timeout, this, &LibraryView::refresh);
    if (m_context) {
        connect(m_context, &ModelContext::guidesChanged, this, [this] {
            for (Guide* g : m_context->guides())
                watch(g);
            scheduleRefresh();
        });
        for (Guide* g : m_context->guides())
            watch(g);
    }
    refresh();
}

LibraryView::~LibraryView() = default;

void LibraryView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_appeared)
        return;
    m_appeared = true;
    if (m_hooks.didAppear)
        m_hooks.didAppear(this);
}

QWidget* LibraryView::buildRoot()
{
    auto* root = new MeshWallpaper(MeshWallpaper::Variant::Pink, this);
    root->setObjectName(QStringLiteral("libraryRoot"));
    auto* v = new QVBoxLayout(root);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    // The header sits right under the window's menu bar: no room is kept for a
    // title bar drawn over the content.
    v->addWidget(buildHeader(root));
    v->addWidget(buildSubHeader(root));

    m_collection = new GuideCollection(
        [this](Guide* g) {
            QPointer<Guide> guide(g);
            return GuideActions { [this, guide] { setEditingGuide(guide); }, [this, guide] { requestRename(guide); },
                [this, guide] { requestDelete(guide); } };
        },
        m_hooks.aiAvailable, m_screenshots, root);
    connect(m_collection, &GuideCollection::newGuideRequested, this, &LibraryView::startPicking);
    v->addWidget(m_collection, 1);

    const auto shortcut = [&](const QKeySequence& key, auto fn) {
        // Whenever the window is active and the library shown, wherever the
        // focus is (none at all after the picker closes).
        auto* s = new QShortcut(key, root);
        s->setContext(Qt::WindowShortcut);
        connect(s, &QShortcut::activated, this, fn);
    };
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_N), &LibraryView::startPicking);
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_K), &LibraryView::focusSearch);
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_F), &LibraryView::focusSearch);
    return root;
}

QWidget* LibraryView::buildHeader(QWidget* parent)
{
    auto* bar = new HeaderBar(parent);
    bar->setObjectName(QStringLiteral("libraryHeader"));
    auto* h = new QHBoxLayout(bar);
    h->setContentsMargins(20, 10, 20, 10);
    h->setSpacing(14);
    auto* brand = new QHBoxLayout;
    brand->setSpacing(8);
    brand->addWidget(new ZOVAMark(24, false, false, bar));
    auto* name = textLabel(QStringLiteral("Z.O.V.A"), Typography::bold(15), bar);
    brand->addWidget(name);
    h->addLayout(brand);
    h->addSpacing(16);
    h->addStretch(1);
    auto* search = new SearchField(bar);
    search->setMinimumWidth(280);
    search->setMaximumWidth(480);
    m_search = search->lineEdit();
    connect(m_search, &QLineEdit::textChanged, this, &LibraryView::refresh);
    h->addWidget(search, 4);
    h->addSpacing(12);
    h->addStretch(1);
    auto* newGuide = new NewGuideButton(bar);
    newGuide->setObjectName(QStringLiteral("newGuideButton"));
    connect(newGuide, &QAbstractButton::clicked, this, &LibraryView::startPicking);
    m_newGuide = newGuide;
    h->addWidget(newGuide);
    return bar;
}

QWidget* LibraryView::buildSubHeader(QWidget* parent)
{
    auto* row = new QWidget(parent);
    row->setFixedHeight(44);
    auto* h = new QHBoxLayout(row);
    h->setContentsMargins(24, 0, 24, 0);
    h->setSpacing(12);
    h->addWidget(textLabel(QStringLiteral("All Guides"), Typography::bold(14), row));
    m_countLabel = new TextLine({}, Typography::font(12), ZOVAColor::secondaryLabel, row);
    h->addWidget(m_countLabel);
    h->addStretch(1);
    m_sortButton = new PillButton({}, row);
    m_sortButton->setSymbol(QStringLiteral("line.3.horizontal.decrease"));
    pill(m_sortButton, PillStyle::Variant::glass(false), PillStyle::Size::Md);
    m_sortButton->setToolTip(QStringLiteral("Change how guides are sorted"));
    connect(m_sortButton, &QAbstractButton::clicked, this, [this] {
        QMenu* menu = buildSortMenu();
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(m_sortButton->mapToGlobal(QPoint(0, m_sortButton->height() + 4)));
    });
    h->addWidget(m_sortButton);
    m_layoutButton = new PillButton({}, row);
    pill(m_layoutButton, PillStyle::Variant::glass(false), PillStyle::Size::Md);
    connect(m_layoutButton, &QAbstractButton::clicked, this, &LibraryView::toggleLayout);
    h->addWidget(m_layoutButton);
    return row;
}

QMenu* LibraryView::buildSortMenu()
{
    auto* menu = new QMenu(this);
    const LibrarySort current = sortOrder();
    for (LibrarySort sort : library::allSorts) {
        // A menu item's icon takes the place of its check indicator: the current
        // order shows the checkmark instead of its symbol.
        const QString symbol = sort == current ? QStringLiteral("checkmark") : library::symbol(sort);
        QAction* a = menu->addAction(Symbols::icon(symbol, ZOVAColor::label()), library::title(sort));
        a->setCheckable(true);
        a->setChecked(sort == current);
        connect(a, &QAction::triggered, this, [this, sort] { chooseSort(sort); });
    }
    return menu;
}

LibrarySort LibraryView::sortOrder() const { return m_settings.value(settings::librarySortOrder); }

bool LibraryView::listMode() const { return m_settings.value(settings::libraryViewMode) == LibraryViewMode::List; }

void LibraryView::chooseSort(LibrarySort sort)
{
    m_settings.setValue(settings::librarySortOrder, sort);
    refresh();
}

void LibraryView::toggleLayout()
{
    m_settings.setValue(settings::libraryViewMode, listMode() ? LibraryViewMode::Grid : LibraryViewMode::List);
    refresh();
}

QList<Guide*> LibraryView::filteredGuides() const
{
    if (!m_context)
        return {};
    return library::filteredGuides(library::queryOrder(m_context->guides()), searchText(), sortOrder());
}

QString LibraryView::searchText() const { return m_search->text(); }

void LibraryView::setSearchText(const QString& text) { m_search->setText(text); }

void LibraryView::focusSearch() { m_search->setFocus(Qt::ShortcutFocusReason); }

void LibraryView::startPicking()
{
    if (m_hooks.startPickingWindow)
        m_hooks.startPickingWindow();
}

void LibraryView::watch(Guide* guide)
{
    if (m_watched.contains(guide->id()))
        return;
    m_watched.insert(guide->id());
    // What changes the filter, the order or a card's size; the cards watch the rest of their own guide.
    for (auto signal : { &Guide::titleChanged, &Guide::createdAtChanged, &Guide::stepsChanged })
        connect(guide, signal, this, &LibraryView::scheduleRefresh);
}

void LibraryView::scheduleRefresh() { m_refreshTimer.start(); }

void LibraryView::refresh()
{
    m_refreshTimer.stop();
    const qsizetype stored = m_context ? m_context->guides().size() : 0;
    m_search->setPlaceholderText(library::searchPlaceholder(stored));
    const QList<Guide*> shown = filteredGuides();
    m_countLabel->setText(library::countText(shown.size(), QStringLiteral("guide")));
    m_sortButton->setText(QStringLiteral("Sort: ") + library::title(sortOrder()));
    const bool list = listMode();
    m_layoutButton->setSymbol(list ? QStringLiteral("list.bullet") : QStringLiteral("square.grid.2x2"));
    m_layoutButton->setText(list ? QStringLiteral("List") : QStringLiteral("Grid"));
    m_layoutButton->setToolTip(list ? QStringLiteral("Switch to grid view") : QStringLiteral("Switch to list view"));
    if (m_context)
        m_collection->prune(m_context->guides());
    m_collection->display(shown, list);
    m_collection->repaintAll();
}

void LibraryView::setEditingGuide(Guide* guide)
{
    if (guide == m_editingGuide)
        return;
    if (m_editorPlace) {
        m_stack->removeWidget(m_editorPlace);
        m_editorPlace->deleteLater();
        m_editorPlace = nullptr;
    }
    m_editingGuide = guide;
    if (guide) {
        auto onClose = [self = QPointer<LibraryView>(this)] {
            if (self)
                QMetaObject::invokeMethod(
                    self, [self] { self->setEditingGuide(nullptr); }, Qt::QueuedConnection);
        };
        m_editorPlace = m_hooks.makeEditor ? m_hooks.makeEditor(guide, onClose) : makeEditorPlaceholder(guide, onClose);
        m_stack->addWidget(m_editorPlace);
        m_stack->setCurrentWidget(m_editorPlace);
    } else {
        m_stack->setCurrentWidget(m_root);
        refresh();
    }
    emit editingGuideChanged();
}

void LibraryView::requestRename(Guide* guide)
{
    if (!guide)
        return;
    delete m_renameDialog;
    auto* dialog = new RenameGuideDialog(guide->title(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    m_renameDialog = dialog;
    QPointer<Guide> pending(guide);
    connect(dialog, &QDialog::accepted, this, [this, dialog, pending] {
        if (pending)
            performRename(pending, dialog->field()->text());
    });
    dialog->open();
}

void LibraryView::requestDelete(Guide* guide)
{
    if (!guide)
        return;
    if (isBeingRecorded(guide)) {
        showDeleteRefused(guide);
        return;
    }
    delete m_deleteAlert;
    auto* alert = new DeleteGuideAlert(guide->title(), this);
    alert->setAttribute(Qt::WA_DeleteOnClose);
    m_deleteAlert = alert;
    QPointer<Guide> pending(guide);
    connect(alert, &QDialog::accepted, this, [this, pending] {
        if (pending)
            performDelete(pending);
    });
    alert->open();
}

bool LibraryView::isBeingRecorded(Guide* guide) const
{
    return m_hooks.isBeingRecorded && m_hooks.isBeingRecorded(*guide);
}

void LibraryView::showDeleteRefused(Guide* guide)
{
    delete m_deleteRefusedAlert;
    auto* alert = new DeleteRefusedAlert(guide->title(), this);
    alert->setAttribute(Qt::WA_DeleteOnClose);
    m_deleteRefusedAlert = alert;
    alert->open();
}

void LibraryView::performRename(Guide* guide, const QString& text)
{
    const QString trimmed = text.trimmed();
    if (!guide || trimmed.isEmpty() || !m_context)
        return;
    guide->setTitle(trimmed);
    if (auto saved = m_context->save(); !saved) {
        qCWarning(lcApp) << "rename not saved:" << saved.error().description();
        showSaveFailure(SaveFailedAlert::Change::Rename, saved.error().description());
    }
}

void LibraryView::showSaveFailure(SaveFailedAlert::Change change, const QString& reason)
{
    delete m_saveFailedAlert;
    auto* alert = new SaveFailedAlert(change, reason, this);
    alert->setAttribute(Qt::WA_DeleteOnClose);
    m_saveFailedAlert = alert;
    alert->open();
}

bool LibraryView::performDelete(Guide* guide)
{
    if (!guide || !m_context || guide->isDeleted())
        return false;
    if (isBeingRecorded(guide)) {
        qCInfo(lcApp) << "not deleting a guide that is being recorded";
        showDeleteRefused(guide);
        return false;
    }
    if (m_editingGuide && m_editingGuide->id() == guide->id())
        setEditingGuide(nullptr);
    if (m_hooks.willDelete)
        m_hooks.willDelete(*guide);

    QStringList files;
    for (const Step* step : guide->steps())
        if (!step->screenshotFilename().isEmpty())
            files << step->screenshotFilename();
    const auto removeFiles = [files, storage = &m_storage] {
        for (const QString& name : files)
            storage->deleteScreenshot(name);
    };
    m_context->remove(guide);
    if (auto saved = m_context->save(); saved) {
        removeFiles();
    } else {
        // The files go only once the deletion is in the store: at the next save.
        qCWarning(lcApp) << "delete not saved yet:" << saved.error().description();
        showSaveFailure(SaveFailedAlert::Change::Delete, saved.error().description());
        auto connection = std::make_shared<QMetaObject::Connection>();
        *connection = connect(m_context, &ModelContext::didSave, this, [connection, removeFiles] {
            QObject::disconnect(*connection);
            removeFiles();
        });
    }
    return true;
}

} // namespace zova
