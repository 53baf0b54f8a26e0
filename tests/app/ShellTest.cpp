#include "AppFixture.h"
#include "support/ManualDelays.h"

#include "app/library/LibraryView.h"
#include "app/shell/AppPalettes.h"
#include "app/shell/AppearanceController.h"
#include "app/shell/ColorSchemeSource.h"
#include "app/shell/ContentView.h"
#include "app/shell/MainWindow.h"
#include "app/shell/ThemeService.h"
#include "onboarding/CoachMarksService.h"

#include <QAction>
#include <QApplication>
#include <QMenuBar>
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

// The start-up's waits are run by hand: each step happens at its time on the
// test's clock, whatever the machine's load.
TEST_F(StartupFixture, TimingTable)
{
    const struct {
        const char* name;
        bool onboarded, seen;
        std::optional<long long> tipAt;
        std::vector<long long> pollsAt;
    } rows[] = {
        { "first launch", false, false, std::nullopt, { 0, 900, 1500, 2900, 3000, 4500, 4900 } },
        { "returning, tour unseen", true, false, 1400, { 1400, 3400 } },
        { "returning, tour seen", true, true, std::nullopt, { 1400, 3400 } },
    };
    for (const auto& row : rows) {
        clearSettings();
        store(settings::onboardingCompleted.key, row.onboarded);
        if (row.seen)
            store(settings::coachMarksSeenAllAt.key, QDateTime::currentDateTime());
        CoachMarksService coach(m_settings);
        test::ManualDelays clock;
        std::vector<long long> reads;
        bool shown = false;
        PermissionsService permissions(m_settings, [&](bool) {
            if (shown)
                reads.push_back(clock.now());
            return SessionGrants { true, true };
        });
        ContentView view(context(), zova::test::storage(), m_settings, &coach, permissions, {},
            StartupTiming { 900, 500, 2000, clock.delay() });
        EXPECT_EQ(view.library() != nullptr, row.onboarded) << row.name;
        std::optional<long long> hiddenAt, tipAt;
        QObject::connect(&view, &ContentView::splashVisibleChanged, [&](bool visible) {
            if (!visible)
                hiddenAt = clock.now();
        });
        QObject::connect(&coach, &CoachMarksService::activeTipChanged, [&] {
            if (coach.activeTip() == CoachMarksService::Tip::Welcome && !tipAt)
                tipAt = clock.now();
        });
        shown = true;
        view.show();
        EXPECT_TRUE(view.splashVisible()) << row.name;
        clock.runUntil(5000);
        EXPECT_EQ(hiddenAt, 900) << row.name << ": the splash stays 0.9 s";
        EXPECT_EQ(tipAt, row.tipAt) << row.name << ": the first tip half a second after the splash";
        EXPECT_EQ(reads, row.pollsAt) << row.name
                                      << ": the root polls after the splash (and the tip), every 2 s, and the "
                                         "onboarding screen from its showing, every 1.5 s";
    }
}

TEST_F(StartupFixture, PollFollowsTheProbeAndOnboardingSwapsInTheLibrary)
{
    grants = {};
    m_permissions.refreshSync();
    CoachMarksService coach(m_settings);
    test::ManualDelays clock;
    ContentView view(context(), zova::test::storage(), m_settings, &coach, m_permissions, {},
        StartupTiming { 10, 10, 30, clock.delay() });
    QSignalSpy screen(&view.permissions(), &PermissionsService::screenRecordingChanged);
    view.show();
    clock.runUntil(10);
    EXPECT_FALSE(view.permissions().screenRecording());
    grants.screenRecording = true;
    EXPECT_FALSE(view.permissions().screenRecording()) << "read at the next pass only";
    clock.runNext();
    EXPECT_TRUE(view.permissions().screenRecording()) << "the next pass reads the grant";
    for (int pass = 0; pass < 3; ++pass)
        clock.runNext();
    EXPECT_EQ(screen.count(), 1) << "unchanged passes notify nobody";

    EXPECT_EQ(view.library(), nullptr);
    view.permissions().setHasCompletedOnboarding(true);
    ASSERT_NE(view.library(), nullptr);
    EXPECT_TRUE(view.library()->isVisibleTo(&view));
    EXPECT_TRUE(stored(settings::onboardingCompleted.key).toBool());
}

