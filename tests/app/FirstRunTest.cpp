#include "AppFixture.h"
#include "support/ManualDelays.h"

#include "app/library/GuideCard.h"
#include "app/library/GuideCollection.h"
#include "app/library/LibraryView.h"
#include "app/shell/ContentView.h"
#include "onboarding/CoachMarksOverlay.h"
#include "onboarding/CoachMarksService.h"
#include "onboarding/SplashView.h"

#include <QApplication>
#include <QMenu>

using namespace zova;

namespace {

class FirstRunFixture : public AppFixture {
protected:
    std::unique_ptr<ContentView> makeView()
    {
        m_coach = std::make_unique<CoachMarksService>(m_settings);
        auto view = std::make_unique<ContentView>(context(), zova::test::storage(), m_settings, m_coach.get(),
            m_permissions, LibraryHooks {}, StartupTiming { 60, 40, 1000, m_clock.delay() });
        view->resize(1280, 820);
        return view;
    }

    std::unique_ptr<CoachMarksService> m_coach;
    test::ManualDelays m_clock;
};

} // namespace

TEST_F(FirstRunFixture, SplashOverTipsOverOnboardingThenTheLibraryAndItsFirstTip)
{
    auto view = makeView();
    view->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    QPointer<SplashView> splash = view->splash();
    CoachMarksOverlay* overlay = view->tipOverlay();
    ASSERT_TRUE(splash && overlay);
    EXPECT_EQ(splash->geometry(), view->rect());
    EXPECT_EQ(view->childAt(640, 410), splash.data()) << "the splash is above everything";
    const QObjectList order = view->children();
    EXPECT_GT(order.indexOf(splash), order.indexOf(overlay)) << "the splash is stacked over the tips";

    m_clock.runUntil(60);
    EXPECT_FALSE(view->splashVisible());
    ASSERT_TRUE(test::waitUntil([&] { return splash.isNull(); })) << "the splash fades and goes";
    EXPECT_FALSE(overlay->isVisible()) << "no tip over the onboarding screen";

    // Onboarding completed in this run: the library, then the first tip.
    m_permissions.setHasCompletedOnboarding(true);
    ASSERT_NE(view->library(), nullptr);
    EXPECT_TRUE(view->library()->isVisible());
    EXPECT_FALSE(m_coach->activeTip().has_value()) << "the tip waits";
    const long long completed = m_clock.now();
    m_clock.runUntil(completed + 39);
    EXPECT_FALSE(m_coach->activeTip().has_value()) << "the tip waits its time";
    m_clock.runUntil(completed + 40);
    ASSERT_EQ(m_coach->activeTip(), CoachMarksService::Tip::Welcome);
    EXPECT_TRUE(overlay->isVisible());
    EXPECT_EQ(overlay->geometry(), view->rect());
    view->resize(1000, 700);
    EXPECT_EQ(overlay->geometry(), view->rect()) << "the tips follow the window's size";
}

TEST_F(FirstRunFixture, NoTourAfterOnboardingOnceSeen)
{
    m_settings.setValue(settings::coachMarksSeenAllAt, QDateTime::currentDateTime());
    auto view = makeView();
    view->show();
    m_clock.runUntil(60);
    ASSERT_FALSE(view->splashVisible());
    m_permissions.setHasCompletedOnboarding(true);
    m_clock.runUntil(5000);
    EXPECT_FALSE(m_coach->activeTip().has_value());
}

TEST_F(FirstRunFixture, TheMenuTheRightClickTipNamesOpensOnARightClick)
{
    m_permissions.setHasCompletedOnboarding(true);
    m_settings.setValue(settings::coachMarksSeenAllAt, QDateTime::currentDateTime());
    Guide* g = addGuide(QStringLiteral("Right-click me"));
    auto view = makeView();
    view->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    ASSERT_NE(view->library(), nullptr);
    GuideCard* card = nullptr;
    ASSERT_TRUE(
        test::waitUntil([&] { return (card = view->library()->collection()->cardFor(g)) && card->isVisible(); }));
    m_clock.runUntil(60);
    ASSERT_FALSE(view->splashVisible());
    ASSERT_TRUE(test::waitUntil([&] { return view->splash() == nullptr; }));

    // A real right button press through the window, as the window system delivers it.
    const QPoint at = card->mapTo(view.get(), card->rect().center());
    QTest::mouseClick(view->windowHandle(), Qt::RightButton, {}, at);
    QMenu* menu = nullptr;
    ASSERT_TRUE(test::waitUntil([&] { return (menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())); }))
        << "no context menu";
    QStringList titles;
    for (QAction* a : menu->actions())
        titles << a->text();
    EXPECT_TRUE(titles.contains(QStringLiteral("Open"))) << titles.join(", ").toStdString();
    EXPECT_TRUE(titles.contains(QStringLiteral("Delete guide\u2026"))) << titles.join(", ").toStdString();
    menu->close();
}
