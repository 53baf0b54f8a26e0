#include "CaptureFakes.h"
#include "LogCapture.h"

#include "engine/RecordingService.h"
#include "engine/StepHotspot.h"
#include "model/Guide.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/Step.h"
#include "model/StorageService.h"
#include "support/TestStorage.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cmath>

using namespace zova;
using Phase = RecordingService::Phase;

namespace {

// A grabber that can also hand back an image that cannot be encoded.
class Grabber final : public ScreenGrabber {
public:
    Expected<QImage, CaptureError> captureWindow(const DesktopWindow& window) override
    {
        windowsAsked.append(window);
        if (fail)
            return unexpected(CaptureError::WindowNotCapturable);
        if (nullImage)
            return QImage();
        QImage image(window.frame.size().toSize(), QImage::Format_RGB32);
        image.fill(colours.value(window.windowID, Qt::white));
        return image;
    }
    Expected<QImage, CaptureError> captureDisplay(const DesktopScreen& display, const QList<WindowID>&) override
    {
        ++displaysAsked;
        if (fail)
            return unexpected(CaptureError::CaptureFailed);
        if (nullImage)
            return QImage();
        QImage image(display.width, display.height, QImage::Format_RGB32);
        image.fill(Qt::white);
        return image;
    }
    QList<DesktopWindow> windowsAsked;
    QHash<WindowID, QColor> colours;
    int displaysAsked = 0;
    bool fail = false;
    bool nullImage = false;
};

struct LabelRequest {
    QImage image;
    QPointF pixel;
    std::function<void(std::optional<QString>, bool)> done;
};

constexpr qint32 targetPID = 4242;
const QRectF displayFrame(0, 0, 1000, 800);

DesktopScreen display()
{
    DesktopScreen d;
    d.displayID = 1;
    d.frame = displayFrame;
    d.width = 1000;
    d.height = 800;
    d.isPrimary = true;
    return d;
}

QStringList screenshotFiles()
{
    return QDir(zova::test::storage().screenshotsDirectory()).entryList({ "*.png" }, QDir::Files);
}

// Holds the write lock of the store from a second connection while it lives.
class StoreLock {
public:
    explicit StoreLock(const QString& path)
    {
        sqlite3_open(QFile::encodeName(path).constData(), &m_db);
        locked = sqlite3_exec(m_db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    ~StoreLock()
    {
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(m_db);
    }
    bool locked = false;

private:
    sqlite3* m_db = nullptr;
};

class RecordingFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        static int serial = 0;
        m_path = test::testHome() + QStringLiteral("/store-%1.sqlite").arg(++serial);
        auto opened = ModelContainer::open(m_path);
        ASSERT_TRUE(opened);
        container = std::move(*opened);
        context().setBusyTimeout(20);
        source->content.displays = { display() };
        source->content.windows = { window };
        source->content.applications
            = { ApplicationInfo { targetPID, QStringLiteral("Editor"), QStringLiteral("editor"), true } };
        filesBefore = screenshotFiles();
        make();
    }

    void make(bool defaultOwnWindowTest = false)
    {
        service.reset();
        PlatformBackends backends = fakes.bundle();
        backends.screens = grabber;
        RecordingService::Collaborators c;
        if (!defaultOwnWindowTest)
            c.isPointOnOwnWindow = [this](QPointF p) { return ownWindow.contains(p); };
        c.labelStep = [this](const QImage& image, QPointF pixel, auto done) {
            labels.append({ image, pixel, std::move(done) });
        };
        c.captureDelayMs = 30;
        c.clockIntervalMs = 10;
        service = std::make_unique<RecordingService>(context(), backends, zova::test::storage(), std::move(c));
    }

    ModelContext& context() { return *container->mainContext(); }
    QString storePath() const { return m_path; }

    void click(double x, double y)
    {
        ASSERT_TRUE(service->clicks().onClick()) << "no click handler installed";
        service->clicks().onClick()(ClickTrackingService::ClickEvent { x, y, QDateTime::currentDateTime() });
    }
    void startOnWindow()
    {
        ASSERT_TRUE(service->startRecording(window));
        ASSERT_TRUE(test::waitUntil([&] { return !service->capture().cachedTargetWindows().isEmpty(); }));
    }
    // Lets every capture under way end.
    void settle()
    {
        test::waitUntil([] { return false; }, 150);
    }
    QStringList newFiles() const
    {
        QStringList files = screenshotFiles();
        for (const auto& f : filesBefore)
            files.removeAll(f);
        return files;
    }

