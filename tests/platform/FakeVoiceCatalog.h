#pragma once

#include "platform/speech/SpeechTypes.h"

#include <QList>

// A catalogue of voices that the test sets, and may change between reads.
class FakeVoiceCatalog : public zova::speech::VoiceCatalog {
public:
    explicit FakeVoiceCatalog(QList<zova::speech::SpeechVoice> voices)
        : m_voices(std::move(voices))
    {
    }
    QList<zova::speech::SpeechVoice> installedVoices() const override { return m_voices; }
    QList<zova::speech::SpeechVoice> m_voices;
};
