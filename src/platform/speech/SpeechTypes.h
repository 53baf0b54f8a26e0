#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace zova::speech {

// One installed speech voice.
struct SpeechVoice {
    enum Quality { Default = 1, Enhanced = 2, Premium = 3 };

    QString identifier; // e.g. "gmw/en-US"
    QString name; // e.g. "English (America)"
    QString language; // BCP 47, e.g. "en-US"
    int quality = Default;

    bool operator==(const SpeechVoice&) const = default;
};

// A block of interleaved PCM samples. A block with frameLength 0 marks the end of speech.
struct PcmBuffer {
    enum class SampleFormat { Int16, Float32 };

    int sampleRate = 0;
    int channels = 1;
    SampleFormat format = SampleFormat::Int16;
    qint64 frameLength = 0;
    QByteArray data; // frameLength * channels samples

    static int bytesPerSample(SampleFormat f) { return f == SampleFormat::Int16 ? 2 : 4; }
    // The samples of channel c as floats in -1..1.
    float sample(qint64 frame, int channel) const;
};

// An independent copy of the buffer; no value when its size does not match its frame length.
std::optional<PcmBuffer> copyPcmBuffer(const PcmBuffer& source);

// The list of installed voices.
class VoiceCatalog {
public:
    virtual ~VoiceCatalog() = default;
    virtual QList<SpeechVoice> installedVoices() const = 0;
    // The installed voice of that identifier.
    virtual std::optional<SpeechVoice> voice(const QString& identifier) const;
};

// One synthesizer: speaks one text at a time into PCM buffers.
class SpeechSynthesizer {
public:
    // Called with each block of speech and finally with an empty block; may be called
    // on any thread, never after stop() returned.
    using BufferHandler = std::function<void(const PcmBuffer&)>;

    virtual ~SpeechSynthesizer() = default;
    // Starts speaking; a text still being spoken is stopped first.
    virtual void write(const QString& text, const SpeechVoice& voice, BufferHandler handler) = 0;
    // Abandons the current text at once.
    virtual void stop() = 0;
};

} // namespace zova::speech
