#pragma once

#include <QDateTime>
#include <QString>

namespace zova::RelativeDate {

// "yesterday", "3 weeks ago": named presentation, wide units (the list row).
QString named(const QDateTime& date, const QDateTime& now = QDateTime::currentDateTime());
// "3 wk. ago": numeric presentation, short units (the card).
QString numericShort(const QDateTime& date, const QDateTime& now = QDateTime::currentDateTime());

} // namespace zova::RelativeDate
