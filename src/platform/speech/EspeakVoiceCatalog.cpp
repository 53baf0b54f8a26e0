#include "platform/speech/EspeakVoiceCatalog.h"

#include "platform/Platform.h"
#include "platform/speech/LanguageTag.h"

#include <espeak-ng/speak_lib.h>

#include <mutex>

namespace zova::speech {

namespace {

// libespeak-ng keeps one global engine per process and is not re-entrant.
std::mutex& engineMutex()
{
    static std::mutex m;
    return m;
}

bool ensureEngine()
{
    static const bool ready = [] {
        const int rate = espeak_Initialize(AUDIO_OUTPUT_RETRIEVAL, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
        if (rate <= 0)
            qCWarning(lcPlatform) << "espeak-ng could not start; no voices";
        return rate > 0;
    }();
    return ready;
}

} // namespace

QList<SpeechVoice> EspeakVoiceCatalog::installedVoices() const
{
    std::lock_guard lock(engineMutex());
    QList<SpeechVoice> result;
    if (!ensureEngine())
        return result;
    const espeak_VOICE** voices = espeak_ListVoices(nullptr);
    for (int i = 0; voices && voices[i]; ++i) {
        const espeak_VOICE* v = voices[i];
        if (!v->identifier || !v->languages || !v->languages[0])
            continue;
        SpeechVoice voice;
        voice.identifier = QString::fromUtf8(v->identifier);
        voice.name = QString::fromUtf8(v->name ? v->name : v->identifier).replace(QLatin1Char('_'), QLatin1Char(' '));
        // languages: pairs of a priority byte and a language string; the first is the voice's own.
        voice.language = normalizedLanguageTag(QString::fromUtf8(v->languages + 1));
        voice.quality = SpeechVoice::Default;
        result.append(voice);
    }
    return result;
}

} // namespace zova::speech