    FakeBackends fakes;
    std::shared_ptr<FakeWindowSource> source = fakes.windows;
    std::shared_ptr<Grabber> grabber = std::make_shared<Grabber>();
    QList<qint32>& activated = fakes.windowOperations->activatedProcesses;
    QRectF ownWindow;
    QList<LabelRequest> labels;
    DesktopWindow window = makeWindow(7, QStringLiteral("Mail"), QRectF(100, 100, 400, 300), targetPID);
    std::unique_ptr<ModelContainer> container;
    std::unique_ptr<RecordingService> service;
    QStringList filesBefore;

private:
    QString m_path;
};

// Phase table: every operation in every phase.

enum class Op { Pause, Resume, Stop, Cancel, CancelPicker, StartWindow, StartDisplay, Refresh };

struct PhaseCase {
    Phase from;
    Op op;
    Phase to;
};

class PhaseTable : public RecordingFixture, public ::testing::WithParamInterface<PhaseCase> { };

TEST_P(PhaseTable, OperationLeadsToPhase)
{
    const auto [from, op, to] = GetParam();
    auto apply = [&] {
        switch (op) {
        case Op::Pause: service->pauseRecording(); break;
        case Op::Resume: service->resumeRecording(); break;
        case Op::Stop: service->stopRecording(); break;
        case Op::Cancel: service->cancelRecording(); break;
        case Op::CancelPicker: service->cancelPicker(); break;
        case Op::StartWindow: service->startRecording(window); break;
        case Op::StartDisplay: service->startRecording(display()); break;
        case Op::Refresh: service->refreshWindows(); break;
        }
    };
    std::optional<Phase> seen;
    if (from == Phase::Finishing) {
        service->startRecording(display());
        service->setOnFinished([&](Guide*, bool) {
            apply();
            seen = service->phase();
        });
        service->stopRecording();
    } else {
        if (from != Phase::Idle)
            service->setPhase(Phase::Picking);
        if (from == Phase::Armed || from == Phase::Paused) {
            ASSERT_TRUE(service->startRecording(display()));
        }
        if (from == Phase::Paused)
            service->pauseRecording();
        ASSERT_EQ(service->phase(), from);
        apply();
        seen = service->phase();
    }
    ASSERT_TRUE(seen);
    EXPECT_EQ(*seen, to);
}

// A start while a recording runs is refused; cancelPicker ends the phase whatever runs.
INSTANTIATE_TEST_SUITE_P(Recording, PhaseTable,
    ::testing::Values(PhaseCase { Phase::Idle, Op::Pause, Phase::Idle },
        PhaseCase { Phase::Idle, Op::Resume, Phase::Idle }, PhaseCase { Phase::Idle, Op::Stop, Phase::Idle },
        PhaseCase { Phase::Idle, Op::Cancel, Phase::Idle }, PhaseCase { Phase::Idle, Op::CancelPicker, Phase::Idle },
        PhaseCase { Phase::Idle, Op::StartWindow, Phase::Armed },
        PhaseCase { Phase::Idle, Op::StartDisplay, Phase::Armed }, PhaseCase { Phase::Idle, Op::Refresh, Phase::Idle },
        PhaseCase { Phase::Picking, Op::Pause, Phase::Picking },
        PhaseCase { Phase::Picking, Op::Resume, Phase::Picking },
        PhaseCase { Phase::Picking, Op::Stop, Phase::Picking }, PhaseCase { Phase::Picking, Op::Cancel, Phase::Idle },
        PhaseCase { Phase::Picking, Op::CancelPicker, Phase::Idle },
        PhaseCase { Phase::Picking, Op::StartWindow, Phase::Armed },
        PhaseCase { Phase::Picking, Op::StartDisplay, Phase::Armed },
        PhaseCase { Phase::Picking, Op::Refresh, Phase::Picking }, PhaseCase { Phase::Armed, Op::Pause, Phase::Paused },
        PhaseCase { Phase::Armed, Op::Resume, Phase::Armed }, PhaseCase { Phase::Armed, Op::Stop, Phase::Idle },
        PhaseCase { Phase::Armed, Op::Cancel, Phase::Idle }, PhaseCase { Phase::Armed, Op::CancelPicker, Phase::Idle },
        PhaseCase { Phase::Armed, Op::StartWindow, Phase::Armed },
        PhaseCase { Phase::Armed, Op::StartDisplay, Phase::Armed },
        PhaseCase { Phase::Armed, Op::Refresh, Phase::Armed }, PhaseCase { Phase::Paused, Op::Pause, Phase::Paused },
        PhaseCase { Phase::Paused, Op::Resume, Phase::Armed }, PhaseCase { Phase::Paused, Op::Stop, Phase::Idle },
        PhaseCase { Phase::Paused, Op::Cancel, Phase::Idle },
        PhaseCase { Phase::Paused, Op::CancelPicker, Phase::Idle },
        PhaseCase { Phase::Paused, Op::StartWindow, Phase::Paused },
        PhaseCase { Phase::Paused, Op::StartDisplay, Phase::Paused },
        PhaseCase { Phase::Paused, Op::Refresh, Phase::Paused },
        PhaseCase { Phase::Finishing, Op::Pause, Phase::Finishing },
        PhaseCase { Phase::Finishing, Op::Resume, Phase::Finishing },
        PhaseCase { Phase::Finishing, Op::Stop, Phase::Finishing },
        PhaseCase { Phase::Finishing, Op::StartWindow, Phase::Finishing },
        PhaseCase { Phase::Finishing, Op::StartDisplay, Phase::Finishing },
        PhaseCase { Phase::Finishing, Op::Refresh, Phase::Finishing }));

TEST_F(RecordingFixture, StartWhileRecordingIsRefusedAndLogged)
{
    LogCapture log("zova.engine.recording");
    ASSERT_TRUE(service->startRecording(display()));
    Guide* first = service->currentGuide();
    EXPECT_FALSE(service->startRecording(window));
    service->pauseRecording();
    EXPECT_FALSE(service->startRecording(display()));
    EXPECT_EQ(service->currentGuide(), first);
    EXPECT_EQ(service->targetDisplay(), display()) << "the running recording keeps its target";
    EXPECT_EQ(context().guides().size(), 1);
    EXPECT_EQ(log.lines().filter("Refuse start").size(), 2);
}

TEST_F(RecordingFixture, OnFinishedTellsNewFromAppendedWhileFinishing)
{
    struct Call {
        Guide* guide;
        bool isNew;
        Phase phase;
        Guide* current;
    };
    QList<Call> calls;
    service->setOnFinished([&](Guide* g, bool isNew) {
        calls.append({ g, isNew, service->phase(), service->currentGuide() });
    });
    service->stopRecording();
    EXPECT_TRUE(calls.isEmpty()) << "stop outside a recording calls nothing";

    ASSERT_TRUE(service->startRecording(display()));
    Guide* created = service->currentGuide();
    service->stopRecording();
    auto* existing = new Guide(QStringLiteral("Existing"));
    context().insert(existing);
    service->setAppendTargetGuide(existing);
    ASSERT_TRUE(service->startRecording(window));
    service->pauseRecording();
    service->stopRecording();

    ASSERT_EQ(calls.size(), 2);
    EXPECT_EQ(calls[0].guide, created);
    EXPECT_TRUE(calls[0].isNew);
    EXPECT_EQ(calls[0].phase, Phase::Finishing);
    EXPECT_EQ(calls[0].current, created);
    EXPECT_EQ(calls[1].guide, existing);
    EXPECT_FALSE(calls[1].isNew);
    EXPECT_FALSE(context().hasChanges()) << "stop saves";

    // Everything back at its start except what outlives a recording.
    EXPECT_EQ(service->phase(), Phase::Idle);
    EXPECT_FALSE(service->targetWindow());
    EXPECT_FALSE(service->targetDisplay());
    EXPECT_EQ(service->targetProcessID(), 0);
    EXPECT_EQ(service->currentGuide(), nullptr);
    EXPECT_EQ(service->appendTargetGuide(), nullptr);
    EXPECT_EQ(service->stepCount(), 0);
    EXPECT_EQ(service->elapsed(), 0);
    EXPECT_FALSE(service->clickTrackingActive());
    EXPECT_EQ(service->capture().trackedTargetPID(), 0);
    EXPECT_FALSE(service->clicks().onClick());
    EXPECT_TRUE(service->onFinished());
}

struct TitleCase {
    std::optional<QString> title;
    QString guideTitle;
};

class StartTitles : public RecordingFixture, public ::testing::WithParamInterface<TitleCase> { };

TEST_P(StartTitles, NewGuideIsSavedWithTitleAndPink)
{
    DesktopWindow w = window;
    w.title = GetParam().title;
    ASSERT_TRUE(service->startRecording(w));
    Guide* g = service->currentGuide();
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->title(), GetParam().guideTitle);
    EXPECT_EQ(g->themeHueRaw(), "pink");
    EXPECT_EQ(g->ownerInitials(), "");
    EXPECT_FALSE(context().hasChanges());
    EXPECT_EQ(service->stepCount(), 0);
    EXPECT_EQ(activated, QList<qint32> { targetPID });
    EXPECT_EQ(service->capture().trackedTargetPID(), targetPID);
    EXPECT_EQ(service->phase(), Phase::Armed);
}