namespace {

// The desktop's preference as the test sets it.
class FakeColorScheme final : public ColorSchemeSource {
public:
    bool prefersDark() const override { return m_dark; }
    void setDark(bool dark)
    {
        m_dark = dark;
        emit changed();
    }

private:
    bool m_dark = false;
};

bool applicationIsDark()
{
    return QApplication::palette().color(QPalette::Window) == AppPalettes::dark().color(QPalette::Window);
}

} // namespace

using AppearanceFixture = AppFixture;

TEST_F(AppearanceFixture, ModeAndDesktopPreferenceChooseThePalette)
{
    const QPalette before = QApplication::palette();
    const struct {
        ThemeService::Mode mode;
        bool desktopDark, dark;
    } rows[] = {
        { ThemeService::Mode::System, false, false },
        { ThemeService::Mode::System, true, true },
        { ThemeService::Mode::Light, true, false },
        { ThemeService::Mode::Light, false, false },
        { ThemeService::Mode::Dark, false, true },
        { ThemeService::Mode::Dark, true, true },
    };
    for (const auto& row : rows) {
        const std::string name
            = ThemeService::title(row.mode).toStdString() + (row.desktopDark ? ", desktop dark" : ", desktop light");
        ThemeService theme(m_settings);
        theme.setMode(row.mode);
        FakeColorScheme desktop;
        desktop.setDark(row.desktopDark);
        AppearanceController appearance(&theme, &desktop);
        EXPECT_EQ(AppearanceController::isDark(row.mode, row.desktopDark), row.dark) << name;
        appearance.apply();
        EXPECT_EQ(appearance.isDark(), row.dark) << name;
        EXPECT_EQ(applicationIsDark(), row.dark) << name;
    }
    QApplication::setPalette(before);
}

// "Follow system" follows the desktop as it changes; a chosen mode does not.
TEST_F(AppearanceFixture, FollowsTheDesktopOnlyWhenAskedTo)
{
    const QPalette before = QApplication::palette();
    ThemeService theme(m_settings);
    FakeColorScheme desktop;
    AppearanceController appearance(&theme, &desktop);
    QSignalSpy applied(&appearance, &AppearanceController::applied);
    const struct {
        const char* name;
        std::optional<ThemeService::Mode> mode; // chosen before the desktop's change
        std::optional<bool> desktopDark;
        bool dark;
    } steps[] = {
        { "follows the desktop to dark", ThemeService::Mode::System, true, true },
        { "and back to light", std::nullopt, false, false },
        { "Dark chosen", ThemeService::Mode::Dark, std::nullopt, true },
        { "Dark stays while the desktop turns light", std::nullopt, false, true },
        { "Light chosen", ThemeService::Mode::Light, std::nullopt, false },
        { "Light stays while the desktop turns dark", std::nullopt, true, false },
        { "Follow system again: dark at once", ThemeService::Mode::System, std::nullopt, true },
    };
    for (const auto& step : steps) {
        applied.clear();
        if (step.mode)
            theme.setMode(*step.mode);
        if (step.desktopDark)
            desktop.setDark(*step.desktopDark);
        EXPECT_EQ(applicationIsDark(), step.dark) << step.name;
        ASSERT_FALSE(applied.isEmpty()) << step.name << ": applied on every change";
        EXPECT_EQ(applied.last().at(0).toBool(), step.dark) << step.name;
    }
    QApplication::setPalette(before);
}

using WindowFixture = AppFixture;

// The library's header lies right under the menu bar, with no blank band between.
TEST_F(WindowFixture, LibraryHeaderSitsUnderTheMenuBar)
{
    m_permissions.setHasCompletedOnboarding(true);
    ThemeService theme(m_settings);
    CoachMarksService coach(m_settings);
    auto* content = new ContentView(context(), zova::test::storage(), m_settings, &coach, m_permissions);
    MainWindow window(m_settings, &theme, &coach, content);
    window.resize(1280, 820);
    window.show();
    ASSERT_NE(content->library(), nullptr);
    QWidget* header = content->library()->findChild<QWidget*>(QStringLiteral("libraryHeader"));
    ASSERT_NE(header, nullptr);
    const QRect menu = window.menuBar()->geometry();
    EXPECT_EQ(header->mapTo(&window, QPoint(0, 0)), QPoint(0, menu.bottom() + 1));
    EXPECT_EQ(header->width(), window.width());
}
