#pragma once

#include <QPoint>
#include <QPointer>
#include <QRect>

#include <functional>
#include <memory>
#include <optional>

namespace zova {

class CompositingCheck;
class RecordingFeed;
class RecordingHUD;
class RecordingService;

// Shows the recording control panel: a floating window at the top centre of
// the primary screen that never takes the focus. One panel at a time.
class RecordingHUDController final {
public:
    using Action = std::function<void()>;

    // Asks `compositing` at each present whether the panel can be translucent.
    explicit RecordingHUDController(std::shared_ptr<CompositingCheck> compositing);
    ~RecordingHUDController();
    RecordingHUDController(const RecordingHUDController&) = delete;
    RecordingHUDController& operator=(const RecordingHUDController&) = delete;

    // Closes a panel still shown, then shows a new one for the recording.
    // `onStop` and `onCancel` run once per click on their buttons; the panel
    // stays until close().
    void present(RecordingService& recording, Action onStop, Action onCancel);
    void present(RecordingFeed& recording, Action onStop, Action onCancel);
    // Closes the panel; safe when none is shown.
    void close();

    // The panel on screen, or null.
    RecordingHUD* panel() const;

    // Where the panel's top-left corner goes: centred horizontally, its top edge
    // 24 below the top of the available area; the origin without a screen.
    static QPoint panelOrigin(const std::optional<QRect>& availableGeometry);

private:
    std::shared_ptr<CompositingCheck> m_compositing;
    QPointer<RecordingHUD> m_panel;
};

} // namespace zova