INSTANTIATE_TEST_SUITE_P(Recording, StartTitles,
    ::testing::Values(TitleCase { std::nullopt, "Untitled guide" }, TitleCase { QString(""), "" },
        TitleCase { QString("Mail"), "Mail" }));

TEST_F(RecordingFixture, ScreenAndOwnerlessStartsActivateNothing)
{
    ASSERT_TRUE(service->startRecording(display()));
    EXPECT_EQ(service->currentGuide()->title(), "Entire Screen Guide");
    EXPECT_EQ(service->targetProcessID(), 0);
    service->cancelRecording();
    ASSERT_TRUE(service->startRecording(makeWindow(8, QStringLiteral("Bare"), QRectF(0, 0, 50, 50), 0)));
    EXPECT_TRUE(activated.isEmpty());
    EXPECT_EQ(service->capture().trackedTargetPID(), 0);
}

TEST_F(RecordingFixture, AppendStartsAtStepCountAndContinuesAfterTheLargestOrder)
{
    auto* existing = new Guide(QStringLiteral("Existing"));
    context().insert(existing);
    // Three steps whose largest order is the count: the count would repeat it.
    for (int order : { 0, 1, 3 })
        (new Step(order))->setGuide(existing);
    ASSERT_TRUE(context().save());
    service->setAppendTargetGuide(existing);
    service->cancelPicker();
    EXPECT_EQ(service->appendTargetGuide(), existing) << "cancelPicker keeps the append target";
    ASSERT_TRUE(service->startRecording(display()));
    EXPECT_EQ(service->currentGuide(), existing);
    EXPECT_EQ(service->stepCount(), 3);
    EXPECT_EQ(context().guides().size(), 1);
    click(10, 10);
    ASSERT_TRUE(test::waitUntil([&] { return service->stepCount() == 4; }));
    EXPECT_EQ(existing->steps().last()->order(), 4) << "the new step repeats an order";
    click(20, 20);
    ASSERT_TRUE(test::waitUntil([&] { return service->stepCount() == 5; }));
    EXPECT_EQ(existing->steps().last()->order(), 5);
}

