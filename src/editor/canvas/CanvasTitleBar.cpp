#include "editor/canvas/CanvasTitleBar.h"

#include "editor/EditorController.h"
#include "editor/marks/AnnotationToolbar.h"
#include "model/AccentHue.h"
#include "model/Guide.h"
#include "model/Step.h"
#include "model/VideoBackground.h"
#include "style/PillButton.h"
#include "style/Shapes.h"
#include "style/StepBadge.h"
#include "style/Symbols.h"
#include "style/TextLine.h"
#include "style/Typography.h"
#include "style/ZOVAColor.h"

#include <QAbstractButton>
#include <QEvent>
#include <QHBoxLayout>
#include <QMenu>
#include <QPainter>
#include <QShortcut>

#include <algorithm>

namespace zova {

namespace {

// A swatch of the step's video background and "Background" on a white capsule.
class BackgroundButton : public QAbstractButton {
public:
    explicit BackgroundButton(QWidget* parent)
        : QAbstractButton(parent)
    {
        setObjectName(QStringLiteral("backgroundColorButton"));
        setText(QStringLiteral("Background"));
        setToolTip(QStringLiteral("Pick the background color shown around the screenshot in exported video"));
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::NoFocus);
        setFixedHeight(28);
    }

    void setSwatch(const QColor& color)
    {
        if (color == m_swatch)
            return;
        m_swatch = color;
        update();
    }
    QColor swatch() const { return m_swatch; }

    // Without its title only the swatch shows.
    void setTitleShown(bool shown)
    {
        if (shown == m_titleShown)
            return;
        m_titleShown = shown;
        updateGeometry();
        update();
    }

    QSize sizeHint() const override { return sizeHintWithTitle(m_titleShown); }
    QSize sizeHintWithTitle(bool shown) const
    {
        const int title = shown ? 5 + QFontMetrics(Typography::semibold(11)).horizontalAdvance(text()) : 0;
        return QSize(10 + 14 + title + 10, 28);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF r = QRectF(rect()).adjusted(0, 0, 0, 0);
        const QPainterPath capsule = Shapes::capsule(r.adjusted(1, 0, -1, -2));
        Shapes::paintShadow(painter, capsule, QColor(0, 0, 0, int(0.04 * 255)), 4, QPointF(0, 2));
        painter.fillPath(capsule, Shapes::withAlpha(Qt::white, isDown() ? 0.75 : 0.55));
        const QRectF body = capsule.boundingRect();
        Shapes::strokeInside(painter, body, body.height() / 2, Shapes::withAlpha(Qt::white, 0.7), 0.5);
        const QRectF swatch(body.left() + 9, body.center().y() - 7, 14, 14);
        painter.fillPath(Shapes::roundedRect(swatch, 4), m_swatch);
        Shapes::strokeInside(painter, swatch, 4, QColor(0, 0, 0, int(0.15 * 255)), 0.5);
        if (!m_titleShown)
            return;
        painter.setFont(Typography::semibold(11));
        painter.setPen(ZOVAColor::ink2());
        painter.drawText(QRectF(swatch.right() + 5, body.top(), body.right() - swatch.right() - 5, body.height()),
            Qt::AlignVCenter, text());
    }

private:
    QColor m_swatch = Qt::white;
    bool m_titleShown = true;
};

PillButton* toolbarButton(
    const QString& name, const QString& symbol, const QString& text, PillStyle::Variant variant, QWidget* parent)
{
    auto* b = new PillButton(text, parent);
    b->setObjectName(name);
    b->setSymbol(symbol);
    b->setFocusPolicy(Qt::NoFocus);
    pill(b, variant, PillStyle::Size::Md);
    return b;
}

} // namespace

