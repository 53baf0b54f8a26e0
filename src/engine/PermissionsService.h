#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

namespace zova {

// The two capabilities recording needs, probed from the session (the probe is
// cached process-wide, so polling views open no connection), and the user's
// first-run flag. Several instances may exist; all live on the GUI thread.
class PermissionsService final : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool screenRecording READ screenRecording NOTIFY screenRecordingChanged)
    Q_PROPERTY(bool inputMonitoring READ inputMonitoring NOTIFY inputMonitoringChanged)
    Q_PROPERTY(bool hasCompletedOnboarding READ hasCompletedOnboarding WRITE setHasCompletedOnboarding NOTIFY
            hasCompletedOnboardingChanged)
public:
    static constexpr const char* onboardingKey = "vorne.onboarding.completed";

    // How a relaunch is made and how this instance ends; replaceable in tests.
    struct RestartHooks {
        std::function<bool(const QString& program, const QStringList& arguments)> launch;
        std::function<void()> terminate;
    };
    static void setRestartHooks(RestartHooks hooks);

    explicit PermissionsService(QObject* parent = nullptr);

    bool screenRecording() const { return m_screenRecording; }
    bool inputMonitoring() const { return m_inputMonitoring; }
    bool hasCompletedOnboarding() const { return m_hasCompletedOnboarding; }
    // Always stores the key; notifies only on a change.
    void setHasCompletedOnboarding(bool value);

    // Reads the (cached) probe of both capabilities.
    void refreshSync();
    // Requests re-probe the session at once; X11 has no grant to ask for.
    void requestAllPermissions();
    void requestScreenRecording();
    void requestInputMonitoring();
    // X11 has no privacy settings pane: these open nothing.
    void openScreenRecordingSettings();
    void openInputMonitoringSettings();
    // Launches a new instance and quits this one once it has started; a failed
    // launch leaves this instance running.
    void restartApp();

signals:
    void screenRecordingChanged();
    void inputMonitoringChanged();
    void hasCompletedOnboardingChanged();

private:
    void store(bool fresh);

    bool m_screenRecording = false;
    bool m_inputMonitoring = false;
    bool m_hasCompletedOnboarding = false;
};

} // namespace zova
