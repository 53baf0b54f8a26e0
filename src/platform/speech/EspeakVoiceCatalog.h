#pragma once

#include "platform/speech/SpeechTypes.h"

namespace zova::speech {

// The voices of espeak-ng-data, read through libespeak-ng at every call. All have
// the default quality; languages are normalised to BCP 47 case.
class EspeakVoiceCatalog : public VoiceCatalog {
public:
    QList<SpeechVoice> installedVoices() const override;
};

} // namespace zova::speech
