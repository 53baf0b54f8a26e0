#include "model/HexColor.h"

#include <algorithm>
#include <cmath>

namespace zova {

namespace {

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

int toByte(float component)
{
    const long v = std::lround(double(component) * 255.0); // halves away from zero
    return int(std::clamp(v, 0L, 255L));
}

} // namespace

std::optional<QColor> colorFromHexString(const QString& text)
{
    QString s = text.trimmed();
    if (s.startsWith(QLatin1Char('#')))
        s.remove(0, 1);
    if (s.size() != 6)
        return std::nullopt;

    qsizetype i = 0;
    bool negative = false;
    if (s[0] == QLatin1Char('+')) {
        i = 1;
    } else if (s[0] == QLatin1Char('-')) {
        negative = true;
        i = 1;
    }
    quint32 value = 0;
    for (; i < s.size(); ++i) {
        const int d = hexDigit(s[i]);
        if (d < 0)
            return std::nullopt;
        value = (value << 4) | quint32(d);
    }
    if (negative && value != 0)
        return std::nullopt;

    const int r = int((value >> 16) & 255);
    const int g = int((value >> 8) & 255);
    const int b = int(value & 255);
    return QColor::fromRgbF(float(r / 255.0), float(g / 255.0), float(b / 255.0), 1.0f);
}

QString hexString(const QColor& color)
{
    QColor c = color.isValid() ? color.toRgb() : QColor(Qt::white);
    if (!c.isValid())
        c = QColor(Qt::white);
    static const char digits[] = "0123456789abcdef";
    QString out;
    out.reserve(6);
    for (float component : { c.redF(), c.greenF(), c.blueF() }) {
        const int v = toByte(component);
        out.append(QLatin1Char(digits[v >> 4]));
        out.append(QLatin1Char(digits[v & 15]));
    }
    return out;
}

} // namespace zova
