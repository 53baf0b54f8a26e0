#pragma once

#include "app/recording/RecordingWindows.h"

#include "recording_ui/RecordingHUDController.h"
#include "recording_ui/RecordingOutlineOverlayView.h"
#include "recording_ui/RecordingOverlayController.h"
#include "recording_ui/WindowPickerView.h"

#include <QPointer>
#include <QWidget>

#include <memory>

namespace zova {

class CompositingCheck;
class PermissionsService;
class RecordingFeed;

// The real recording windows: the picker comes in over the host widget (the
// library) and goes again with the sheet transition, the outline and the
// control panel float on screen.
// Everything closed goes with deleteLater, never inside its own callback.
class LiveRecordingWindows final : public RecordingWindows {
public:
    // `compositing` tells the outline and the panel whether they can be translucent.
    LiveRecordingWindows(RecordingFeed& feed, PermissionsService& permissions,
        std::shared_ptr<CompositingCheck> compositing, QWidget* host);
    ~LiveRecordingWindows() override;

    void showPicker(PickerActions actions) override;
    void hidePicker() override;
    void unlockPicker() override;
    void presentOutline() override;
    void dismissOutline() override;
    void presentPanel(PanelActions actions) override;
    bool hasPanel() const override;
    void closePanel() override;

    WindowPickerView* picker() const { return m_picker; }
    RecordingHUDController& hudController() { return m_hud; }
    RecordingOverlayController& overlayController() { return m_overlay; }

private:
    QPointer<RecordingFeed> m_feed;
    PermissionsService& m_permissions;
    QPointer<QWidget> m_host;
    QPointer<WindowPickerView> m_picker;
    RecordingHUDController m_hud;
    RecordingOverlayController m_overlay;
};

} // namespace zova