CanvasTitleBar::CanvasTitleBar(EditorController* controller, QWidget* parent)
    : QWidget(parent)
    , m_controller(controller)
{
    setObjectName(QStringLiteral("canvasTitleBar"));
    setFixedHeight(44);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(20, 0, 20, 0);
    row->setSpacing(10);
    m_badge = new StepBadge(1, AccentHue::Pink, 26, this);
    row->addWidget(m_badge);
    m_title = new TextLine({}, Typography::bold(14), ZOVAColor::label, this);
    m_title->setObjectName(QStringLiteral("canvasTitle"));
    row->addWidget(m_title);
    row->addStretch(1);

    m_toolSlot = new QWidget(this);
    m_toolSlot->setObjectName(QStringLiteral("annotationToolSlot"));
    auto* slot = new QHBoxLayout(m_toolSlot);
    slot->setContentsMargins(0, 0, 0, 0);
    row->addWidget(m_toolSlot);
    auto* background = new BackgroundButton(this);
    m_background = background;
    row->addWidget(m_background);

    m_addStep = toolbarButton(QStringLiteral("addStepButton"), QStringLiteral("plus"), QStringLiteral("Add step"),
        PillStyle::Variant::glass(false), this);
    m_addStep->setToolTip(QStringLiteral("Add a new step from an image or by recording (Ctrl+Shift+N)"));
    connect(m_addStep, &QAbstractButton::clicked, controller, &EditorController::toggleAddStepMenu);
    row->addWidget(m_addStep);
    m_crop = toolbarButton(QStringLiteral("cropButton"), QStringLiteral("crop"), QStringLiteral("Crop"),
        PillStyle::Variant::glass(false), this);
    m_crop->setToolTip(QStringLiteral("Crop the current step's screenshot"));
    connect(m_crop, &QAbstractButton::clicked, &controller->canvas(), &StepCanvasController::requestCrop);
    row->addWidget(m_crop);
    m_imageEditor = toolbarButton(QStringLiteral("imageEditorButton"), QStringLiteral("sparkles.rectangle.stack"),
        QStringLiteral("Edit in Image Editor"), PillStyle::Variant::glass(false), this);
    m_imageEditor->setToolTip(QStringLiteral("Open this screenshot in your default image editor"));
    connect(m_imageEditor, &QAbstractButton::clicked, &controller->canvas(), &StepCanvasController::editInImageEditor);
    row->addWidget(m_imageEditor);
    m_rewrite = toolbarButton(QStringLiteral("aiRewriteButton"), QStringLiteral("sparkles"),
        QStringLiteral("AI Rewrite"), PillStyle::Variant::ai(), this);
    row->addWidget(m_rewrite);
    m_export = toolbarButton(QStringLiteral("editorExportButton"), QStringLiteral("square.and.arrow.up"),
        QStringLiteral("Export"), PillStyle::Variant::glass(false), this);
    m_export->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    connect(m_export, &QAbstractButton::clicked, controller, &EditorController::openExportPanel);
    row->addWidget(m_export);

    auto* addShortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N), this);
    addShortcut->setContext(Qt::WindowShortcut);
    connect(addShortcut, &QShortcut::activated, controller, &EditorController::toggleAddStepMenu);

    connect(controller, &EditorController::selectionChanged, this, &CanvasTitleBar::refresh);
    connect(controller, &EditorController::stepsChanged, this, &CanvasTitleBar::refresh);
    connect(controller, &EditorController::sheetsChanged, this, &CanvasTitleBar::refresh);
    connect(controller, &EditorController::canvasChanged, this, &CanvasTitleBar::refresh);
    refresh();
}

void CanvasTitleBar::setToolbar(AnnotationToolbar* toolbar)
{
    if (toolbar == m_toolbar)
        return;
    if (m_toolbar)
        m_toolbar->deleteLater();
    m_toolbar = toolbar;
    if (toolbar)
        m_toolSlot->layout()->addWidget(toolbar);
    refresh();
}

void CanvasTitleBar::refresh()
{
    if (!m_controller)
        return;
    const Step* focused = m_controller->focusedStep();
    const Guide* guide = m_controller->guide();
    const EditorState& state = m_controller->state();
    m_badge->setVisible(focused);
    if (focused) {
        m_badge->setNumber(int(focused->order() + 1));
        m_title->setText(QStringLiteral("Step %1").arg(focused->order() + 1));
    } else {
        m_title->setText(QStringLiteral("Guide editor"));
    }
    const bool editing = focused && !state.sheets.cropping;
    m_toolSlot->setVisible(editing && m_toolbar);
    m_background->setVisible(editing);
    if (focused)
        static_cast<BackgroundButton*>(m_background)
            ->setSwatch(video_background::color(video_background::effectiveHex(*focused)));
    m_crop->setVisible(editing);
    m_imageEditor->setVisible(editing);
    m_rewrite->setVisible(focused);
    const bool canExport = m_controller->canExport();
    m_export->setEnabled(canExport);
    m_export->setToolTip(guide && !guide->steps().isEmpty()
            ? QStringLiteral("Export as HTML, PDF, or narrated MP4 (Ctrl+E)")
            : QStringLiteral("Add at least one step before exporting"));
    refreshMenu();
    fitTitles();
}

namespace {
// The compaction step at which each item loses its title: the longest first, the tools soon after.
constexpr int imageEditorStep = 1, toolsStep = 2, cropAndAddStep = 3, backgroundStep = 4, rewriteAndExportStep = 5;
} // namespace

