#pragma once

#include "platform/speech/SpeechTypes.h"

#include <QList>
#include <QObject>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>

namespace zova {

// The spoken narration of one step: its PCM buffers in delivery order and its length.
struct StepNarration {
    QList<speech::PcmBuffer> buffers;
    double duration = 0; // seconds
};

// Synthesizes one narration per text on a pool of three synthesizers: at most three
// at once, the next text on the synthesizer that just became free, each bounded by
// the time-out, results in text order. Never fails: a text that yields no audio has
// an empty narration. GUI thread; the synthesizers may deliver on any thread.
class NarrationScheduler : public QObject {
public:
    static constexpr int poolSize = 3;
    using Pool = std::array<std::unique_ptr<speech::SpeechSynthesizer>, poolSize>;
    using Progress = std::function<void(const QString&)>;
    using Done = std::function<void(QList<StepNarration>)>;

    explicit NarrationScheduler(Pool pool, QObject* parent = nullptr);
    // Stops every synthesizer; a run still going never calls its done callback.
    ~NarrationScheduler() override;

    // Calls progress with "Synthesizing narration (k of n)…" as each text finishes
    // and done with exactly one narration per text, at the text's position. One run
    // at a time: a run started while another is going is refused (false).
    bool synthesizeAll(const QStringList& texts, const speech::SpeechVoice& voice, double timeoutSeconds,
        Progress progress, Done done);
    bool isRunning() const { return m_run != nullptr; }

    // The time-out that reaches the timer: NaN and negative values become 0, values
    // above a day become a day.
    static int timeoutMilliseconds(double seconds);
    // Frames of all buffers divided by the first buffer's sample rate; 0 without buffers.
    static double durationOf(const QList<speech::PcmBuffer>& buffers);

private:
    struct Run;
    struct Session;
    void start(int slot, int index);
    void finished(int slot, int index, QList<speech::PcmBuffer> buffers);

    Pool m_pool;
    std::unique_ptr<Run> m_run;
};

} // namespace zova
