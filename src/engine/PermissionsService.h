#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>

namespace zova {

class Settings;

// What the session offers for recording.
struct SessionGrants {
    bool screenRecording = false;
    bool inputMonitoring = false;
};

// The two capabilities recording needs, probed from the session, and the user's
// first-run flag kept in the settings. One instance, made at the application root
// and handed to every view that shows or asks for a grant; GUI thread only.
class PermissionsService final : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool screenRecording READ screenRecording NOTIFY screenRecordingChanged)
    Q_PROPERTY(bool inputMonitoring READ inputMonitoring NOTIFY inputMonitoringChanged)
    Q_PROPERTY(bool hasCompletedOnboarding READ hasCompletedOnboarding WRITE setHasCompletedOnboarding NOTIFY
            hasCompletedOnboardingChanged)
public:
    // Answers what the session offers; `fresh` asks again instead of answering from
    // what an earlier probe found. Polling calls it often with `fresh` false.
    using SessionProbe = std::function<SessionGrants(bool fresh)>;

    // How a relaunch is made and how this instance ends; replaceable in tests.
    struct RestartHooks {
        std::function<bool(const QString& program, const QStringList& arguments)> launch;
        std::function<void()> terminate;
    };
    static void setRestartHooks(RestartHooks hooks);

    // Reads the onboarding flag, then probes (refreshSync). A null probe grants nothing.
    PermissionsService(Settings& settings, SessionProbe probe, QObject* parent = nullptr);

    bool screenRecording() const { return m_screenRecording; }
    bool inputMonitoring() const { return m_inputMonitoring; }
    bool hasCompletedOnboarding() const { return m_hasCompletedOnboarding; }
    // Always stores the key; notifies only on a change.
    void setHasCompletedOnboarding(bool value);

    // Reads the probe's (cached) answer for both capabilities.
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

    QPointer<Settings> m_settings;
    SessionProbe m_probe;
    bool m_screenRecording = false;
    bool m_inputMonitoring = false;
    bool m_hasCompletedOnboarding = false;
};

} // namespace zova
