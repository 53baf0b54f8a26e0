#include "FakeSynthesizer.h"

#include "export/NarrationScheduler.h"
#include "platform/speech/EspeakProcessSynthesizer.h"
#include "platform/speech/EspeakVoiceCatalog.h"
#include "support/TestSupport.h"

#include <QThread>

#include <cmath>
#include <gtest/gtest.h>
#include <thread>

using namespace zova;
using speech::PcmBuffer;

namespace {

struct Harness {
    std::vector<QString> log;
    std::array<FakeSynthesizer*, 3> synths {};
    std::unique_ptr<NarrationScheduler> scheduler;
    QStringList progress;
    std::optional<QList<StepNarration>> result;
    int doneCalls = 0;

    Harness()
    {
        NarrationScheduler::Pool pool;
        for (int i = 0; i < 3; ++i) {
            auto s = std::make_unique<FakeSynthesizer>(&log, i);
            synths[size_t(i)] = s.get();
            pool[size_t(i)] = std::move(s);
        }
        scheduler = std::make_unique<NarrationScheduler>(std::move(pool));
    }
    void run(const QStringList& texts, double timeout = 30)
    {
        ASSERT_TRUE(scheduler->synthesizeAll(
            texts, {}, timeout, [this](const QString& p) { progress << p; },
            [this](QList<StepNarration> r) {
                ++doneCalls;
                result = std::move(r);
            }));
    }
    void speak(int slot, double seconds)
    {
        auto h = synths[size_t(slot)]->current.handler;
        ASSERT_TRUE(h);
        if (seconds > 0)
            h(FakeSynthesizer::tone(seconds));
        h(PcmBuffer { 22050, 1, PcmBuffer::SampleFormat::Int16, 0, {} });
        QCoreApplication::processEvents();
    }
};

} // namespace

