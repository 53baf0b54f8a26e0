#include "app/shell/ContentView.h"

#include "app/library/LibraryView.h"
#include "base/NotifyingProperty.h"
#include "engine/PermissionsService.h"
#include "model/Settings.h"
#include "onboarding/CoachMarksOverlay.h"
#include "onboarding/CoachMarksService.h"
#include "onboarding/OnboardingView.h"
#include "onboarding/SplashView.h"
#include "style/After.h"

#include <QGraphicsOpacityEffect>
#include <QPropertyAnimation>
#include <QStackedWidget>

namespace zova {

ContentView::ContentView(ModelContext* context, const StorageService& storage, Settings& settings,
    CoachMarksService* coach, PermissionsService& permissions, LibraryHooks hooks, StartupTiming timing,
    QWidget* parent)
    : QWidget(parent)
    , m_context(context)
    , m_storage(storage)
    , m_coach(coach)
    , m_settings(settings)
    , m_hooks(std::move(hooks))
    , m_timing(timing)
    , m_permissions(permissions)
{
    m_permissions.refreshSync();
    m_base = new QStackedWidget(this);
    m_onboarding = new OnboardingView(&m_permissions, OnboardingView::pollIntervalMs, m_timing.delay);
    m_base->addWidget(m_onboarding);
    connect(&m_permissions, &PermissionsService::hasCompletedOnboardingChanged, this, &ContentView::updateBase);
    updateBase();
    connect(&m_permissions, &PermissionsService::hasCompletedOnboardingChanged, this,
        &ContentView::startTourAfterOnboarding);
    // Above the base, in this order: the tips, then the splash over everything.
    m_tipOverlay = new CoachMarksOverlay(coach, this);
    m_splash = new SplashView(this);
    layoutLayers();
    if (coach)
        connect(coach, &CoachMarksService::activeTipChanged, this, [this] {
            if (m_splash)
                m_splash->raise(); // a tip shown early still stays under the splash
        });
}

void ContentView::updateBase()
{
    if (m_permissions.hasCompletedOnboarding()) {
        if (!m_library) {
            m_library = new LibraryView(m_context, m_storage, m_settings, m_permissions, m_hooks);
            m_base->addWidget(m_library);
        }
        m_base->setCurrentWidget(m_library);
    } else {
        m_base->setCurrentWidget(m_onboarding);
    }
    setMinimumSize(m_base->currentWidget()->minimumSize());
}

SplashView* ContentView::splash() const { return m_splash; }

void ContentView::layoutLayers()
{
    m_base->setGeometry(rect());
    if (m_tipOverlay) {
        m_tipOverlay->setGeometry(rect());
        m_tipOverlay->raise();
    }
    if (m_splash) {
        m_splash->setGeometry(rect());
        m_splash->raise();
    }
}

void ContentView::resizeEvent(QResizeEvent*) { layoutLayers(); }

void ContentView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_started)
        return;
    m_started = true;
    after(m_timing.delay, m_timing.splashMs, this, [this] {
        setSplashVisible(false);
        afterSplash();
    });
}

void ContentView::afterSplash()
{
    // Decided once, from the flag as it is now.
    if (m_permissions.hasCompletedOnboarding()) {
        after(m_timing.delay, m_timing.firstTipMs, this, [this] {
            if (m_coach && !m_coach->hasSeenTour())
                m_coach->setActiveTip(CoachMarksService::Tip::Welcome);
            startPolling();
        });
    } else {
        startPolling();
    }
}

void ContentView::startTourAfterOnboarding()
{
    // Onboarding finished on the screen, after the start-up decided on the tour:
    // the first tip follows the library as it would at start-up.
    if (!m_permissions.hasCompletedOnboarding() || !m_started || m_splashVisible)
        return;
    after(m_timing.delay, m_timing.firstTipMs, this, [this] {
        if (m_coach && !m_coach->hasSeenTour() && !m_coach->activeTip())
            m_coach->setActiveTip(CoachMarksService::Tip::Welcome);
    });
}

void ContentView::poll() { m_permissions.refreshSync(); }

void ContentView::startPolling()
{
    if (assignIfChanged(m_polling, true))
        pollThenWait();
}

void ContentView::pollThenWait()
{
    poll();
    after(m_timing.delay, m_timing.pollMs, this, [this] { pollThenWait(); });
}

void ContentView::setSplashVisible(bool visible)
{
    if (!assignIfChanged(m_splashVisible, visible))
        return;
    if (m_splash) {
        if (visible) {
            m_splash->show();
        } else {
            auto* effect = new QGraphicsOpacityEffect(m_splash);
            m_splash->setGraphicsEffect(effect);
            auto* fade = new QPropertyAnimation(effect, "opacity", m_splash);
            fade->setDuration(450);
            fade->setEasingCurve(QEasingCurve::InOutQuad);
            fade->setStartValue(1.0);
            fade->setEndValue(0.0);
            // The splash lives only while it shows.
            connect(fade, &QPropertyAnimation::finished, m_splash, &QWidget::deleteLater);
            fade->start(QAbstractAnimation::DeleteWhenStopped);
        }
    }
    emit splashVisibleChanged(visible);
}

} // namespace zova
