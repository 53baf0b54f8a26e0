#include "AppFixture.h"

#include "app/library/LibraryView.h"
#include "app/shell/ContentView.h"
#include "app/shell/MainWindow.h"
#include "app/shell/ThemeService.h"
#include "onboarding/CoachMarksService.h"

#include <QAction>
#include <QElapsedTimer>
#include <QSignalSpy>

using namespace zova;

using ThemeFixture = AppFixture;

TEST_F(ThemeFixture, StoredValueTable)
{
    const struct {
        const char* stored; // nullptr: no key
        ThemeService::Mode mode;
    } rows[] = { { nullptr, ThemeService::Mode::System }, { "system", ThemeService::Mode::System },
        { "light", ThemeService::Mode::Light }, { "dark", ThemeService::Mode::Dark },
        { "Dark", ThemeService::Mode::System }, { " dark", ThemeService::Mode::System },
        { "", ThemeService::Mode::System } };
    for (const auto& row : rows) {
        clearSettings();
        if (row.stored)
            store(settings::themeMode.key, QString::fromLatin1(row.stored));
        ThemeService theme(m_settings);
        EXPECT_EQ(theme.mode(), row.mode) << (row.stored ? row.stored : "(none)");
        // Reading writes nothing: the stored text stays as it was.
        if (row.stored)
            EXPECT_EQ(stored(settings::themeMode.key).toString(), QString::fromLatin1(row.stored));
        else
            EXPECT_FALSE(stored(settings::themeMode.key).isValid());
    }
}

TEST_F(ThemeFixture, EveryChoiceIsStoredButOnlyChangesNotify)
{
    ThemeService theme(m_settings);
    QSignalSpy spy(&theme, &ThemeService::modeChanged);
    theme.setMode(ThemeService::Mode::System);
    EXPECT_EQ(spy.count(), 0);
    EXPECT_EQ(stored(settings::themeMode.key).toString(), QStringLiteral("system"));
    theme.setMode(ThemeService::Mode::Dark);
    theme.setMode(ThemeService::Mode::Dark);
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(stored(settings::themeMode.key).toString(), QStringLiteral("dark"));
    EXPECT_EQ(ThemeService(m_settings).mode(), ThemeService::Mode::Dark) << "survives a relaunch";
}

using MenuFixture = AppFixture;

TEST_F(MenuFixture, AppearanceActionsTitlesShortcutsAndCheckmark)
{
    ThemeService theme(m_settings);
    CoachMarksService coach(m_settings);
    MainWindow window(m_settings, &theme, &coach,
        new ContentView(context(), zova::test::storage(), m_settings, &coach, m_permissions));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Z.O.V.A"));
    EXPECT_EQ(window.size(), QSize(1280, 820));
    const auto actions = window.appearanceActions();
    ASSERT_EQ(actions.size(), 3);
    const char* titles[] = { "Follow system", "Light", "Dark" };
    const char* shortcuts[] = { "Ctrl+Alt+1", "Ctrl+Alt+2", "Ctrl+Alt+3" };
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(actions[i]->text(), QString::fromLatin1(titles[i]));
        EXPECT_EQ(actions[i]->shortcut(), QKeySequence(QString::fromLatin1(shortcuts[i])));
    }
    EXPECT_EQ(actions[0]->property("symbol").toString(), QStringLiteral("checkmark"));
    actions[2]->trigger();
    EXPECT_EQ(theme.mode(), ThemeService::Mode::Dark);
    EXPECT_EQ(actions[0]->property("symbol").toString(), QStringLiteral("circle.lefthalf.filled"));
    EXPECT_EQ(actions[1]->property("symbol").toString(), QStringLiteral("sun.max.fill"));
    EXPECT_EQ(actions[2]->property("symbol").toString(), QStringLiteral("checkmark"));
    theme.setMode(ThemeService::Mode::Light); // from elsewhere: the menu follows
    EXPECT_EQ(actions[1]->property("symbol").toString(), QStringLiteral("checkmark"));

    EXPECT_EQ(window.settingsAction()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Comma));
    // The main window hangs over the screen's bottom-right corner.
    const QRect free = window.screen()->availableGeometry();
    window.resize(400, 300);
    window.move(free.right() - 150, free.bottom() - 100);
    window.settingsAction()->trigger();
    ASSERT_NE(window.settingsWindow(), nullptr);
    EXPECT_TRUE(window.settingsWindow()->isVisible());
    EXPECT_TRUE(free.contains(QRect(window.settingsWindow()->pos(), window.settingsWindow()->size())))
        << "the Settings window opens on screen";
    EXPECT_EQ(window.settingsWindowPosition(QSize(100, 80)), QPoint(free.right() - 99, free.bottom() - 79));
}

