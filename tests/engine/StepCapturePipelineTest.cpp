#include "engine/StepCapturePipeline.h"
#include "support/TestSupport.h"

#include <QSemaphore>
#include <QSignalSpy>
#include <QTimer>

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <vector>

using namespace zova;

namespace {

// Shot i is an image i + 1 pixels wide; its write waits until the test releases it.
// Wait gives work that should not happen time to happen; Expect waits for what should.
QImage shotImage(int i) { return QImage(i + 1, 1, QImage::Format_RGB32); }
int shotIndex(const QImage& image) { return image.width() - 1; }
QString fileOf(int i) { return QStringLiteral("shot-%1.png").arg(i); }

enum class Op { Push, PushFailing, Schedule, ScheduleFailing, Release, Restart, Wait, Expect, Destroy };

struct Action {
    Op op;
    int shot = -1;
    std::vector<int> delivered = {}; // Expect: the shots handed back so far, in order
    std::vector<int> removed = {}; // Expect: the shots whose files were deleted
    bool busy = false; // Expect
    int taken = -1; // Expect, when not negative: how many scheduled shots were taken
};

struct Case {
    const char* name;
    std::vector<Action> steps;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class Pipeline : public ::testing::TestWithParam<Case> {
protected:
    void make()
    {
        StepCapturePipeline::Store store {
            [this](const QImage& image) -> Expected<QString, StorageError> {
                const int i = shotIndex(image);
                gates[size_t(i)].acquire();
                if (failing[size_t(i)])
                    return unexpected(StorageError {});
                return fileOf(i);
            },
            [this](const QString& filename) { removed.push_back(filename); },
        };
        pipeline = std::make_unique<StepCapturePipeline>(std::move(store), [this](StepCapturePipeline::Saved saved) {
            delivered.push_back(shotIndex(saved.shot.image));
            EXPECT_EQ(saved.filename, saved.error ? QString() : fileOf(delivered.back()));
        });
    }
    static StepCapturePipeline::Shot shot(int i) { return { {}, QPointF(0.5, 0.5), shotImage(i), QPointF() }; }

    std::array<QSemaphore, 4> gates;
    std::array<bool, 4> failing {};
    std::unique_ptr<StepCapturePipeline> pipeline;
    std::vector<int> delivered;
    std::vector<QString> removed;
    int taken = 0;
};

TEST_P(Pipeline, HandsBackInOrderAndDropsWhatARestartLeft)
{
    make();
    for (const Action& s : GetParam().steps) {
        switch (s.op) {
        case Op::PushFailing: failing[size_t(s.shot)] = true; [[fallthrough]];
        case Op::Push: pipeline->push(shot(s.shot)); break;
        case Op::Schedule:
            pipeline->schedule(10, [this, i = s.shot]() -> std::optional<StepCapturePipeline::Shot> {
                ++taken;
                return shot(i);
            });
            break;
        case Op::ScheduleFailing:
            pipeline->schedule(10, [this]() -> std::optional<StepCapturePipeline::Shot> {
                ++taken;
                return std::nullopt;
            });
            break;
        case Op::Release: gates[size_t(s.shot)].release(); break;
        case Op::Restart: pipeline->restart(); break;
        case Op::Wait: test::waitUntil([] { return false; }, 80); break;
        case Op::Destroy: pipeline.reset(); break;
        case Op::Expect: {
            std::vector<QString> files;
            for (int i : s.removed)
                files.push_back(fileOf(i));
            // A loaded machine may be slow to hand back what the case expects.
            test::waitUntil([&] {
                return delivered == s.delivered && removed == files && (!pipeline || pipeline->isBusy() == s.busy)
                    && (s.taken < 0 || taken == s.taken);
            });
            EXPECT_EQ(delivered, s.delivered);
            EXPECT_EQ(removed, files);
            if (pipeline) {
                EXPECT_EQ(pipeline->isBusy(), s.busy);
            }
            if (s.taken >= 0) {
                EXPECT_EQ(taken, s.taken);
            }
            break;
        }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(StepCapture, Pipeline,
    ::testing::Values(
        // The second write ends first; its shot still comes back second.
        Case { "inOrder",
            { { Op::Push, 0 }, { Op::Push, 1 }, { Op::Release, 1 }, { Op::Wait }, { Op::Expect, -1, {}, {}, true },
                { Op::Release, 0 }, { Op::Wait }, { Op::Expect, -1, { 0, 1 }, {}, false } } },
        Case { "scheduled",
            { { Op::Schedule, 0 }, { Op::Expect, -1, {}, {}, true }, { Op::Release, 0 }, { Op::Wait },
                { Op::Expect, -1, { 0 }, {}, false, 1 } } },
        // What a stop waits for: shots taken, their writes not yet done.
        Case { "stopWaitsForPendingSaves",
            { { Op::Schedule, 0 }, { Op::Schedule, 1 }, { Op::Wait }, { Op::Expect, -1, {}, {}, true, 2 },
                { Op::Release, 1 }, { Op::Wait }, { Op::Expect, -1, {}, {}, true }, { Op::Release, 0 }, { Op::Wait },
                { Op::Expect, -1, { 0, 1 }, {}, false } } },
        Case { "shotNotTaken", { { Op::ScheduleFailing }, { Op::Wait }, { Op::Expect, -1, {}, {}, false, 1 } } },
        Case { "writeFails",
            { { Op::PushFailing, 0 }, { Op::Push, 1 }, { Op::Release, 0 }, { Op::Release, 1 }, { Op::Wait },
                { Op::Expect, -1, { 0, 1 }, {}, false } } },
        Case { "restartBeforeTheShot",
            { { Op::Schedule, 0 }, { Op::Restart }, { Op::Expect, -1, {}, {}, false }, { Op::Release, 0 }, { Op::Wait },
                { Op::Expect, -1, {}, {}, false, 0 } } },
        Case { "restartWhileWriting",
            { { Op::Push, 0 }, { Op::Restart }, { Op::Expect, -1, {}, {}, false }, { Op::Release, 0 }, { Op::Wait },
                { Op::Expect, -1, {}, { 0 }, false } } },
        // A shot of the new run waits behind one of the old run, which is dropped.
        Case { "newRunBehindOldShot",
            { { Op::Push, 0 }, { Op::Restart }, { Op::Push, 1 }, { Op::Release, 1 }, { Op::Wait },
                { Op::Expect, -1, {}, {}, true }, { Op::Release, 0 }, { Op::Wait },
                { Op::Expect, -1, { 1 }, { 0 }, false } } },
        // Written but not yet handed back when the pipeline goes: no file stays.
        Case { "destroyedBeforeHandBack",
            { { Op::Push, 0 }, { Op::Push, 1 }, { Op::Release, 0 }, { Op::Release, 1 }, { Op::Destroy },
                { Op::Expect, -1, {}, { 0, 1 }, false } } }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StepCapturePipeline, ShotIsTakenOnceAfterItsDelayAndSettles)
{
    std::vector<QString> removed;
    int delivered = 0;
    StepCapturePipeline pipeline(
        { [](const QImage&) -> Expected<QString, StorageError> { return QStringLiteral("a.png"); },
            [&](const QString& f) { removed.push_back(f); } },
        [&](StepCapturePipeline::Saved) { ++delivered; });
    QSignalSpy settled(&pipeline, &StepCapturePipeline::settled);
    // Timers started beside the delay fall due before and after it: the shot is
    // taken between them, whatever the machine's speed.
    QStringList events;
    QTimer::singleShot(30, Qt::PreciseTimer, [&] { events << "30 ms"; });
    int takes = 0;
    pipeline.schedule(60, [&]() -> std::optional<StepCapturePipeline::Shot> {
        events << "shot";
        ++takes;
        return StepCapturePipeline::Shot { {}, {}, QImage(4, 4, QImage::Format_RGB32), {} };
    });
    QTimer::singleShot(90, Qt::PreciseTimer, [&] { events << "90 ms"; });
    EXPECT_TRUE(pipeline.isBusy());
    ASSERT_TRUE(test::waitUntil([&] { return delivered == 1 && events.size() == 3; }));
    EXPECT_EQ(takes, 1);
    EXPECT_EQ(events, (QStringList { "30 ms", "shot", "90 ms" }));
    EXPECT_FALSE(pipeline.isBusy());
    EXPECT_EQ(settled.count(), 2) << "once for the shot, once for its hand-back";
    EXPECT_TRUE(removed.empty()) << "a delivered file belongs to the receiver";
}

// A shot dropped by a restart, or one whose taking restarted the run, leaves
// the count of the new run alone.
TEST(StepCapturePipeline, WaitingCountBelongsToTheCurrentRun)
{
    int delivered = 0;
    StepCapturePipeline pipeline(
        { [](const QImage&) -> Expected<QString, StorageError> { return QStringLiteral("a.png"); },
            [](const QString&) {} },
        [&](StepCapturePipeline::Saved) { ++delivered; });
    const auto someShot = [] {
        return std::optional(StepCapturePipeline::Shot { {}, {}, QImage(4, 4, QImage::Format_RGB32), {} });
    };

    pipeline.schedule(0, someShot);
    pipeline.schedule(0, someShot);
    EXPECT_EQ(pipeline.waitingCount(), 2);
    pipeline.restart();
    EXPECT_EQ(pipeline.waitingCount(), 0);
    EXPECT_FALSE(pipeline.isBusy());
    pipeline.schedule(10000, someShot);
    test::waitUntil([] { return false; }, 50);
    EXPECT_EQ(pipeline.waitingCount(), 1) << "the dropped shots are not counted off the new run";
    EXPECT_TRUE(pipeline.isBusy());

    pipeline.restart();
    pipeline.schedule(0, [&] {
        pipeline.restart();
        pipeline.schedule(10000, someShot);
        return someShot();
    });
    test::waitUntil([] { return false; }, 50);
    EXPECT_EQ(pipeline.waitingCount(), 1);
    EXPECT_EQ(delivered, 0) << "a shot whose run ended while it was taken is dropped";
}

} // namespace
