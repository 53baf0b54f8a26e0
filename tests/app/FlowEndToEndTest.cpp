// Drives the real application binary under Xvfb + openbox: New Guide, pick a
// window of a child process, three clicks in it, then Stop (or Cancel) on the
// control panel; checks the window manager's active window and the store.
#include "model/Guide.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/Step.h"

// Xlib last: it defines None, Bool and the like.
#include "AppSession.h"

#include <memory>

using namespace zova;

namespace {

const QString targetTitle = QStringLiteral("Flow Target");

class Session : public AppSession {
protected:
    QList<QProcess*> processes() override { return { &m_app, &m_target }; }

    void launch()
    {
        m_target.start(qEnvironmentVariable("ZOVA_FLOW_TARGET"), { targetTitle });
        ASSERT_TRUE(m_target.waitForStarted(5000));
        ASSERT_TRUE(test::waitUntil([&] { return clientWindow(m_target.processId(), targetTitle) != 0; }, 15000));
        launchApp();
        ASSERT_FALSE(HasFatalFailure());
        snapshot("1-library");
    }

    int screenshotCount() const { return int(QDir(screenshotsDir()).entryList({ "*.png" }, QDir::Files).size()); }

    // New Guide, the test window's card, then clicks in the target.
    void recordClicks(int clicks)
    {
        clickWidget("newGuideButton");
        ASSERT_TRUE(waitForWidget({}, "zova::WindowCard", targetTitle)) << "no card for the test window";
        QTest::qWait(400);
        snapshot("2-picker");
        clickWidget({}, "zova::WindowCard", targetTitle);
        ASSERT_TRUE(waitForWidget("stopButton", "zova::CircleButton")) << "no control panel";
        ASSERT_TRUE(test::waitUntil([&] { return appIsIconic(); }, 5000)) << "the library did not step aside";
        const Window target = clientWindow(m_target.processId(), targetTitle);
        ASSERT_TRUE(test::waitUntil([&] { return activeWindow() == target; }, 5000)) << "target not brought forward";
        const QRect frame = frameOf(target);
        ASSERT_FALSE(frame.isEmpty());
        const QPointF spots[] = { { 0.25, 0.3 }, { 0.75, 0.3 }, { 0.5, 0.75 } };
        for (int i = 0; i < clicks; ++i) {
            click(
                QPoint(frame.x() + int(frame.width() * spots[i].x()), frame.y() + int(frame.height() * spots[i].y())));
            const int expected = i + 1;
            ASSERT_TRUE(test::waitUntil([&] { return screenshotCount() >= expected; }, 10000))
                << "no screenshot for click " << expected;
        }
        QTest::qWait(300);
        snapshot("3-recording");
    }

    void snapshot(const char* name) const
    {
        AppSession::snapshot(QStringLiteral("recording-%1-%2.png").arg(m_run, QString::fromLatin1(name)));
    }

    QProcess m_target;
    QString m_run = QStringLiteral("stop");
};

TEST_F(Session, StopBringsTheLibraryBackWithTheGuideOpen)
{
    launch();
    ASSERT_FALSE(HasFatalFailure());
    recordClicks(3);
    ASSERT_FALSE(HasFatalFailure());
    clickWidget("stopButton", "zova::CircleButton");
    EXPECT_TRUE(waitForWidget("guideEditor")) << "the guide was not opened";
    EXPECT_TRUE(test::waitUntil([&] { return activeWindow() == appWindow() && !appIsIconic(); }, 10000))
        << "the application is not in front";
    EXPECT_FALSE(widget("recordingHUD")) << "the control panel is still shown";
    EXPECT_FALSE(widget("recordingOutline")) << "the outline is still shown";
    QTest::qWait(300);
    snapshot("4-guide-open");
    quitApp();

    auto store = ModelContainer::open(storePath());
    ASSERT_TRUE(store.hasValue());
    const QList<Guide*> guides = store.value()->mainContext()->guides();
    ASSERT_EQ(guides.size(), 1);
    EXPECT_EQ(guides.first()->title(), targetTitle);
    const QList<Step*> steps = guides.first()->orderedSteps();
    ASSERT_EQ(steps.size(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(steps[i]->order(), i);
        EXPECT_TRUE(QFile::exists(QDir(screenshotsDir()).filePath(steps[i]->screenshotFilename())))
            << "step " << i << " has no screenshot";
    }
}

TEST_F(Session, CancelLeavesNoGuideAndNoScreenshot)
{
    m_run = QStringLiteral("cancel");
    launch();
    ASSERT_FALSE(HasFatalFailure());
    recordClicks(2);
    ASSERT_FALSE(HasFatalFailure());
    clickWidget("cancelButton", "zova::CircleButton");
    EXPECT_TRUE(test::waitUntil([&] { return activeWindow() == appWindow() && !appIsIconic(); }, 10000))
        << "the application is not in front";
    EXPECT_TRUE(waitForWidget("libraryRoot"));
    EXPECT_FALSE(widget("guideEditor"));
    EXPECT_TRUE(test::waitUntil([&] { return screenshotCount() == 0; }, 5000)) << "screenshots left behind";
    QTest::qWait(300);
    snapshot("4-cancelled");
    quitApp();

    auto store = ModelContainer::open(storePath());
    ASSERT_TRUE(store.hasValue());
    EXPECT_TRUE(store.value()->mainContext()->guides().isEmpty());
    EXPECT_EQ(screenshotCount(), 0);
}

} // namespace
