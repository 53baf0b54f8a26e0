#include "app/ContentView.h"

#include "app/CoachMarksService.h"
#include "app/LibraryView.h"
#include "base/NotifyingProperty.h"
#include "engine/PermissionsService.h"
#include "model/Settings.h"
#include "style/MeshWallpaper.h"

#include <QGraphicsOpacityEffect>
#include <QPropertyAnimation>
#include <QStackedWidget>

namespace zova {

ContentView::ContentView(ModelContext* context, Settings& settings, CoachMarksService* coach,
    PermissionsService& permissions, LibraryHooks hooks, StartupTiming timing, QWidget* parent)
    : QWidget(parent)
    , m_context(context)
    , m_coach(coach)
    , m_settings(settings)
    , m_hooks(std::move(hooks))
    , m_timing(timing)
    , m_permissions(permissions)
{
    m_permissions.refreshSync();
    m_base = new QStackedWidget(this);
    m_onboarding = new MeshWallpaper(MeshWallpaper::Variant::Pink);
    m_onboarding->setObjectName(QStringLiteral("onboardingPlace"));
    m_base->addWidget(m_onboarding);
    connect(&m_permissions, &PermissionsService::hasCompletedOnboardingChanged, this, &ContentView::updateBase);
    updateBase();
    m_pollTimer.setInterval(m_timing.pollMs);
    connect(&m_pollTimer, &QTimer::timeout, this, &ContentView::poll);
}

void ContentView::updateBase()
{
    if (m_permissions.hasCompletedOnboarding()) {
        if (!m_library) {
            m_library = new LibraryView(m_context, m_settings, m_permissions, m_hooks);
            m_base->addWidget(m_library);
        }
        m_base->setCurrentWidget(m_library);
    } else {
        m_base->setCurrentWidget(m_onboarding);
    }
    setMinimumSize(m_base->currentWidget()->minimumSize());
}

void ContentView::setOnboardingView(QWidget* view)
{
    const bool current = m_base->currentWidget() == m_onboarding;
    m_base->removeWidget(m_onboarding);
    delete m_onboarding;
    m_onboarding = view;
    m_base->insertWidget(0, view);
    if (current)
        m_base->setCurrentWidget(view);
}

void ContentView::setTipOverlay(QWidget* overlay)
{
    delete m_tipOverlay;
    m_tipOverlay = overlay;
    overlay->setParent(this);
    overlay->show();
    layoutLayers();
}

void ContentView::setSplashView(QWidget* splash)
{
    delete m_splash;
    m_splash = splash;
    splash->setParent(this);
    splash->setVisible(m_splashVisible);
    layoutLayers();
}

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
    QTimer::singleShot(m_timing.splashMs, this, [this] {
        setSplashVisible(false);
        afterSplash();
    });
}

void ContentView::afterSplash()
{
    // Decided once, from the flag as it is now.
    if (m_permissions.hasCompletedOnboarding()) {
        QTimer::singleShot(m_timing.firstTipMs, this, [this] {
            if (m_coach && !m_coach->hasSeenTour())
                m_coach->setActiveTip(CoachMarksService::Tip::Welcome);
            poll();
            m_pollTimer.start();
        });
    } else {
        poll();
        m_pollTimer.start();
    }
}

void ContentView::poll() { m_permissions.refreshSync(); }

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
            connect(fade, &QPropertyAnimation::finished, m_splash, &QWidget::hide);
            fade->start(QAbstractAnimation::DeleteWhenStopped);
        }
    }
    emit splashVisibleChanged(visible);
}

} // namespace zova