TEST_F(RecordingFixture, RefusedTapKeepsRecordingWithItsText)
{
    fakes.clickTaps.setRefuse(true);
    ASSERT_TRUE(service->startRecording(display()));
    EXPECT_EQ(service->phase(), Phase::Armed);
    EXPECT_FALSE(service->clickTrackingActive());
    EXPECT_EQ(service->lastError(),
        ClickTrackingService::startFailureMessage(ClickTrackingService::StartFailure::InputMonitoringNotGranted));
    service->pauseRecording();
    fakes.clickTaps.setRefuse(false);
    service->resumeRecording();
    EXPECT_TRUE(service->clickTrackingActive());
    service->pauseRecording();
    EXPECT_TRUE(service->clickTrackingActive()) << "pause keeps the flag";
}

TEST_F(RecordingFixture, FailedGuideSaveRollsBackAndDoesNotStart)
{
    service->setPhase(Phase::Picking);
    {
        StoreLock lock(storePath());
        ASSERT_TRUE(lock.locked);
        EXPECT_FALSE(service->startRecording(window));
    }
    ASSERT_TRUE(service->lastError());
    EXPECT_TRUE(service->lastError()->startsWith("Could not create guide: ")) << service->lastError()->toStdString();
    EXPECT_EQ(service->phase(), Phase::Picking);
    EXPECT_EQ(service->currentGuide(), nullptr);
    EXPECT_EQ(fakes.clickTaps.created(), 0) << "the tap was not started";
    EXPECT_TRUE(context().guides().isEmpty());
    EXPECT_EQ(service->targetWindow(), window) << "the target stays for another try";
    ASSERT_TRUE(context().save());
    auto reopened = ModelContainer::open(storePath());
    ASSERT_TRUE(reopened);
    EXPECT_TRUE((*reopened)->mainContext()->guides().isEmpty());
    EXPECT_TRUE(service->startRecording(window)) << "a later start works";
}

TEST_F(RecordingFixture, ElapsedRunsOnWhilePausedAndResetsAtStop)
{
    ASSERT_TRUE(service->startRecording(display()));
    service->pauseRecording();
    ASSERT_TRUE(test::waitUntil([&] { return service->elapsed() >= 0.05; }));
    service->stopRecording();
    EXPECT_EQ(service->elapsed(), 0);
}

TEST_F(RecordingFixture, TargetFrameFollowsTheCache)
{
    EXPECT_FALSE(service->targetFrame());
    startOnWindow();
    EXPECT_EQ(service->targetFrame(), window.frame);
    source->content.windows[0].frame = QRectF(300, 300, 400, 300);
    ASSERT_TRUE(test::waitUntil([&] { return service->targetFrame() == QRectF(300, 300, 400, 300); }));
    // Minimised, it leaves the cache but is still there.
    source->content.windows[0].isOnScreen = false;
    ASSERT_TRUE(test::waitUntil([&] { return service->capture().cachedTargetWindows().isEmpty(); }));
    settle();
    EXPECT_EQ(service->targetFrame(), window.frame) << "the listed frame when the cache lost it";
    EXPECT_FALSE(service->targetWindowClosed());
    service->stopRecording();
    ASSERT_TRUE(service->startRecording(display()));
    EXPECT_EQ(service->targetFrame(), displayFrame);
}

TEST_F(RecordingFixture, ClosedTargetLosesItsFrameAndStopKeepsTheSteps)
{
    QSignalSpy closedChanges(service.get(), &RecordingService::targetWindowClosedChanged);
    startOnWindow();
    click(150, 150);
    ASSERT_TRUE(test::waitUntil([&] { return service->stepCount() == 1; }));
    Guide* guide = service->currentGuide();
    qsizetype handedOverSteps = -1;
    service->setOnFinished([&](Guide* finished, bool) { handedOverSteps = finished->steps().size(); });

    // Another window of the process stays; the recorded one closes.
    source->content.windows = { makeWindow(8, QStringLiteral("Other"), QRectF(700, 100, 200, 200), targetPID) };
    ASSERT_TRUE(test::waitUntil([&] { return service->targetWindowClosed(); }));
    EXPECT_EQ(closedChanges.size(), 1);
    EXPECT_FALSE(service->targetFrame()) << "no outline around empty space";
    EXPECT_EQ(service->phase(), Phase::Armed);
    click(150, 150);
    settle();
    EXPECT_EQ(service->stepCount(), 1);
    EXPECT_EQ(service->ignoredClickCount(), 1);

    service->stopRecording();
    ASSERT_TRUE(test::waitUntil([&] { return service->phase() == Phase::Idle; }));
    EXPECT_EQ(handedOverSteps, 1);
    EXPECT_EQ(guide->steps().size(), 1);
    EXPECT_FALSE(service->targetWindowClosed());
    EXPECT_EQ(closedChanges.size(), 2);

    // A screen recording has no window to lose.
    ASSERT_TRUE(service->startRecording(display()));
    source->content.windows.clear();
    settle();
    EXPECT_FALSE(service->targetWindowClosed());
    EXPECT_EQ(service->targetFrame(), displayFrame);
}

