#pragma once

#include <QString>

namespace zova::speech {

// BCP 47 case: language lower case, a four-letter script title case, a two-letter
// region upper case, everything after a singleton ("x-...") lower case.
// "en-gb" -> "en-GB", "zh-hans-cn" -> "zh-Hans-CN", "en-gb-x-rp" -> "en-GB-x-rp".
QString normalizedLanguageTag(const QString& tag);

} // namespace zova::speech
