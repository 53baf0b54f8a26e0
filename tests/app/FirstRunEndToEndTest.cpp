// Drives the real application binary on a fresh profile under Xvfb + openbox:
// the splash, the onboarding screen, the way to the library and the first tip,
// then a second launch straight into the library.
#include "model/Settings.h"

// Xlib last: it defines None, Bool and the like.
#include "AppSession.h"

using namespace zova;

namespace {

class FirstRun : public AppSession {
protected:
    void SetUp() override
    {
        AppSession::SetUp();
        QFile::remove(settingsPath()); // a fresh profile
    }

    bool visible(const QString& name, const QString& text = {}) const { return widget(name, {}, text).has_value(); }
    bool storedOnboardingFlag() const
    {
        return Settings(std::make_unique<SettingsFileStore>(settingsPath())).value(settings::onboardingCompleted);
    }
};

TEST_F(FirstRun, SplashOnboardingLibraryThenTheFirstTipAndStraightToTheLibraryNextTime)
{
    ASSERT_FALSE(QFile::exists(settingsPath())) << "a fresh profile";
    startApp();
    ASSERT_FALSE(HasFatalFailure());

    // The splash covers the window first, then fades out.
    ASSERT_TRUE(waitForWidget("splash")) << "no splash";
    const auto splash = widget("splash");
    const auto onboarding = widget("onboarding");
    ASSERT_TRUE(onboarding) << "the onboarding screen lies under the splash";
    EXPECT_EQ(splash->rect, onboarding->rect) << "the splash covers the whole content";
    snapshot(QStringLiteral("first-run-splash.png"));
    ASSERT_TRUE(test::waitUntil([&] { return !visible("splash"); }, 10000)) << "the splash did not go";

    // Both permissions are available in this session, so the way on is open.
    EXPECT_TRUE(visible("screenRecordingRow", QStringLiteral("Granted")));
    EXPECT_TRUE(visible("inputMonitoringRow", QStringLiteral("Granted")));
    ASSERT_TRUE(visible("continueButton"));
    EXPECT_TRUE(visible("relaunchButton"));
    EXPECT_FALSE(visible("skipSetupButton"));
    EXPECT_FALSE(visible("relaunchNote"));
    EXPECT_FALSE(visible("tipCard")) << "no tip over the onboarding screen";
    QTest::qWait(300);
    snapshot(QStringLiteral("first-run-onboarding-light.png"));

    clickWidget("continueButton");
    // The first picture of the window with the library in it has no tip yet.
    const auto shows = [](const QList<DumpEntry>& entries, const QString& name) {
        return std::any_of(
            entries.begin(), entries.end(), [&](const DumpEntry& e) { return e.name == name && !e.rect.isEmpty(); });
    };
    QList<DumpEntry> firstWithLibrary;
    ASSERT_TRUE(test::waitUntil([&] { return shows(firstWithLibrary = dump(), QStringLiteral("libraryRoot")); }, 5000))
        << "Continue did not lead to the library";
    EXPECT_FALSE(shows(firstWithLibrary, QStringLiteral("tipOverlay"))) << "the library comes first, the tip after it";
    EXPECT_FALSE(visible("onboarding"));
    EXPECT_TRUE(test::waitUntil([&] { return storedOnboardingFlag(); }, 5000)) << "the flag was not stored";
    ASSERT_TRUE(waitForWidget("tipOverlay", {}, {}, 5000)) << "the first tip did not open";
    ASSERT_TRUE(waitForWidget("tipCard", {}, QStringLiteral("Tip 1 of 6"), 5000));
    QTest::qWait(300);
    snapshot(QStringLiteral("first-run-tip-over-library.png"));
    quitApp();

    // The next launch goes straight to the library.
    startApp();
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(waitForWidget("libraryRoot"));
    for (int look = 0; look < 25; ++look) {
        EXPECT_FALSE(visible("onboarding")) << "onboarding shown again";
        QTest::qWait(100);
    }
    quitApp();
}

TEST_F(FirstRun, AStoreThatCannotBeOpenedIsShownInADialogThenTheApplicationEnds)
{
    // A folder where the store file must be.
    const QString notAStore = m_home.filePath("not-a-store");
    ASSERT_TRUE(QDir().mkpath(notAStore));
    m_appEnvironment.insert(QStringLiteral("ZOVA_STORE_PATH"), notAStore);
    startApp(); // the dialog carries the application's name
    ASSERT_FALSE(HasFatalFailure());
    const Window dialog = appWindow();
    const auto type = x11::cardinals(d(), dialog, "_NET_WM_WINDOW_TYPE", XA_ATOM);
    ASSERT_TRUE(type && !type->isEmpty());
    EXPECT_EQ(type->first(), x11::atom(d(), "_NET_WM_WINDOW_TYPE_DIALOG")) << "the dialog, not the main window";
    EXPECT_EQ(m_app.state(), QProcess::Running) << "the application waits for the user";
    ASSERT_TRUE(test::waitUntil([&] { return activeWindow() == dialog; }, 5000));
    key(XK_Return);
    ASSERT_TRUE(m_app.waitForFinished(10000));
    EXPECT_EQ(m_app.exitCode(), 1);
}

TEST_F(FirstRun, OnboardingInTheDarkAppearance)
{
    if (qEnvironmentVariableIsEmpty("ZOVA_DOCS_SHOTS"))
        GTEST_SKIP() << "only takes the picture for the documentation";
    storeSetting(settings::themeMode, ThemeMode::Dark);
    startApp();
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(waitForWidget("onboarding"));
    ASSERT_TRUE(test::waitUntil([&] { return !visible("splash"); }, 10000));
    QTest::qWait(300);
    snapshot(QStringLiteral("first-run-onboarding-dark.png"));
    quitApp();
}

} // namespace
