#pragma once

#include <QDateTime>

#include <cstdint>
#include <functional>
#include <memory>

namespace zova {

// A listen-only source of mouse-downs. Handlers run on the tap's own thread and
// must only hand the press on.
class ClickTap {
public:
    struct Press {
        double x = 0;
        double y = 0;
        unsigned button = 0;
        QDateTime timestamp; // wall clock when the position was read
    };
    // The tap stopped listening by itself (lost connection); `code` says why.
    using PressHandler = std::function<void(const Press&)>;
    using LossHandler = std::function<void(quint32 code)>;

    // Code reported when the tap's connection failed.
    static constexpr quint32 connectionLost = 0xFFFFFFFE;

    virtual ~ClickTap() = default;
    // Starts listening; false when no listener can be made.
    virtual bool start(PressHandler onPress, LossHandler onLoss) = 0;
    virtual void stop() = 0;
    // Whether the listener is alive.
    virtual bool isEnabled() const = 0;
    // Makes a new listener after a loss; false when that fails.
    virtual bool reenable() = 0;
};

// Makes a new listener; null when none can be made.
using ClickTapFactory = std::function<std::unique_ptr<ClickTap>()>;

} // namespace zova
