#pragma once

#include "app/library/LibraryHooks.h"
#include "base/Delay.h"
#include "model/ModelContext.h"
#include "onboarding/CoachMarksService.h"

#include <QPointer>
#include <QWidget>

#include <memory>

class QStackedWidget;

namespace zova {

class CoachMarksOverlay;
class CoachMarksService;
class LibraryView;
class OnboardingView;
class SplashView;
class ModelContext;
class PermissionsService;
class StorageService;
class Settings;

// Delays of the start-up sequence, in milliseconds, and what waits them out
// (empty: single-shot timers).
struct StartupTiming {
    int splashMs = 900;
    int firstTipMs = 500;
    int pollMs = 2000;
    Delay delay;
};

// The main window's content: the library once onboarding is complete, else the
// onboarding screen; the tip overlay over either; the splash above all. Runs the
// start-up sequence: hide the splash, open the first tip for a returning user,
// then keep the two permission flags current. The settings, the tips and the
// permissions are the application's and outlive this view.
class ContentView : public QWidget {
    Q_OBJECT
public:
    ContentView(ModelContext* context, const StorageService& storage, Settings& settings, CoachMarksService* coach,
        PermissionsService& permissions, LibraryHooks hooks = {}, StartupTiming timing = StartupTiming {},
        QWidget* parent = nullptr);

    PermissionsService& permissions() const { return m_permissions; }
    bool splashVisible() const { return m_splashVisible; }
    // The library, built the first time onboarding is complete.
    LibraryView* library() const { return m_library; }

    // The first-run screen, shown until onboarding is complete.
    OnboardingView* onboarding() const { return m_onboarding; }
    CoachMarksOverlay* tipOverlay() const { return m_tipOverlay; }
    // Null once the splash has faded out.
    SplashView* splash() const;

signals:
    void splashVisibleChanged(bool visible);

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void updateBase();
    void setSplashVisible(bool visible);
    void afterSplash();
    void startTourAfterOnboarding();
    void poll();
    // Polls every pollMs from now on, for as long as the view lives.
    void startPolling();
    void pollThenWait();
    void layoutLayers();

    QPointer<ModelContext> m_context;
    const StorageService& m_storage;
    QPointer<CoachMarksService> m_coach;
    Settings& m_settings;
    LibraryHooks m_hooks;
    StartupTiming m_timing;
    PermissionsService& m_permissions;
    QStackedWidget* m_base;
    LibraryView* m_library = nullptr;
    OnboardingView* m_onboarding = nullptr;
    CoachMarksOverlay* m_tipOverlay = nullptr;
    QPointer<SplashView> m_splash;
    bool m_splashVisible = true;
    bool m_started = false;
    bool m_polling = false;
};

} // namespace zova
