#pragma once

#include "base/Expected.h"
#include "platform/ClickTap.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

namespace zova {

// The only source of clicks: a listen-only tap that sees every left and right
// mouse-down of the session and hands each, in order, to `onClick` on the GUI
// thread. A health check every second re-establishes a lost listener.
class ClickTrackingService final : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isTracking READ isTracking NOTIFY isTrackingChanged)
    Q_PROPERTY(int tapReenableCount READ tapReenableCount NOTIFY tapReenableCountChanged)
public:
    struct ClickEvent {
        double x = 0;
        double y = 0;
        QDateTime timestamp; // when the tap read the pointer position
    };
    enum class StartFailure { InputMonitoringNotGranted };
    static QString startFailureMessage(StartFailure failure);

    using ClickHandler = std::function<void(const ClickEvent&)>;
    using TapFactory = ClickTapFactory;

    // Each start makes its tap with `factory`.
    explicit ClickTrackingService(TapFactory factory, QObject* parent = nullptr);
    ~ClickTrackingService() override;

    // Creates a new tap; success at once when already tracking.
    Expected<void, StartFailure> start();
    void stop();

    const std::optional<ClickEvent>& lastClick() const { return m_lastClick; }
    bool isTracking() const { return m_isTracking; }
    int tapReenableCount() const { return m_tapReenableCount; }
    const ClickHandler& onClick() const { return m_onClick; }
    // Always notifies.
    void setOnClick(ClickHandler handler);

signals:
    void lastClickChanged();
    void isTrackingChanged();
    void tapReenableCountChanged();
    void onClickChanged();

private:
    void deliver(const ClickEvent& event);
    void onTapLost(quint32 code);
    void healthCheck();
    void setTracking(bool tracking);
    void countReenable();

    TapFactory m_factory;
    std::unique_ptr<ClickTap> m_tap;
    QTimer m_healthCheckTimer;
    std::optional<ClickEvent> m_lastClick;
    bool m_isTracking = false;
    int m_tapReenableCount = 0;
    ClickHandler m_onClick;
};

} // namespace zova
