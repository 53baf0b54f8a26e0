#pragma once

#include "platform/ClickTap.h"
#include "platform/x11/X11Display.h"

#include <atomic>
#include <thread>

namespace zova::x11 {

// Listens to XInput 2 raw button presses on the root window of its own
// connection, on a thread of its own, and reads the pointer position at once.
// It never grabs and never selects events on other clients' windows. Only
// buttons 1 and 3 are handed on.
class X11ClickTap final : public ClickTap {
public:
    X11ClickTap() = default;
    ~X11ClickTap() override;

    bool start(PressHandler onPress, LossHandler onLoss) override;
    void stop() override;
    bool isEnabled() const override { return m_running.load(); }
    bool reenable() override;

private:
    void run();

    DisplayPtr m_display;
    int m_opcode = 0;
    int m_wakeFd = -1;
    std::thread m_thread;
    std::atomic<bool> m_running { false };
    PressHandler m_onPress;
    LossHandler m_onLoss;
};

} // namespace zova::x11
