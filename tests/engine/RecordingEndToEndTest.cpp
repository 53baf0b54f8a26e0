#include "engine/RecordingService.h"
#include "model/Guide.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/Step.h"
#include "model/StorageService.h"
#include "platform/llm/LocalModelClient.h"
#include "platform/x11/X11Backends.h"
#include "support/TestStorage.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QHash>
#include <QProcess>
#include <QWidget>

#include <gtest/gtest.h>

#include <cmath>

// Xlib last: it defines None, Bool and the like.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

using namespace zova;

namespace {

void xtestClick(QPoint p)
{
    Display* d = XOpenDisplay(nullptr);
    ASSERT_NE(d, nullptr);
    XTestFakeMotionEvent(d, -1, p.x(), p.y(), CurrentTime);
    XTestFakeButtonEvent(d, 1, True, CurrentTime);
    XTestFakeButtonEvent(d, 1, False, 10);
    XSync(d, False);
    XCloseDisplay(d);
}

// The target application: another process with large words in its window.
class TargetProcess {
public:
    bool start()
    {
        m_process.start(QStringLiteral(RECORDING_TARGET), {});
        if (!m_process.waitForStarted(5000))
            return false;
        QByteArray out;
        return test::waitUntil(
            [&] {
                out += m_process.readAllStandardOutput();
                if (!out.contains("READY\n"))
                    return false;
                for (const QByteArray& line : out.split('\n')) {
                    const auto parts = line.split(' ');
                    if (parts.size() == 4 && parts[0] == "WORD")
                        words.insert(QString::fromUtf8(parts[1]), QPoint(parts[2].toInt(), parts[3].toInt()));
                }
                return true;
            },
            10000);
    }
    ~TargetProcess()
    {
        m_process.kill();
        m_process.waitForFinished(3000);
    }
    qint32 pid() const { return qint32(m_process.processId()); }
    QHash<QString, QPoint> words;

private:
    QProcess m_process;
};

QStringList screenshotFiles()
{
    return QDir(zova::test::storage().screenshotsDirectory()).entryList({ "*.png" }, QDir::Files);
}

class RecordingEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        // No language model answers, whatever this machine runs on the usual ports:
        // the labels are the recogniser's own.
        llm::LocalModelClient::shared().setConfig(
            llm::LocalModelConfig::from(QStringLiteral("http://127.0.0.1:1"), {}));
        auto opened = ModelContainer::open(test::testHome() + QStringLiteral("/e2e.sqlite"));
        ASSERT_TRUE(opened);
        container = std::move(*opened);
        ASSERT_TRUE(target.start()) << "the target window did not come up";
        service
            = std::make_unique<RecordingService>(*container->mainContext(), x11::makeBackends(), zova::test::storage());
        service->setOnFinished([this](Guide* g, bool isNew) { finished.append({ g, isNew }); });
    }

    std::optional<DesktopWindow> targetWindow()
    {
        std::optional<DesktopWindow> found;
        test::waitUntil(
            [&] {
                bool listed = false;
                service->refreshWindows([&] { listed = true; });
                test::waitUntil([&] { return listed; });
                for (const auto& w : service->availableWindows()) {
                    if (w.processID() == target.pid())
                        found = w;
                }
                return found.has_value();
            },
            5000);
        return found;
    }

    void startRecording()
    {
        const auto window = targetWindow();
        ASSERT_TRUE(window) << "the target is not listed";
        service->setPhase(RecordingService::Phase::Picking);
        ASSERT_TRUE(service->startRecording(*window));
        ASSERT_TRUE(service->clickTrackingActive());
        ASSERT_TRUE(test::waitUntil([&] { return service->capture().pointIsInTrackedTarget(target.words["Apple"]); }));
        test::waitUntil([] { return false; }, 300); // the activation settles
    }

    TargetProcess target;
    std::unique_ptr<ModelContainer> container;
    std::unique_ptr<RecordingService> service;
    QList<std::pair<Guide*, bool>> finished;
};

TEST_F(RecordingEndToEnd, AcceptedClicksBecomeLabelledStepsAndStopHandsOver)
{
    QWidget own;
    own.setWindowTitle(QStringLiteral("Own window"));
    own.setGeometry(1300, 200, 300, 200);
    own.show();
    ASSERT_TRUE(test::waitUntil([&] { return own.isVisible(); }));
    test::waitUntil([] { return false; }, 300);
    const QPoint onOwn = own.frameGeometry().center();

    startRecording();
    const QRectF frame = *service->targetFrame();
    const QPoint word = target.words.value(QStringLiteral("Banana"));
    xtestClick(word);
    xtestClick(QPoint(1850, 1000)); // the bare desktop
    xtestClick(onOwn);
    ASSERT_TRUE(test::waitUntil([&] { return service->stepCount() == 1; }, 5000));
    test::waitUntil([] { return false; }, 1000);
    EXPECT_EQ(service->stepCount(), 1);
    EXPECT_EQ(service->ignoredClickCount(), 2);

    Guide* guide = service->currentGuide();
    ASSERT_EQ(guide->steps().size(), 1);
    Step* step = guide->steps().first();
    EXPECT_EQ(step->order(), 0);
    const QImage shot = zova::test::storage().loadScreenshot(step->screenshotFilename());
    ASSERT_FALSE(shot.isNull());
    EXPECT_EQ(shot.size(), frame.size().toSize());
    EXPECT_LE(std::abs(step->clickX() * frame.width() - (word.x() - frame.x())), 1.0);
    EXPECT_LE(std::abs(step->clickY() * frame.height() - (word.y() - frame.y())), 1.0);
    ASSERT_TRUE(test::waitUntil([&] { return step->ocrLabel().has_value(); }, 20000));
    EXPECT_EQ(*step->ocrLabel(), QStringLiteral("Click ‘Banana’"));

    service->stopRecording();
    ASSERT_EQ(finished.size(), 1);
    EXPECT_EQ(finished[0].first, guide);
    EXPECT_TRUE(finished[0].second);
    EXPECT_FALSE(container->mainContext()->hasChanges());
    EXPECT_EQ(guide->title(), QStringLiteral("Recording target"));
}

TEST_F(RecordingEndToEnd, CancelOfNewRecordingLeavesNoGuideAndNoFile)
{
    const QStringList before = screenshotFiles();
    const qsizetype guidesBefore = container->mainContext()->guides().size();
    startRecording();
    xtestClick(target.words.value(QStringLiteral("Cherry")));
    ASSERT_TRUE(test::waitUntil([&] { return service->stepCount() == 1; }, 5000));
    EXPECT_EQ(screenshotFiles().size(), before.size() + 1);
    service->cancelRecording();
    EXPECT_EQ(screenshotFiles(), before);
    EXPECT_EQ(container->mainContext()->guides().size(), guidesBefore);
    EXPECT_TRUE(finished.isEmpty());
    auto reopened = ModelContainer::open(test::testHome() + QStringLiteral("/e2e.sqlite"));
    ASSERT_TRUE(reopened);
    EXPECT_EQ((*reopened)->mainContext()->guides().size(), guidesBefore);
}

} // namespace
