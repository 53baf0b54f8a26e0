#include "platform/speech/SpeechTypes.h"

#include <cstring>

namespace zova::speech {

float PcmBuffer::sample(qint64 frame, int channel) const
{
    const qint64 index = frame * channels + channel;
    if (format == SampleFormat::Int16) {
        qint16 v;
        std::memcpy(&v, data.constData() + index * 2, 2);
        return float(v) / 32768.0f;
    }
    float v;
    std::memcpy(&v, data.constData() + index * 4, 4);
    return v;
}

std::optional<PcmBuffer> copyPcmBuffer(const PcmBuffer& source)
{
    if (source.channels < 1 || source.frameLength < 0
        || source.data.size() < source.frameLength * source.channels * PcmBuffer::bytesPerSample(source.format))
        return std::nullopt;
    PcmBuffer copy = source;
    copy.data = QByteArray(
        source.data.constData(), source.frameLength * source.channels * PcmBuffer::bytesPerSample(source.format));
    return copy;
}

std::optional<SpeechVoice> VoiceCatalog::voice(const QString& identifier) const
{
    for (const SpeechVoice& v : installedVoices())
        if (v.identifier == identifier)
            return v;
    return std::nullopt;
}

} // namespace zova::speech
