#include "AppFixture.h"

#include "app/ContentView.h"
#include "app/LibraryView.h"
#include "app/MainWindow.h"
#include "app/PermissionFlags.h"
#include "app/PermissionProbe.h"
#include "app/SettingsKeys.h"
#include "app/ThemeService.h"
#include "onboarding/CoachMarksService.h"

#include <QAction>
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
        QSettings().clear();
        if (row.stored)
            QSettings().setValue(SettingsKeys::themeMode, QString::fromLatin1(row.stored));
        ThemeService theme;
        EXPECT_EQ(theme.mode(), row.mode) << (row.stored ? row.stored : "(none)");
        // Reading writes nothing: the stored text stays as it was.
        if (row.stored)
            EXPECT_EQ(QSettings().value(SettingsKeys::themeMode).toString(), QString::fromLatin1(row.stored));
        else
            EXPECT_FALSE(QSettings().contains(SettingsKeys::themeMode));
    }
}

TEST_F(ThemeFixture, EveryChoiceIsStoredButOnlyChangesNotify)
{
    ThemeService theme;
    QSignalSpy spy(&theme, &ThemeService::modeChanged);
    theme.setMode(ThemeService::Mode::System);
    EXPECT_EQ(spy.count(), 0);
    EXPECT_EQ(QSettings().value(SettingsKeys::themeMode).toString(), QStringLiteral("system"));
    theme.setMode(ThemeService::Mode::Dark);
    theme.setMode(ThemeService::Mode::Dark);
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(QSettings().value(SettingsKeys::themeMode).toString(), QStringLiteral("dark"));
    EXPECT_EQ(ThemeService().mode(), ThemeService::Mode::Dark) << "survives a relaunch";
}

namespace {
class FakeProbe : public PermissionProbe {
public:
    bool screen = false, input = false;
    bool screenRecordingAvailable() const override { return screen; }
    bool inputMonitoringAvailable() const override { return input; }
};
} // namespace

using MenuFixture = AppFixture;

TEST_F(MenuFixture, AppearanceActionsTitlesShortcutsAndCheckmark)
{
    ThemeService theme;
    CoachMarksService coach;
    MainWindow window(&theme, &coach, new ContentView(context(), &coach));
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
    window.settingsAction()->trigger();
    ASSERT_NE(window.settingsWindow(), nullptr);
    EXPECT_TRUE(window.settingsWindow()->isVisible());
}

TEST_F(MenuFixture, ShowTipsAgainRestartsTheTour)
{
    ThemeService theme;
    CoachMarksService coach;
    MainWindow window(&theme, &coach, new ContentView(context(), &coach));
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
        QSettings().clear();
        QSettings().setValue(SettingsKeys::onboardingCompleted, row.onboarded);
        if (row.seen)
            QSettings().setValue(SettingsKeys::coachMarksSeenAllAt, QDateTime::currentDateTime());
        CoachMarksService coach;
        ContentView view(context(), &coach, {}, {}, StartupTiming { 60, 40, 1000 });
        EXPECT_EQ(view.library() != nullptr, row.onboarded) << row.name;
        EXPECT_TRUE(view.splashVisible());
        view.show();
        QTest::qWait(30);
        EXPECT_TRUE(view.splashVisible()) << row.name << ": still shown before the delay";
        EXPECT_TRUE(zova::test::waitUntil([&] { return !view.splashVisible(); }, 2000)) << row.name;
        EXPECT_FALSE(coach.activeTip().has_value()) << row.name << ": no tip together with the fade";
        QTest::qWait(80);
        EXPECT_EQ(coach.activeTip() == CoachMarksService::Tip::Welcome, row.tipExpected) << row.name;
    }
}

TEST_F(StartupFixture, PollFollowsTheProbeAndOnboardingSwapsInTheLibrary)
{
    auto probe = std::make_shared<FakeProbe>();
    CoachMarksService coach;
    ContentView view(context(), &coach, probe, {}, StartupTiming { 10, 10, 30 });
    QSignalSpy screen(view.permissions(), &PermissionFlags::screenRecordingChanged);
    view.show();
    EXPECT_FALSE(view.permissions()->screenRecording());
    probe->screen = true;
    EXPECT_TRUE(zova::test::waitUntil([&] { return view.permissions()->screenRecording(); }, 2000));
    QTest::qWait(100);
    EXPECT_EQ(screen.count(), 1) << "unchanged passes notify nobody";

    EXPECT_EQ(view.library(), nullptr);
    view.permissions()->setHasCompletedOnboarding(true);
    ASSERT_NE(view.library(), nullptr);
    EXPECT_TRUE(view.library()->isVisibleTo(&view));
    EXPECT_TRUE(QSettings().value(SettingsKeys::onboardingCompleted).toBool());
}
