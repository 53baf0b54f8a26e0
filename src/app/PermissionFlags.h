#pragma once

#include <QObject>

#include <memory>

namespace zova {

class PermissionProbe;

// The two grants as last read, and whether onboarding was completed
// ("vorne.onboarding.completed"). Flags notify only when they change.
class PermissionFlags : public QObject {
    Q_OBJECT
public:
    // A null probe uses the default one.
    explicit PermissionFlags(std::shared_ptr<const PermissionProbe> probe = {}, QObject* parent = nullptr);

    bool screenRecording() const { return m_screenRecording; }
    void setScreenRecording(bool value);
    bool inputMonitoring() const { return m_inputMonitoring; }
    void setInputMonitoring(bool value);
    bool hasCompletedOnboarding() const { return m_hasCompletedOnboarding; }
    // Every assignment is also stored.
    void setHasCompletedOnboarding(bool value);

    // Reads input monitoring, then screen recording, from the probe.
    void refreshSync();

signals:
    void screenRecordingChanged(bool value);
    void inputMonitoringChanged(bool value);
    void hasCompletedOnboardingChanged(bool value);

private:
    std::shared_ptr<const PermissionProbe> m_probe;
    bool m_screenRecording = false;
    bool m_inputMonitoring = false;
    bool m_hasCompletedOnboarding = false;
};

} // namespace zova