TEST_F(RecordingFixture, ClickOnAnOpenMenuIsShotAtOnceWithTheMenu)
{
    // The target's menu hangs over the window's right edge.
    const DesktopWindow menu
        = makeWindow(8, std::nullopt, QRectF(450, 150, 200, 250), targetPID, "Editor", "editor", 101);
    source->content.windows = { menu, window };
    grabber->colours = { { menu.windowID, Qt::yellow } };
    startOnWindow();
    ASSERT_TRUE(test::waitUntil([&] { return service->capture().cachedTargetWindows().size() == 2; }));

    click(600, 200); // on the menu, outside the window
    // The menu closes as the click ends, long before a delayed shot.
    source->content.windows = { window };
    ASSERT_TRUE(test::waitUntil([&] { return service->stepCount() == 1; }));
    const Step* step = service->currentGuide()->orderedSteps().first();
    const QRectF area(100, 100, 550, 300);
    EXPECT_DOUBLE_EQ(step->clickX(), (600 - area.x()) / area.width());
    EXPECT_DOUBLE_EQ(step->clickY(), (200 - area.y()) / area.height());
    const QImage saved = zova::test::storage().loadScreenshot(step->screenshotFilename());
    ASSERT_EQ(saved.size(), area.size().toSize());
    EXPECT_EQ(saved.pixelColor(500, 100), QColor(Qt::yellow)) << "the menu where it was";
    EXPECT_EQ(saved.pixelColor(10, 10), QColor(Qt::white)) << "the window beneath";
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels[0].pixel, QPointF(500, 100)) << "the label is read at the clicked item";

    // A click in the window while the menu is open waits as usual and shows the menu too.
    source->content.windows = { menu, window };
    ASSERT_TRUE(test::waitUntil([&] { return service->capture().cachedTargetWindows().size() == 2; }));
    click(200, 200);
    ASSERT_TRUE(test::waitUntil([&] { return service->stepCount() == 2; }));
    const Step* second = service->currentGuide()->orderedSteps().last();
    EXPECT_DOUBLE_EQ(second->clickX(), 100 / area.width());
    EXPECT_EQ(zova::test::storage().loadScreenshot(second->screenshotFilename()).size(), area.size().toSize());
}

TEST_F(RecordingFixture, RefreshWindowsFillsListsOrReportsFailure)
{
    bool done = false;
    service->refreshWindows([&] { done = true; });
    EXPECT_TRUE(service->isLoadingWindows());
    ASSERT_TRUE(test::waitUntil([&] { return done; }));
    EXPECT_FALSE(service->isLoadingWindows());
    EXPECT_EQ(service->availableDisplays(), QList<DesktopScreen> { display() });
    EXPECT_EQ(service->availableWindows().size(), 1);
    EXPECT_FALSE(service->permissionDenied());
    EXPECT_FALSE(service->lastError());

    source->fail = true;
    done = false;
    service->refreshWindows([&] { done = true; });
    ASSERT_TRUE(test::waitUntil([&] { return done; }));
    EXPECT_TRUE(service->availableDisplays().isEmpty());
    EXPECT_TRUE(service->availableWindows().isEmpty());
    EXPECT_TRUE(service->permissionDenied());
    EXPECT_EQ(service->lastError(), captureErrorMessage(CaptureError::NoDisplay));
    EXPECT_FALSE(service->isLoadingWindows());
}

// Cancel

TEST_F(RecordingFixture, CancelOfNewGuideDeletesGuideStepsAndFiles)
{
    bool finished = false;
    service->setOnFinished([&](Guide*, bool) { finished = true; });
    ASSERT_TRUE(service->startRecording(display()));
    click(10, 10);
    click(20, 20);
    ASSERT_TRUE(test::waitUntil([&] { return service->stepCount() == 2; }));
    EXPECT_EQ(newFiles().size(), 2);
    service->cancelRecording();
    EXPECT_FALSE(finished);
    EXPECT_TRUE(newFiles().isEmpty());
    EXPECT_TRUE(context().guides().isEmpty());
    EXPECT_FALSE(context().hasChanges());
    auto reopened = ModelContainer::open(storePath());
    ASSERT_TRUE(reopened);
    EXPECT_TRUE((*reopened)->mainContext()->guides().isEmpty());
}

TEST_F(RecordingFixture, CancelKeepsFilesWhenTheDeletionCannotBeCommitted)
{
    ASSERT_TRUE(service->startRecording(display()));
    click(10, 10);
    ASSERT_TRUE(test::waitUntil([&] { return service->stepCount() == 1; }));
    {
        StoreLock lock(storePath());
        ASSERT_TRUE(lock.locked);
        service->cancelRecording();
    }
    EXPECT_EQ(newFiles().size(), 1) << "the store still refers to the file";
    EXPECT_EQ(service->phase(), Phase::Idle);
}

TEST_F(RecordingFixture, CancelOfAppendKeepsGuideAndNewSteps)
{
    auto* existing = new Guide(QStringLiteral("Existing"));
    context().insert(existing);
    ASSERT_TRUE(context().save());
    service->setAppendTargetGuide(existing);
    ASSERT_TRUE(service->startRecording(display()));
    click(10, 10);
    ASSERT_TRUE(test::waitUntil([&] { return service->stepCount() == 1; }));
    service->cancelRecording();
    EXPECT_FALSE(existing->isDeleted());
    EXPECT_EQ(existing->steps().size(), 1);
    EXPECT_EQ(newFiles().size(), 1);
    EXPECT_FALSE(context().hasChanges());
    EXPECT_EQ(service->appendTargetGuide(), nullptr);
}

TEST_F(RecordingFixture, CancelWhilePickingOnlyResets)
{
    service->setPhase(Phase::Picking);
    service->cancelRecording();
    EXPECT_EQ(service->phase(), Phase::Idle);
    EXPECT_TRUE(context().guides().isEmpty());
}

// Hotspot

struct HotspotCase {
    QPointF point;
    QRectF reference;
    QPointF raw;
    QPointF clamped;
};

class Hotspots : public ::testing::TestWithParam<HotspotCase> { };