TEST(NarrationSchedulerTest, ThreeAtOnceNextOnFreedSynthesizerResultsInTextOrder)
{
    Harness h;
    h.run({ "a", "b", "c", "d", "e" });
    EXPECT_EQ(h.log, (std::vector<QString> { "0:a", "1:b", "2:c" }));
    h.speak(1, 0.5); // b finishes first: d goes to synthesizer 1
    EXPECT_EQ(h.log.back(), QStringLiteral("1:d"));
    h.speak(1, 1.0); // d
    EXPECT_EQ(h.log.back(), QStringLiteral("1:e"));
    h.speak(0, 1.5); // a
    h.speak(2, 0); // c: end of speech before any audio
    EXPECT_FALSE(h.result);
    h.speak(1, 2.0); // e
    ASSERT_TRUE(zova::test::waitUntil([&] { return h.result.has_value(); }));
    EXPECT_EQ(h.doneCalls, 1);
    EXPECT_EQ(h.log.size(), 5u);
    const double expected[] = { 1.5, 0.5, 0, 1.0, 2.0 };
    ASSERT_EQ(h.result->size(), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_NEAR(h.result->at(i).duration, expected[i], 1e-4) << i;
    EXPECT_TRUE(h.result->at(2).buffers.isEmpty());
    QStringList want;
    for (int k = 1; k <= 5; ++k)
        want << QStringLiteral("Synthesizing narration (%1 of 5)\u2026").arg(k);
    EXPECT_EQ(h.progress, want);
}

TEST(NarrationSchedulerTest, TimeOutKeepsWhatArrivedAndLateEndChangesNothing)
{
    Harness h;
    h.run({ "slow" }, 0.05);
    auto handler = h.synths[0]->current.handler;
    handler(FakeSynthesizer::tone(0.25));
    ASSERT_TRUE(zova::test::waitUntil([&] { return h.result.has_value(); }));
    EXPECT_FALSE(h.synths[0]->busy) << "a timed-out synthesis is stopped";
    // Late audio and a late end of speech, from another thread, are ignored.
    std::thread late([&] {
        handler(FakeSynthesizer::tone(1.0));
        handler(PcmBuffer { 22050, 1, PcmBuffer::SampleFormat::Int16, 0, {} });
    });
    late.join();
    QCoreApplication::processEvents();
    QThread::msleep(20);
    QCoreApplication::processEvents();
    EXPECT_EQ(h.doneCalls, 1);
    EXPECT_NEAR(h.result->at(0).duration, 0.25, 1e-4);
    EXPECT_EQ(h.progress, QStringList { QStringLiteral("Synthesizing narration (1 of 1)\u2026") });
}

TEST(NarrationSchedulerTest, EndOfSpeechRacingTheTimerResumesOnce)
{
    for (int round = 0; round < 20; ++round) {
        Harness h;
        h.run({ "x", "y" }, 0.001);
        auto a = h.synths[0]->current.handler;
        auto b = h.synths[1]->current.handler;
        std::thread t([&] {
            a(PcmBuffer { 22050, 1, PcmBuffer::SampleFormat::Int16, 0, {} });
            b(PcmBuffer { 22050, 1, PcmBuffer::SampleFormat::Int16, 0, {} });
        });
        ASSERT_TRUE(zova::test::waitUntil([&] { return h.result.has_value(); }));
        t.join();
        QThread::msleep(2);
        QCoreApplication::processEvents();
        EXPECT_EQ(h.doneCalls, 1);
        EXPECT_EQ(h.progress.size(), 2);
    }
}

TEST(NarrationSchedulerTest, NoTextsAndOddTimeouts)
{
    Harness h;
    h.run({});
    ASSERT_TRUE(zova::test::waitUntil([&] { return h.result.has_value(); }));
    EXPECT_TRUE(h.result->isEmpty());
    EXPECT_TRUE(h.progress.isEmpty());
    EXPECT_TRUE(h.log.empty());

    EXPECT_EQ(NarrationScheduler::timeoutMilliseconds(30), 30000);
    EXPECT_EQ(NarrationScheduler::timeoutMilliseconds(-1), 0);
    EXPECT_EQ(NarrationScheduler::timeoutMilliseconds(std::nan("")), 0);
    EXPECT_EQ(NarrationScheduler::timeoutMilliseconds(1e300), 24 * 3600 * 1000);
    PcmBuffer a = FakeSynthesizer::tone(1.0), b = FakeSynthesizer::tone(0.5);
    EXPECT_DOUBLE_EQ(NarrationScheduler::durationOf({ a, b }), 1.5);
    EXPECT_EQ(NarrationScheduler::durationOf({}), 0);
}

TEST(NarrationSchedulerTest, EspeakSynthesizesThreeAtOnce)
{
    NarrationScheduler::Pool pool;
    for (auto& s : pool)
        s = std::make_unique<speech::EspeakProcessSynthesizer>();
    NarrationScheduler scheduler(std::move(pool));
    const auto voice = speech::EspeakVoiceCatalog().voice(QStringLiteral("gmw/en-US"));
    ASSERT_TRUE(voice.has_value());
    std::optional<QList<StepNarration>> result;
    scheduler.synthesizeAll({ "Click the Save button.", "Open the File menu.", "", "-v --help" }, *voice, 30, {},
        [&](QList<StepNarration> r) { result = std::move(r); });
    ASSERT_TRUE(zova::test::waitUntil([&] { return result.has_value(); }, 30000));
    ASSERT_EQ(result->size(), 4);
    EXPECT_GT(result->at(0).duration, 0.5);
    EXPECT_GT(result->at(1).duration, 0.5);
    EXPECT_LT(result->at(2).duration, 0.3);
    EXPECT_GT(result->at(3).duration, 0.3) << "text is spoken, never read as options";
    EXPECT_EQ(result->at(0).buffers.first().sampleRate, 22050);

    // A zero time-out kills the process: nothing, at once.
    result.reset();
    scheduler.synthesizeAll({ "A long sentence that takes a while to say." }, *voice, 0, {},
        [&](QList<StepNarration> r) { result = std::move(r); });
    ASSERT_TRUE(zova::test::waitUntil([&] { return result.has_value(); }, 5000));
    EXPECT_LT(result->at(0).duration, 1.0);
}
