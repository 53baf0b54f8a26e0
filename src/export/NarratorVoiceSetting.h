#pragma once

#include <QString>

namespace zova {

// The user's narrator voice: an installed voice's identifier under the settings key
// "zovaNarratorVoiceID". A missing key reads as the empty string, which means the
// voice is picked automatically. The Settings window's voice page is the only writer.
struct NarratorVoiceSetting {
    static QString key() { return QStringLiteral("zovaNarratorVoiceID"); }
    static QString read();
    static void write(const QString& identifier);
};

} // namespace zova