TEST_P(Hotspots, RawAndClamped)
{
    const auto c = GetParam();
    const StepHotspot h = stepHotspot(c.point, c.reference);
    EXPECT_DOUBLE_EQ(h.raw.x(), c.raw.x());
    EXPECT_DOUBLE_EQ(h.raw.y(), c.raw.y());
    EXPECT_DOUBLE_EQ(h.clamped.x(), c.clamped.x());
    EXPECT_DOUBLE_EQ(h.clamped.y(), c.clamped.y());
}

INSTANTIATE_TEST_SUITE_P(Recording, Hotspots,
    ::testing::Values(HotspotCase { { 100, 100 }, { 100, 100, 400, 200 }, { 0, 0 }, { 0, 0 } },
        HotspotCase { { 300, 150 }, { 100, 100, 400, 200 }, { 0.5, 0.25 }, { 0.5, 0.25 } },
        HotspotCase { { 50, 80 }, { 100, 100, 400, 200 }, { -0.125, -0.1 }, { 0, 0 } },
        HotspotCase { { 500, 300 }, { 100, 100, 400, 200 }, { 1, 1 }, { 1, 1 } },
        HotspotCase { { 900, 700 }, { 100, 100, 400, 200 }, { 2, 3 }, { 1, 1 } },
        // Sides under 1 divide by 1.
        HotspotCase { { 100.5, 100.25 }, { 100, 100, 0.5, 0 }, { 0.5, 0.25 }, { 0.5, 0.25 } },
        // A rectangle with negative sides is standardised first.
        HotspotCase { { 300, 150 }, { 500, 300, -400, -200 }, { 0.5, 0.25 }, { 0.5, 0.25 } }));

TEST(HotspotNaN, NotANumberBecomesZero)
{
    const StepHotspot h = stepHotspot({ std::nan(""), 5 }, { 0, 0, 10, 10 });
    EXPECT_EQ(h.clamped, QPointF(0, 0.5));
}

// Click filter

enum class Target { Display, Window };

struct FilterCase {
    const char* name;
    Phase phase;
    Target target;
    QPointF point;
    bool onOwnWindow;
    bool accepted;
    int counted;
    const char* logged;
};

class ClickFilter : public RecordingFixture, public ::testing::WithParamInterface<FilterCase> { };