void CanvasTitleBar::compact(int steps)
{
    if (m_toolbar && m_toolbar->titlesShown() != (steps < toolsStep)) {
        m_toolbar->setTitlesShown(steps < toolsStep);
        m_toolSlot->layout()->invalidate();
        m_toolSlot->updateGeometry();
    }
    m_imageEditor->setTitleShown(steps < imageEditorStep);
    m_crop->setTitleShown(steps < cropAndAddStep);
    m_addStep->setTitleShown(steps < cropAndAddStep);
    static_cast<BackgroundButton*>(m_background)->setTitleShown(steps < backgroundStep);
    m_rewrite->setTitleShown(steps < rewriteAndExportStep);
    m_export->setTitleShown(steps < rewriteAndExportStep);
}

int CanvasTitleBar::rowWidth(int steps) const
{
    const auto widthOf = [&](QWidget* w) {
        if (w == m_toolSlot)
            return m_toolbar ? m_toolbar->naturalWidth(steps < toolsStep) : 0;
        if (w == m_background)
            return static_cast<BackgroundButton*>(m_background)->sizeHintWithTitle(steps < backgroundStep).width();
        if (w == m_imageEditor)
            return m_imageEditor->sizeHintWithTitle(steps < imageEditorStep).width();
        if (w == m_crop || w == m_addStep)
            return static_cast<PillButton*>(w)->sizeHintWithTitle(steps < cropAndAddStep).width();
        if (w == m_rewrite || w == m_export)
            return static_cast<PillButton*>(w)->sizeHintWithTitle(steps < rewriteAndExportStep).width();
        return w->sizeHint().width();
    };
    const auto* row = static_cast<QHBoxLayout*>(layout());
    int width = row->contentsMargins().left() + row->contentsMargins().right();
    int items = 0;
    for (int i = 0; i < row->count(); ++i) {
        QWidget* w = row->itemAt(i)->widget();
        if (!w || w->isHidden())
            continue;
        width += widthOf(w);
        ++items;
    }
    return width + row->spacing() * std::max(items - 1, 0);
}

void CanvasTitleBar::fitTitles()
{
    int steps = 0;
    while (steps < rewriteAndExportStep && rowWidth(steps) > width())
        ++steps;
    compact(steps);
}

bool CanvasTitleBar::event(QEvent* event)
{
    // A title that changed (the rewrite's progress) may need room the bar lacks.
    if (event->type() == QEvent::LayoutRequest)
        fitTitles();
    return QWidget::event(event);
}

void CanvasTitleBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    fitTitles();
}

void CanvasTitleBar::refreshMenu()
{
    const bool open = m_controller && m_controller->state().sheets.addStepMenu;
    if (open && !m_menu) {
        auto* menu = new QMenu(this);
        menu->setObjectName(QStringLiteral("addStepMenu"));
        menu->setAttribute(Qt::WA_DeleteOnClose);
        // A click on the button that closes the menu does not reach the button and reopen it.
        menu->setAttribute(Qt::WA_NoMouseReplay);
        menu->setMinimumWidth(220);
        QPointer<EditorController> controller = m_controller;
        QAction* fromFile = menu->addAction(Symbols::icon(QStringLiteral("photo.on.rectangle"), ZOVAColor::label()),
            QStringLiteral("From image file…"));
        fromFile->setObjectName(QStringLiteral("addStepFromFileAction"));
        // Queued: the dialog opens once the menu has closed.
        connect(
            fromFile, &QAction::triggered, this,
            [controller] {
                if (controller)
                    controller->canvas().addStepFromImageFile();
            },
            Qt::QueuedConnection);
        menu->addSeparator();
        QAction* capture = menu->addAction(
            Symbols::icon(QStringLiteral("record.circle"), ZOVAColor::label()), QStringLiteral("Capture from window…"));
        capture->setObjectName(QStringLiteral("addStepCaptureAction"));
        connect(
            capture, &QAction::triggered, this,
            [controller] {
                if (controller)
                    controller->requestAppendRecording();
            },
            Qt::QueuedConnection);
        connect(menu, &QMenu::aboutToHide, this, [this, controller] {
            m_menu.clear();
            if (controller)
                controller->setAddStepMenu(false);
        });
        m_menu = menu;
        // Under its button, whether it was opened there, by the key or from the empty state.
        menu->popup(m_addStep->mapToGlobal(QPoint(0, m_addStep->height() + 4)));
    } else if (!open && m_menu) {
        m_menu->close();
    }
}

void CanvasTitleBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Shapes::withAlpha(Shapes::controlBackground(), 0.6));
    painter.fillRect(QRectF(0, height() - 0.5, width(), 0.5), ZOVAColor::separator());
}

} // namespace zova
