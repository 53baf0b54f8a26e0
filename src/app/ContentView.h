#pragma once

#include "app/LibraryHooks.h"

#include "model/ModelContext.h"
#include "onboarding/CoachMarksService.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <memory>

class QStackedWidget;

namespace zova {

class CoachMarksOverlay;
class CoachMarksService;
class LibraryView;
class SplashView;
class ModelContext;
class PermissionFlags;
class PermissionProbe;

// Delays of the start-up sequence, in milliseconds.
struct StartupTiming {
    int splashMs = 900;
    int firstTipMs = 500;
    int pollMs = 2000;
};

// The main window's content: the library once onboarding is complete, else the
// onboarding screen; the tip overlay over either; the splash above all. Runs the
// start-up sequence: hide the splash, open the first tip for a returning user,
// then keep the two permission flags current.
class ContentView : public QWidget {
    Q_OBJECT
public:
    ContentView(ModelContext* context, CoachMarksService* coach, std::shared_ptr<const PermissionProbe> probe = {},
        LibraryHooks hooks = {}, StartupTiming timing = StartupTiming {}, QWidget* parent = nullptr);

    PermissionFlags* permissions() const { return m_permissions; }
    bool splashVisible() const { return m_splashVisible; }
    // The library, built the first time onboarding is complete.
    LibraryView* library() const { return m_library; }

    // Places for the views built separately; each is owned from then on.
    void setOnboardingView(QWidget* view);
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
    void layoutLayers();

    QPointer<ModelContext> m_context;
    QPointer<CoachMarksService> m_coach;
    std::shared_ptr<const PermissionProbe> m_probe;
    LibraryHooks m_hooks;
    StartupTiming m_timing;
    PermissionFlags* m_permissions;
    QStackedWidget* m_base;
    LibraryView* m_library = nullptr;
    QWidget* m_onboarding = nullptr;
    CoachMarksOverlay* m_tipOverlay = nullptr;
    QPointer<SplashView> m_splash;
    bool m_splashVisible = true;
    bool m_started = false;
    QTimer m_pollTimer;
};

} // namespace zova
