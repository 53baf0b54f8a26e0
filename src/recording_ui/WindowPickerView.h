#pragma once

#include "platform/DesktopSnapshot.h"
#include "recording_ui/PickerTab.h"
#include "style/Overlay.h"

#include <QPointer>

#include <functional>

class QScrollArea;

namespace zova {

class CardGrid;
class CloseButton;
class GlassCard;
class PermissionsService;
class PickerTabSelector;
class PillButton;
class RecordingFeed;
class TextLine;

// The choice of what to record, laid over its host widget: a dimmed backdrop and
// a centred card with a tab per kind of target, live window cards or screen cards
// (or a loading, empty or permission state), a count line, Refresh and Cancel.
// It reports the user's decision through the callbacks and never hides itself;
// the owner removes it (with deleteLater) when the picking phase ends.
class WindowPickerView final : public Overlay {
    Q_OBJECT
public:
    using CancelAction = std::function<void()>;
    using StartWindowAction = std::function<void(const DesktopWindow& window)>;
    using StartDisplayAction = std::function<void(const DesktopScreen& display)>;

    enum class Content { PermissionDenied, Loading, NoWindows, WindowGrid, NoScreens, ScreenGrid };

    static constexpr QSize cardSize { 780, 560 };

    // The picker covers `host` and follows its size; the owner calls show().
    WindowPickerView(RecordingFeed& recording, PermissionsService& permissions, CancelAction onCancel,
        StartWindowAction onStartWindow, StartDisplayAction onStartDisplay, QWidget* host);
    ~WindowPickerView() override;

    static Content contentFor(
        PickerTab tab, bool permissionDenied, bool isLoading, bool windowsEmpty, bool displaysEmpty);
    static QString title(PickerTab tab);
    static QString subtitle(PickerTab tab);
    static QString countLine(PickerTab tab, qsizetype count);

    PickerTab selectedTab() const { return m_selectedTab; }
    // What a tab button does.
    void selectTab(PickerTab tab);
    Content content() const;

    QString titleText() const;
    QString subtitleText() const;
    QString countText() const;
    QWidget* card() const;
    // The shown grid; null while a state is shown.
    CardGrid* grid() const { return m_grid; }
    QWidget* contentWidget() const;
    CloseButton* closeButton() const { return m_close; }
    PillButton* refreshButton() const { return m_refresh; }
    PillButton* cancelButton() const { return m_cancelButton; }
    PickerTabSelector* tabSelector() const { return m_tabs; }

    // The start that a card click handed on has ended without closing the picker
    // (it failed): the cards take clicks again.
    void startFinished() { m_started = false; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildHeader();
    QWidget* buildFooter();
    void render();
    void replaceContent(QWidget* widget, bool resizable);
    void cancel();
    void startWindow(const DesktopWindow& window);
    void startDisplay(const DesktopScreen& display);

    QPointer<RecordingFeed> m_recording;
    PermissionsService& m_permissions;
    CancelAction m_onCancel;
    StartWindowAction m_onStartWindow;
    StartDisplayAction m_onStartDisplay;
    PickerTab m_selectedTab = PickerTab::Windows;

    GlassCard* m_card = nullptr;
    TextLine* m_title = nullptr;
    TextLine* m_subtitle = nullptr;
    PickerTabSelector* m_tabs = nullptr;
    CloseButton* m_close = nullptr;
    QScrollArea* m_scroll = nullptr;
    TextLine* m_count = nullptr;
    PillButton* m_refresh = nullptr;
    PillButton* m_cancelButton = nullptr;
    CardGrid* m_grid = nullptr;

    std::optional<Content> m_shownContent;
    QList<DesktopWindow> m_shownWindows;
    QList<DesktopScreen> m_shownDisplays;
    bool m_started = false;
};

} // namespace zova
