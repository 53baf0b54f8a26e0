#include "export/NarrationScheduler.h"

#include <QPointer>
#include <QTimer>

#include <cmath>
#include <mutex>

namespace zova {

// One synthesis: collects buffers until end of speech or time-out, whichever comes
// first, and hands them on exactly once.
struct NarrationScheduler::Session {
    std::mutex lock;
    QList<speech::PcmBuffer> buffers;
    std::function<void(QList<speech::PcmBuffer>)> resume;

    void append(const speech::PcmBuffer& buffer)
    {
        std::lock_guard guard(lock);
        buffers.append(buffer);
    }
    void timeOut()
    {
        std::function<void(QList<speech::PcmBuffer>)> callback;
        QList<speech::PcmBuffer> copy;
        {
            std::lock_guard guard(lock);
            callback = std::move(resume);
            resume = nullptr;
            copy = buffers;
        }
        if (callback)
            callback(std::move(copy));
    }
};

struct NarrationScheduler::Run {
    QStringList texts;
    speech::SpeechVoice voice;
    int timeoutMs = 0;
    Progress progress;
    Done done;
    QList<StepNarration> results;
    int next = 0;
    int completed = 0;
    int active = 0;
    std::array<QPointer<QTimer>, poolSize> timers;
};

NarrationScheduler::NarrationScheduler(Pool pool, QObject* parent)
    : QObject(parent)
    , m_pool(std::move(pool))
{
}

NarrationScheduler::~NarrationScheduler()
{
    for (auto& synth : m_pool)
        if (synth)
            synth->stop();
}

int NarrationScheduler::timeoutMilliseconds(double seconds)
{
    constexpr double day = 24 * 3600;
    if (!(seconds > 0)) // also NaN
        return 0;
    return int(std::llround(std::min(seconds, day) * 1000));
}

double NarrationScheduler::durationOf(const QList<speech::PcmBuffer>& buffers)
{
    if (buffers.isEmpty() || buffers.first().sampleRate <= 0)
        return 0;
    qint64 frames = 0;
    for (const auto& b : buffers)
        frames += b.frameLength;
    return double(frames) / buffers.first().sampleRate;
}

bool NarrationScheduler::synthesizeAll(
    const QStringList& texts, const speech::SpeechVoice& voice, double timeoutSeconds, Progress progress, Done done)
{
    if (m_run)
        return false;
    if (texts.isEmpty()) {
        QMetaObject::invokeMethod(
            this, [done] { done({}); }, Qt::QueuedConnection);
        return true;
    }
    m_run = std::make_unique<Run>();
    m_run->texts = texts;
    m_run->voice = voice;
    m_run->timeoutMs = timeoutMilliseconds(timeoutSeconds);
    m_run->progress = std::move(progress);
    m_run->done = std::move(done);
    m_run->results.resize(texts.size());
    const int window = std::min<int>(int(texts.size()), poolSize);
    m_run->next = window;
    for (int i = 0; i < window; ++i)
        start(i, i);
    return true;
}

void NarrationScheduler::start(int slot, int index)
{
    Run& run = *m_run;
    ++run.active;
    auto session = std::make_shared<Session>();
    session->resume = [this, slot, index](QList<speech::PcmBuffer> buffers) {
        // May run on the synthesizer's thread; the pool is stopped before this object
        // goes, so `this` is alive here.
        QMetaObject::invokeMethod(
            this,
            [this, slot, index, buffers = std::move(buffers)]() mutable { finished(slot, index, std::move(buffers)); },
            Qt::QueuedConnection);
    };
    // The timer holds the session weakly: a finished session is not kept alive by it.
    auto* timer = new QTimer(this);
    timer->setSingleShot(true);
    std::weak_ptr<Session> weak = session;
    connect(timer, &QTimer::timeout, this, [weak] {
        if (auto s = weak.lock())
            s->timeOut();
    });
    run.timers[size_t(slot)] = timer;
    timer->start(run.timeoutMs);
    m_pool[size_t(slot)]->write(run.texts.at(index), run.voice, [session](const speech::PcmBuffer& buffer) {
        if (buffer.frameLength > 0) {
            if (auto copy = speech::copyPcmBuffer(buffer))
                session->append(*copy);
        } else {
            session->timeOut();
        }
    });
}

void NarrationScheduler::finished(int slot, int index, QList<speech::PcmBuffer> buffers)
{
    if (!m_run)
        return;
    Run& run = *m_run;
    if (QTimer* t = run.timers[size_t(slot)]) {
        t->stop();
        t->deleteLater();
    }
    // Ends a synthesis that timed out; late buffers go to the finished session only.
    m_pool[size_t(slot)]->stop();
    --run.active;
    StepNarration narration;
    narration.duration = durationOf(buffers);
    narration.buffers = std::move(buffers);
    run.results[index] = std::move(narration);
    ++run.completed;
    if (run.progress)
        run.progress(QStringLiteral("Synthesizing narration (") + QString::number(run.completed)
            + QStringLiteral(" of ") + QString::number(run.texts.size()) + QStringLiteral(")\u2026"));
    if (run.next < run.texts.size()) {
        start(slot, run.next++);
        return;
    }
    if (run.active == 0) {
        auto done = std::move(run.done);
        auto results = std::move(run.results);
        m_run.reset();
        if (done)
            done(std::move(results));
    }
}

} // namespace zova
