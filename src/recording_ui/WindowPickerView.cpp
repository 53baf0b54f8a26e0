#include "recording_ui/WindowPickerView.h"

#include "base/NotifyingProperty.h"
#include "engine/PermissionsService.h"
#include "recording_ui/CardGrid.h"
#include "recording_ui/DisplayCard.h"
#include "recording_ui/PickerStates.h"
#include "recording_ui/PickerTabSelector.h"
#include "recording_ui/RecordingFeed.h"
#include "recording_ui/RecordingUiLog.h"
#include "recording_ui/WindowCard.h"
#include "style/CloseButton.h"
#include "style/Divider.h"
#include "style/GlassCard.h"
#include "style/PillButton.h"
#include "style/Shapes.h"
#include "style/TextLine.h"
#include "style/Typography.h"
#include "style/ZOVAColor.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QScrollArea>
#include <QVBoxLayout>

namespace zova {

namespace {

constexpr qreal cardCornerRadius = 24;
constexpr Overlay::Backdrop pickerBackdrop { 0.12, 0.2 };

} // namespace

WindowPickerView::WindowPickerView(RecordingFeed& recording, PermissionsService& permissions, CancelAction onCancel,
    StartWindowAction onStartWindow, StartDisplayAction onStartDisplay, QWidget* host)
    : Overlay(pickerBackdrop, host)
    , m_recording(&recording)
    , m_permissions(permissions)
    , m_onCancel(std::move(onCancel))
    , m_onStartWindow(std::move(onStartWindow))
    , m_onStartDisplay(std::move(onStartDisplay))
{
    setObjectName(QStringLiteral("windowPicker"));
    setDismissOnEscape(true);
    hide();

    m_card = new GlassCard(GlassCard::Tone::strong(), cardCornerRadius, this);
    m_card->setObjectName(QStringLiteral("pickerCard"));
    m_card->setFixedSize(cardSize);
    auto* stack = new QVBoxLayout(m_card);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    stack->addWidget(buildHeader());
    stack->addWidget(new Divider(m_card));
    m_scroll = new QScrollArea(m_card);
    m_scroll->setObjectName(QStringLiteral("windowGrid"));
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_scroll->viewport()->setAutoFillBackground(false);
    m_scroll->setStyleSheet(QStringLiteral("QScrollArea { background: transparent; }"));
    stack->addWidget(m_scroll, 1);
    stack->addWidget(new Divider(m_card));
    stack->addWidget(buildFooter());

    setSheet(m_card, cardCornerRadius);
    connect(this, &Overlay::dismissRequested, this, &WindowPickerView::cancel);

    connect(&recording, &RecordingFeed::listingChanged, this, &WindowPickerView::render);
    render();
}

WindowPickerView::~WindowPickerView()
{
    // The grid follows the scroll area; it goes first.
    if (m_grid)
        m_grid->detach();
    delete m_scroll->takeWidget();
}

QWidget* WindowPickerView::buildHeader()
{
    auto* header = new QWidget(m_card);
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(24, 18, 24, 18);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(4);
    m_title = new TextLine({}, Typography::font(22, QFont::Bold, Typography::Design::Serif), ZOVAColor::label, header);
    m_subtitle = new TextLine({}, Typography::font(12.5), ZOVAColor::secondaryLabel, header);
    texts->addWidget(m_title);
    texts->addWidget(m_subtitle);
    row->addLayout(texts, 1);
    m_tabs = new PickerTabSelector(header);
    connect(m_tabs, &PickerTabSelector::tabPressed, this, &WindowPickerView::selectTab);
    row->addWidget(m_tabs);
    row->addSpacing(12);
    m_close = new CloseButton(header);
    m_close->setObjectName(QStringLiteral("closeButton"));
    m_close->setToolTip(QStringLiteral("Cancel (Esc)"));
    connect(m_close, &QAbstractButton::clicked, this, &Overlay::requestDismiss);
    row->addWidget(m_close);
    return header;
}

QWidget* WindowPickerView::buildFooter()
{
    auto* footer = new QWidget(m_card);
    auto* row = new QHBoxLayout(footer);
    row->setContentsMargins(24, 14, 24, 14);
    m_count = new TextLine({}, Typography::font(11), ZOVAColor::secondaryLabel, footer);
    m_count->setObjectName(QStringLiteral("countLine"));
    row->addWidget(m_count, 1);
    m_refresh = pill(
        new PillButton(QStringLiteral("Refresh"), footer), PillStyle::Variant::glass(false), PillStyle::Size::Md);
    m_refresh->setObjectName(QStringLiteral("refreshButton"));
    m_refresh->setToolTip(QStringLiteral("Refresh the list of targets"));
    connect(m_refresh, &QAbstractButton::clicked, this, [this] {
        if (m_recording)
            m_recording->refreshWindows();
    });
    row->addWidget(m_refresh);
    m_cancelButton
        = pill(new PillButton(QStringLiteral("Cancel"), footer), PillStyle::Variant::ghost(), PillStyle::Size::Md);
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    connect(m_cancelButton, &QAbstractButton::clicked, this, &Overlay::requestDismiss);
    row->addWidget(m_cancelButton);
    return footer;
}

WindowPickerView::Content WindowPickerView::contentFor(
    PickerTab tab, bool permissionDenied, bool isLoading, bool windowsEmpty, bool displaysEmpty)
{
    if (permissionDenied)
        return Content::PermissionDenied;
    if (isLoading)
        return Content::Loading;
    if (tab == PickerTab::Windows)
        return windowsEmpty ? Content::NoWindows : Content::WindowGrid;
    return displaysEmpty ? Content::NoScreens : Content::ScreenGrid;
}

QString WindowPickerView::title(PickerTab tab)
{
    return tab == PickerTab::Windows ? QStringLiteral("Choose a window to record")
                                     : QStringLiteral("Choose a screen to record");
}

QString WindowPickerView::subtitle(PickerTab tab)
{
    return tab == PickerTab::Windows
        ? QStringLiteral("Z.O.V.A will capture every click you make inside it.")
        : QStringLiteral("Z.O.V.A will capture every click on this screen, excluding our own app.");
}

QString WindowPickerView::countLine(PickerTab tab, qsizetype count)
{
    const QString noun = tab == PickerTab::Windows ? QStringLiteral("window") : QStringLiteral("screen");
    return QStringLiteral("%1 %2%3 available").arg(count).arg(noun, count == 1 ? QString() : QStringLiteral("s"));
}

WindowPickerView::Content WindowPickerView::content() const
{
    if (!m_recording)
        return contentFor(m_selectedTab, false, false, true, true);
    return contentFor(m_selectedTab, m_recording->permissionDenied(), m_recording->isLoadingWindows(),
        m_recording->availableWindows().isEmpty(), m_recording->availableDisplays().isEmpty());
}

QString WindowPickerView::titleText() const { return m_title->text(); }

QString WindowPickerView::subtitleText() const { return m_subtitle->text(); }

QString WindowPickerView::countText() const { return m_count->text(); }

QWidget* WindowPickerView::card() const { return m_card; }

QWidget* WindowPickerView::contentWidget() const { return m_scroll->widget(); }

void WindowPickerView::selectTab(PickerTab tab)
{
    if (!assignIfChanged(m_selectedTab, tab))
        return;
    render();
}

void WindowPickerView::render()
{
    const QList<DesktopWindow> windows = m_recording ? m_recording->availableWindows() : QList<DesktopWindow> {};
    const QList<DesktopScreen> displays = m_recording ? m_recording->availableDisplays() : QList<DesktopScreen> {};
    m_title->setText(title(m_selectedTab));
    m_subtitle->setText(subtitle(m_selectedTab));
    m_count->setText(countLine(m_selectedTab, m_selectedTab == PickerTab::Windows ? windows.size() : displays.size()));
    m_tabs->setSelectedTab(m_selectedTab);

    const Content shown = content();
    const bool sameLists = (shown != Content::WindowGrid || windows == m_shownWindows)
        && (shown != Content::ScreenGrid || displays == m_shownDisplays);
    if (m_shownContent == shown && sameLists)
        return;
    m_shownContent = shown;
    m_shownWindows = shown == Content::WindowGrid ? windows : QList<DesktopWindow> {};
    m_shownDisplays = shown == Content::ScreenGrid ? displays : QList<DesktopScreen> {};

    switch (shown) {
    case Content::PermissionDenied:
        // Check Again probes the session afresh and lists what it now offers.
        replaceContent(PickerStates::permissionDenied([this] {
            m_permissions.requestScreenRecording();
            if (m_recording)
                m_recording->refreshWindows();
        }),
            true);
        break;
    case Content::Loading: replaceContent(PickerStates::loading(), true); break;
    case Content::NoWindows: replaceContent(PickerStates::noWindows(), true); break;
    case Content::NoScreens: replaceContent(PickerStates::noScreens(), true); break;
    case Content::WindowGrid: {
        auto* grid = new CardGrid(
            int(windows.size()),
            [this, windows](int index, QWidget* parent) -> TargetCard* {
                auto* card = new WindowCard(windows[index], m_recording, parent);
                connect(card, &TargetCard::clicked, this, [this, window = windows[index]] { startWindow(window); });
                return card;
            },
            nullptr);
        replaceContent(grid, false);
        break;
    }
    case Content::ScreenGrid: {
        auto* grid = new CardGrid(
            int(displays.size()),
            [this, displays](int index, QWidget* parent) -> TargetCard* {
                return new DisplayCard(
                    displays[index], [this](const DesktopScreen& display) { startDisplay(display); }, parent);
            },
            nullptr);
        replaceContent(grid, false);
        break;
    }
    }
}

void WindowPickerView::replaceContent(QWidget* widget, bool resizable)
{
    // The old content may be the sender of the signal that led here.
    if (m_grid)
        m_grid->detach();
    if (QWidget* old = m_scroll->takeWidget()) {
        old->hide();
        old->deleteLater();
    }
    m_grid = qobject_cast<CardGrid*>(widget);
    m_scroll->setWidgetResizable(resizable);
    if (m_grid)
        m_grid->attach(m_scroll);
    else
        m_scroll->setWidget(widget);
    widget->setAutoFillBackground(false);
}

void WindowPickerView::cancel()
{
    qCDebug(lcRecordingUi) << "picker cancelled";
    if (m_onCancel)
        m_onCancel();
}

void WindowPickerView::startWindow(const DesktopWindow& window)
{
    // A second click (a double click, or another card before the owner removes
    // the picker) must not start a second recording.
    if (m_started)
        return;
    m_started = true;
    qCDebug(lcRecordingUi) << "picker chose window" << window.windowID;
    if (m_onStartWindow)
        m_onStartWindow(window);
}

void WindowPickerView::startDisplay(const DesktopScreen& display)
{
    if (m_started)
        return;
    m_started = true;
    qCDebug(lcRecordingUi) << "picker chose display" << display.displayID;
    if (m_onStartDisplay)
        m_onStartDisplay(display);
}

void WindowPickerView::showEvent(QShowEvent* event)
{
    Overlay::showEvent(event);
    if (m_recording)
        m_recording->refreshWindows();
}

} // namespace zova
