#include "platform/speech/LanguageTag.h"

#include <QStringList>

namespace zova::speech {

QString normalizedLanguageTag(const QString& tag)
{
    QStringList parts = tag.trimmed().replace(QLatin1Char('_'), QLatin1Char('-')).split(QLatin1Char('-'));
    bool afterSingleton = false;
    for (int i = 0; i < parts.size(); ++i) {
        QString& p = parts[i];
        p = p.toLower();
        if (i == 0 || afterSingleton)
            continue;
        if (p.size() == 1) {
            afterSingleton = true;
        } else if (p.size() == 4 && p.at(0).isLetter()) {
            p[0] = p.at(0).toUpper();
        } else if (p.size() == 2) {
            p = p.toUpper();
        }
    }
    return parts.join(QLatin1Char('-'));
}

} // namespace zova::speech
