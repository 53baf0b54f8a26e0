#pragma once

#include "platform/speech/SpeechTypes.h"

#include <QString>

#include <functional>
#include <vector>

// A synthesizer driven by the test: it records each text and hands out its handler.
// With `autoSeconds` set, it speaks at once a 440 Hz tone of the length that the
// text names ("1.5" -> 1.5 s, anything else -> nothing).
class FakeSynthesizer : public zova::speech::SpeechSynthesizer {
public:
    struct Call {
        QString text;
        BufferHandler handler;
    };
    explicit FakeSynthesizer(std::vector<QString>* log = nullptr, int id = 0, bool autoSpeak = false)
        : m_log(log)
        , m_id(id)
        , m_auto(autoSpeak)
    {
    }

    void write(const QString& text, const zova::speech::SpeechVoice&, BufferHandler handler) override
    {
        ++writes;
        busy = true;
        if (m_log)
            m_log->push_back(QString::number(m_id) + QLatin1Char(':') + text);
        current = { text, handler };
        if (m_auto) {
            bool ok = false;
            const double seconds = text.toDouble(&ok);
            if (ok && seconds > 0)
                handler(tone(seconds));
            handler(zova::speech::PcmBuffer { 22050, 1, zova::speech::PcmBuffer::SampleFormat::Int16, 0, {} });
        }
    }
    void stop() override
    {
        busy = false;
        current = {};
    }

    static zova::speech::PcmBuffer tone(double seconds, int rate = 22050)
    {
        zova::speech::PcmBuffer b;
        b.sampleRate = rate;
        b.frameLength = qint64(seconds * rate);
        b.data.resize(b.frameLength * 2);
        auto* s = reinterpret_cast<qint16*>(b.data.data());
        for (qint64 i = 0; i < b.frameLength; ++i)
            s[i] = qint16(12000 * std::sin(2 * M_PI * 440 * double(i) / rate));
        return b;
    }

    Call current;
    int writes = 0;
    bool busy = false;

private:
    std::vector<QString>* m_log;
    int m_id;
    bool m_auto;
};
