#pragma once

#include "platform/DesktopSnapshot.h"

#include <functional>

namespace zova {

// The windows around a recording as the library's flow drives them: the picker
// laid over the library, the outline around the target and the floating control
// panel. Every call is made on the GUI thread, never from inside one of the
// callbacks handed in, and closing is always safe when nothing is shown.
class RecordingWindows {
public:
    struct PickerActions {
        std::function<void()> cancel;
        std::function<void(const DesktopWindow&)> startWindow;
        std::function<void(const DesktopScreen&)> startDisplay;
    };
    struct PanelActions {
        std::function<void()> stop;
        std::function<void()> cancel;
    };

    virtual ~RecordingWindows() = default;

    // Builds a new picker over the library, on its windows tab.
    virtual void showPicker(PickerActions actions) = 0;
    virtual void hidePicker() = 0;
    // A pick of the shown picker did not start a recording: the picker, which takes
    // one pick at a time, takes picks again.
    virtual void unlockPicker() = 0;
    virtual void presentOutline() = 0;
    virtual void dismissOutline() = 0;
    // Builds and shows a new control panel.
    virtual void presentPanel(PanelActions actions) = 0;
    virtual bool hasPanel() const = 0;
    virtual void closePanel() = 0;
};

} // namespace zova