TEST_P(ClickFilter, DropsOrAccepts)
{
    const auto c = GetParam();
    LogCapture log("zova.engine.recording");
    if (c.target == Target::Display)
        ASSERT_TRUE(service->startRecording(display()));
    else
        startOnWindow();
    // A delivery after the phase left armed.
    const auto handler = service->clicks().onClick();
    if (c.phase == Phase::Paused)
        service->pauseRecording();
    if (c.phase == Phase::Idle)
        service->cancelPicker();
    if (c.onOwnWindow)
        ownWindow = QRectF(c.point - QPointF(5, 5), QSizeF(10, 10));
    ASSERT_TRUE(handler);
    handler(ClickTrackingService::ClickEvent { c.point.x(), c.point.y(), QDateTime::currentDateTime() });
    if (c.accepted)
        test::waitUntil([&] { return service->stepCount() == 1; });
    else
        settle();
    EXPECT_EQ(service->stepCount(), c.accepted ? 1 : 0);
    EXPECT_EQ(service->ignoredClickCount(), c.counted);
    EXPECT_FALSE(log.lines().filter(c.logged).isEmpty()) << log.lines().join('\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Recording, ClickFilter,
    ::testing::Values(FilterCase { "paused", Phase::Paused, Target::Display, { 10, 10 }, false, false, 0,
                          "Drop click: phase=paused" },
        FilterCase { "idle", Phase::Idle, Target::Display, { 10, 10 }, false, false, 0, "Drop click: phase=idle" },
        FilterCase { "ownWindow", Phase::Armed, Target::Display, { 10, 10 }, true, false, 1,
            "Drop click on ZOVA HUD at (10.000000, 10.000000)" },
        FilterCase {
            "displayInside", Phase::Armed, Target::Display, { 500, 400 }, false, true, 0, "Accept click for target" },
        FilterCase { "displayMinEdge", Phase::Armed, Target::Display, { 0, 0 }, false, true, 0, "Accept click" },
        FilterCase { "displayMaxEdge", Phase::Armed, Target::Display, { 1000, 799 }, false, false, 1,
            "Drop click outside target: point=(1000.000000,799.000000)" },
        FilterCase { "windowInside", Phase::Armed, Target::Window, { 150, 150 }, false, true, 0, "Accept click" },
        FilterCase {
            "windowOutside", Phase::Armed, Target::Window, { 600, 150 }, false, false, 1, "Drop click outside target" },
        FilterCase { "windowOwnWins", Phase::Armed, Target::Window, { 150, 150 }, true, false, 1, "ZOVA HUD" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RecordingFixture, DefaultOwnWindowTestSkipsHiddenMinimisedAndClickThrough)
{
    make(true);
    ASSERT_TRUE(service->startRecording(display()));
    QWidget panel;
    panel.setGeometry(100, 100, 100, 100);
    panel.show();
    QWidget outline(nullptr, Qt::WindowTransparentForInput | Qt::FramelessWindowHint);
    outline.setGeometry(300, 100, 100, 100);
    outline.show();
    QWidget minimised;
    minimised.setGeometry(500, 100, 100, 100);
    minimised.showMinimized();
    QWidget hidden;
    hidden.setGeometry(700, 100, 100, 100);
    ASSERT_TRUE(test::waitUntil([&] { return panel.windowHandle() && panel.windowHandle()->isExposed(); }));
    const QPointF inPanel = QRectF(panel.frameGeometry()).center();
    for (QPointF p : { inPanel, QPointF(350, 150), QPointF(550, 150), QPointF(750, 150) })
        click(p.x(), p.y());
    EXPECT_EQ(service->ignoredClickCount(), 1) << "only the panel counts as our own";
    ASSERT_TRUE(test::waitUntil([&] { return service->stepCount() == 3; }));
}

// Step capture

TEST_F(RecordingFixture, ClickTimeRectangleWinsOverMovedWindow)
{
    startOnWindow();
    click(200, 250);
    // The window moves during the wait; the screenshot has the new frame.
    source->content.windows[0].frame = QRectF(600, 500, 400, 300);
    ASSERT_TRUE(test::waitUntil([&] { return service->stepCount() == 1; }));
    Step* step = service->currentGuide()->orderedSteps().first();
    EXPECT_DOUBLE_EQ(step->clickX(), 0.25);
    EXPECT_DOUBLE_EQ(step->clickY(), 0.5);
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels[0].pixel, QPointF(100, 150)) << "click pixel in the cleaned image";
    EXPECT_EQ(labels[0].image.size(), QSize(400, 300));
}

TEST_F(RecordingFixture, LightControlNearTheTopKeepsItsPixels)
{
    // A click on a light menu bar: the pixel is light and the ring samples
    // above and to the left lie outside the image.
    startOnWindow();
    click(120, 110);
    ASSERT_TRUE(test::waitUntil([&] { return service->stepCount() == 1; }));
    const Step* step = service->currentGuide()->orderedSteps().first();
    const QImage saved = zova::test::storage().loadScreenshot(step->screenshotFilename());
    ASSERT_FALSE(saved.isNull());
    ASSERT_EQ(labels.size(), 1);
    for (const QImage& image : { saved, labels[0].image }) {
        for (const QPoint p : { QPoint(20, 10), QPoint(0, 0), QPoint(45, 35) })
            EXPECT_EQ(image.pixelColor(p), QColor(Qt::white)) << p.x() << "," << p.y();
    }
}

TEST_F(RecordingFixture, OverlappingClicksGetConsecutiveOrdersWithFiles)
{
    QSignalSpy captured(service.get(), &RecordingService::stepCaptured);
    ASSERT_TRUE(service->startRecording(display()));
    click(10, 10);
    test::waitUntil([] { return false; }, 5);
    click(900, 700);
    ASSERT_TRUE(test::waitUntil([&] { return service->stepCount() == 2; }));
    const auto steps = service->currentGuide()->orderedSteps();
    ASSERT_EQ(steps.size(), 2);
    EXPECT_EQ(steps[0]->order(), 0);
    EXPECT_EQ(steps[1]->order(), 1);
    EXPECT_DOUBLE_EQ(steps[0]->clickX(), 0.01);
    EXPECT_DOUBLE_EQ(steps[1]->clickX(), 0.9);
    EXPECT_EQ(captured.count(), 2);
    EXPECT_EQ(captured[0][0].toUuid(), steps[0]->id());
    for (const Step* s : steps)
        EXPECT_FALSE(zova::test::storage().loadScreenshot(s->screenshotFilename()).isNull());
    EXPECT_FALSE(context().hasChanges()) << "each step is saved";
}

struct FailureCase {
    const char* name;
    bool grabberFails;
    bool nullImage;
    bool lockStore;
    const char* error;
};

class CaptureFailures : public RecordingFixture, public ::testing::WithParamInterface<FailureCase> { };

TEST_P(CaptureFailures, NoStepNoFileNoCountAndNoGap)
{
    const auto c = GetParam();
    LogCapture log("zova.engine.recording");
    ASSERT_TRUE(service->startRecording(display()));
    grabber->fail = c.grabberFails;
    grabber->nullImage = c.nullImage;
    {
        std::optional<StoreLock> lock;
        if (c.lockStore)
            lock.emplace(storePath());
        click(10, 10);
        ASSERT_TRUE(test::waitUntil([&] { return service->lastError().has_value(); }));
    }
    EXPECT_TRUE(service->lastError()->startsWith(QStringLiteral("Step capture failed: ") + c.error))
        << service->lastError()->toStdString();
    EXPECT_FALSE(log.lines().filter("Step capture FAILED: ").isEmpty());
    EXPECT_EQ(service->stepCount(), 0);
    EXPECT_TRUE(service->currentGuide()->steps().isEmpty());
    EXPECT_TRUE(newFiles().isEmpty());
    EXPECT_TRUE(labels.isEmpty());

    grabber->fail = false;
    grabber->nullImage = false;
    click(10, 10);
    ASSERT_TRUE(test::waitUntil([&] { return service->stepCount() == 1; }));
    EXPECT_EQ(service->currentGuide()->orderedSteps().first()->order(), 0);
}

INSTANTIATE_TEST_SUITE_P(Recording, CaptureFailures,
    ::testing::Values(FailureCase { "screenshot", true, false, false, "The screen capture failed." },
        FailureCase { "png", false, true, false, "The screenshot could not be saved as a PNG file." },
        FailureCase { "store", false, false, true, "The store could not be saved." }),
    [](const auto& info) { return std::string(info.param.name); });

// Labels

struct LabelCase {
    const char* name;
    std::optional<QString> label;
    bool modelAvailable;
    std::optional<QString> stored;
    bool aiGenerated;
};

class Labels : public RecordingFixture, public ::testing::WithParamInterface<LabelCase> { };

TEST_P(Labels, AppliedToTheStepById)
{
    const auto c = GetParam();
    ASSERT_TRUE(service->startRecording(display()));
    click(10, 10);
    ASSERT_TRUE(test::waitUntil([&] { return labels.size() == 1; }));
    Guide* guide = service->currentGuide();
    labels[0].done(c.label, c.modelAvailable);
    Step* step = guide->steps().first();
    EXPECT_EQ(step->ocrLabel(), c.stored);
    EXPECT_EQ(guide->aiGenerated(), c.aiGenerated);
    EXPECT_FALSE(context().hasChanges());
}

INSTANTIATE_TEST_SUITE_P(Recording, Labels,
    ::testing::Values(LabelCase { "tidied", QString("Click ‘Send’"), true, QString("Click ‘Send’"), true },
        LabelCase { "noModel", QString("Click ‘send_btn’"), false, QString("Click ‘send_btn’"), false },
        LabelCase { "nothing", std::nullopt, true, std::nullopt, false }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RecordingFixture, LabelForDeletedStepOrGoneServiceIsDropped)
{
    ASSERT_TRUE(service->startRecording(display()));
    click(10, 10);
    ASSERT_TRUE(test::waitUntil([&] { return labels.size() == 1; }));
    service->cancelRecording();
    labels[0].done(QString("Click ‘Late’"), true);
    EXPECT_FALSE(context().hasChanges());

    ASSERT_TRUE(service->startRecording(display()));
    click(10, 10);
    ASSERT_TRUE(test::waitUntil([&] { return labels.size() == 2; }));
    Step* step = service->currentGuide()->steps().first();
    service.reset();
    labels[1].done(QString("Click ‘Late’"), true);
    EXPECT_FALSE(step->ocrLabel());
}

// Late captures

enum class Ending { Cancel, CancelAppend };

class LateCapture : public RecordingFixture, public ::testing::WithParamInterface<Ending> { };

TEST_P(LateCapture, ClickBeforeCancelMakesNoStepAfterIt)
{
    Guide* existing = nullptr;
    if (GetParam() == Ending::CancelAppend) {
        existing = new Guide(QStringLiteral("Existing"));
        context().insert(existing);
        ASSERT_TRUE(context().save());
        service->setAppendTargetGuide(existing);
    }
    startOnWindow();
    Guide* guide = service->currentGuide();
    click(150, 150); // the window lookup finds the window, so the capture has a target
    service->cancelRecording();
    settle();
    EXPECT_TRUE(grabber->windowsAsked.isEmpty());
    if (GetParam() == Ending::CancelAppend)
        EXPECT_TRUE(guide->steps().isEmpty());
    else
        EXPECT_TRUE(context().guides().isEmpty());
    EXPECT_TRUE(newFiles().isEmpty());
    EXPECT_EQ(service->stepCount(), 0);
    EXPECT_FALSE(context().hasChanges());
}

INSTANTIATE_TEST_SUITE_P(Recording, LateCapture, ::testing::Values(Ending::Cancel, Ending::CancelAppend));

TEST_F(RecordingFixture, ClicksJustBeforeStopBecomeStepsBeforeTheHandOver)
{
    startOnWindow();
    Guide* guide = service->currentGuide();
    int handedOver = 0;
    qsizetype stepsAtHandOver = -1;
    service->setOnFinished([&](Guide* finished, bool) {
        ++handedOver;
        stepsAtHandOver = finished->steps().size();
    });
    click(150, 150);
    click(300, 200);
    service->stopRecording();
    EXPECT_EQ(service->phase(), Phase::Finishing);
    EXPECT_FALSE(service->startRecording(window)) << "no new recording while the last one finishes";
    EXPECT_EQ(handedOver, 0);
    ASSERT_TRUE(test::waitUntil([&] { return service->phase() == Phase::Idle; }));
    EXPECT_EQ(handedOver, 1);
    EXPECT_EQ(stepsAtHandOver, 2);
    const auto steps = guide->orderedSteps();
    ASSERT_EQ(steps.size(), 2);
    EXPECT_DOUBLE_EQ(steps[1]->clickX(), 0.5);
    for (const Step* s : steps)
        EXPECT_FALSE(zova::test::storage().loadScreenshot(s->screenshotFilename()).isNull());
    EXPECT_FALSE(context().hasChanges());

    // A cancel while Stop waits drops the captures as before.
    ASSERT_TRUE(service->startRecording(display()));
    Guide* second = service->currentGuide();
    const QUuid secondID = second->id();
    click(10, 10);
    service->stopRecording();
    service->cancelRecording();
    settle();
    EXPECT_EQ(handedOver, 1);
    EXPECT_EQ(service->phase(), Phase::Idle);
    EXPECT_FALSE(context().guide(secondID));
    EXPECT_EQ(newFiles().size(), 2);
}

TEST_F(RecordingFixture, ClickPausedDuringItsWaitIsStillCaptured)
{
    ASSERT_TRUE(service->startRecording(display()));
    click(10, 10);
    service->pauseRecording();
    ASSERT_TRUE(test::waitUntil([&] { return service->stepCount() == 1; }));
}

} // namespace
