#include "app/library/RelativeDate.h"

#include <QLocale>

#include <unicode/locid.h>
#include <unicode/reldatefmt.h>
#include <unicode/unistr.h>

#include <cmath>
#include <memory>

namespace zova::RelativeDate {

namespace {

struct Offset {
    double value;
    URelativeDateTimeUnit unit;
};

// The largest unit that fits, as a whole number of it, signed (negative: past).
Offset offsetFor(const QDateTime& date, const QDateTime& now)
{
    const double seconds = double(now.msecsTo(date)) / 1000.0;
    const double a = std::fabs(seconds);
    const double sign = seconds < 0 ? -1.0 : 1.0;
    const auto whole = [&](double unitSeconds) { return sign * std::floor(a / unitSeconds); };
    if (a < 60)
        return { whole(1), UDAT_REL_UNIT_SECOND };
    if (a < 3600)
        return { whole(60), UDAT_REL_UNIT_MINUTE };
    if (a < 86400)
        return { whole(3600), UDAT_REL_UNIT_HOUR };
    if (a < 7 * 86400)
        return { whole(86400), UDAT_REL_UNIT_DAY };
    if (a < 30 * 86400)
        return { whole(7 * 86400), UDAT_REL_UNIT_WEEK };
    if (a < 365 * 86400)
        return { whole(30 * 86400), UDAT_REL_UNIT_MONTH };
    return { whole(365 * 86400), UDAT_REL_UNIT_YEAR };
}

QString format(const QDateTime& date, const QDateTime& now, UDateRelativeDateTimeFormatterStyle style, bool numeric)
{
    UErrorCode status = U_ZERO_ERROR;
    const icu::Locale locale(QLocale().name().toLatin1().constData());
    icu::RelativeDateTimeFormatter formatter(locale, nullptr, style, UDISPCTX_CAPITALIZATION_NONE, status);
    if (U_FAILURE(status))
        return QLocale().toString(date, QLocale::ShortFormat);
    const Offset o = offsetFor(date, now);
    icu::UnicodeString out;
    if (numeric)
        formatter.formatNumeric(o.value, o.unit, out, status);
    else
        formatter.format(o.value, o.unit, out, status);
    if (U_FAILURE(status))
        return QLocale().toString(date, QLocale::ShortFormat);
    return QString(reinterpret_cast<const QChar*>(out.getBuffer()), out.length());
}

} // namespace

QString named(const QDateTime& date, const QDateTime& now) { return format(date, now, UDAT_STYLE_LONG, false); }

QString numericShort(const QDateTime& date, const QDateTime& now) { return format(date, now, UDAT_STYLE_SHORT, true); }

} // namespace zova::RelativeDate
