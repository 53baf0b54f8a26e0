#include "export/NarratorVoiceSetting.h"

#include <QSettings>

namespace zova {

QString NarratorVoiceSetting::read() { return QSettings().value(key(), QString()).toString(); }

void NarratorVoiceSetting::write(const QString& identifier) { QSettings().setValue(key(), identifier); }

} // namespace zova
