#pragma once

#include "base/Delay.h"
#include "style/MeshWallpaper.h"

#include <QPointer>

class QAbstractButton;

namespace zova {

class GlassCard;
class PermissionRow;
class PermissionsService;
class PillButton;
class TextLine;

// The first-run screen: the two permissions recording needs, each with its
// state, the buttons that leave the screen ("Continue to Library" once both are
// available, else "Skip Setup for Now" beside "Check Again"), and the relaunch.
// While shown it re-reads both permissions every 1.5 s.
class OnboardingView : public MeshWallpaper {
    Q_OBJECT
public:
    static constexpr int pollIntervalMs = 1500;
    static constexpr QSize cardSize { 640, 560 };

    // The footer's two rows for the current grants.
    enum class FooterTop { Continue, GrantAndSkip };
    enum class FooterBottom { Relaunch, Note };
    struct Footer {
        FooterTop top;
        FooterBottom bottom;
        bool operator==(const Footer&) const = default;
    };
    static Footer footerFor(bool screenRecording, bool inputMonitoring);

    // The permissions are the root view's own object; the screen writes its flags
    // from the poll and sets the onboarding flag when the user leaves.
    // It polls every `pollMs` while shown, waiting through `delay` (empty: timers).
    explicit OnboardingView(
        PermissionsService* permissions, int pollMs = pollIntervalMs, Delay delay = {}, QWidget* parent = nullptr);

    PermissionRow* screenRecordingRow() const { return m_screenRow; }
    PermissionRow* inputMonitoringRow() const { return m_inputRow; }
    PillButton* continueButton() const { return m_continue; }
    PillButton* skipButton() const { return m_skip; }
    PillButton* grantButton() const { return m_grant; }
    QAbstractButton* relaunchButton() const { return m_relaunch; }
    TextLine* relaunchNote() const { return m_note; }
    GlassCard* card() const { return m_card; }
    Footer footer() const;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void poll();
    // A pass, then the next one pollMs later, while the showing that started it lasts.
    void pollThenWait(quint64 showing);
    void refresh();
    void leave();

    QPointer<PermissionsService> m_permissions;
    GlassCard* m_card;
    PermissionRow* m_screenRow;
    PermissionRow* m_inputRow;
    PillButton* m_continue;
    PillButton* m_skip;
    PillButton* m_grant;
    QWidget* m_grantAndSkip;
    QAbstractButton* m_relaunch;
    TextLine* m_note;
    int m_pollMs;
    Delay m_delay;
    quint64 m_showing = 0; // counts the times the screen was shown and hidden
};

} // namespace zova