TEST_F(MenuFixture, ShowTipsAgainRestartsTheTour)
{
    ThemeService theme(m_settings);
    CoachMarksService coach(m_settings);
    MainWindow window(m_settings, &theme, &coach,
        new ContentView(context(), zova::test::storage(), m_settings, &coach, m_permissions));
    EXPECT_EQ(window.showTipsAction()->text(), QStringLiteral("Show tips again"));
    EXPECT_TRUE(window.showTipsAction()->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_Question)));
    coach.setActiveTip(CoachMarksService::Tip::ReorderSteps);
    window.showTipsAction()->trigger();
    EXPECT_EQ(coach.activeTip(), CoachMarksService::Tip::Welcome);
    coach.finish();
    window.showTipsAction()->trigger();
    EXPECT_EQ(coach.activeTip(), CoachMarksService::Tip::Welcome);
    EXPECT_TRUE(coach.hasSeenTour());
}

using StartupFixture = AppFixture;

TEST_F(StartupFixture, TimingTable)
{
    const struct {
        const char* name;
        bool onboarded, seen, tipExpected;
    } rows[] = { { "first launch", false, false, false }, { "returning, tour unseen", true, false, true },
        { "returning, tour seen", true, true, false } };
    for (const auto& row : rows) {
        clearSettings();
        store(settings::onboardingCompleted.key, row.onboarded);
        if (row.seen)
            store(settings::coachMarksSeenAllAt.key, QDateTime::currentDateTime());
        CoachMarksService coach(m_settings);
        PermissionsService permissions(m_settings, [](bool) { return SessionGrants { true, true }; });
        const StartupTiming timing { 60, 40, 1000 };
        ContentView view(context(), zova::test::storage(), m_settings, &coach, permissions, {}, timing);
        EXPECT_EQ(view.library() != nullptr, row.onboarded) << row.name;
        EXPECT_TRUE(view.splashVisible());
        // When each thing happened, measured from before the view is shown: a
        // busy machine can only make them later, never earlier.
        QElapsedTimer clock;
        std::optional<qint64> hiddenAt, tipAt;
        QObject::connect(&view, &ContentView::splashVisibleChanged, [&](bool visible) {
            if (!visible)
                hiddenAt = clock.elapsed();
        });
        QObject::connect(&coach, &CoachMarksService::activeTipChanged, [&] {
            if (coach.activeTip() == CoachMarksService::Tip::Welcome && !tipAt)
                tipAt = clock.elapsed();
        });
        clock.start();
        view.show();
        ASSERT_TRUE(zova::test::waitUntil([&] { return hiddenAt.has_value(); }, 3000)) << row.name;
        EXPECT_GE(*hiddenAt, timing.splashMs) << row.name << ": the splash stays its time";
        if (row.tipExpected) {
            ASSERT_TRUE(zova::test::waitUntil([&] { return tipAt.has_value(); }, 3000)) << row.name;
            EXPECT_GE(*tipAt - *hiddenAt, timing.firstTipMs) << row.name << ": the tip follows the fade";
        } else {
            zova::test::waitUntil([&] { return clock.elapsed() > *hiddenAt + timing.firstTipMs + 300; }, 3000);
            EXPECT_FALSE(tipAt.has_value()) << row.name;
        }
    }
}

TEST_F(StartupFixture, PollFollowsTheProbeAndOnboardingSwapsInTheLibrary)
{
    grants = {};
    m_permissions.refreshSync();
    CoachMarksService coach(m_settings);
    ContentView view(
        context(), zova::test::storage(), m_settings, &coach, m_permissions, {}, StartupTiming { 10, 10, 30 });
    QSignalSpy screen(&view.permissions(), &PermissionsService::screenRecordingChanged);
    view.show();
    EXPECT_FALSE(view.permissions().screenRecording());
    grants.screenRecording = true;
    EXPECT_TRUE(zova::test::waitUntil([&] { return view.permissions().screenRecording(); }, 2000));
    QTest::qWait(100);
    EXPECT_EQ(screen.count(), 1) << "unchanged passes notify nobody";

    EXPECT_EQ(view.library(), nullptr);
    view.permissions().setHasCompletedOnboarding(true);
    ASSERT_NE(view.library(), nullptr);
    EXPECT_TRUE(view.library()->isVisibleTo(&view));
    EXPECT_TRUE(stored(settings::onboardingCompleted.key).toBool());
}
