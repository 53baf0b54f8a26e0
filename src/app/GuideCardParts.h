#pragma once

#include <QColor>
#include <QString>

namespace zova {

class Guide;

// Shared by the card and the list row.
namespace guidecard {
QString statusText(const Guide& guide);
QColor statusColor(const Guide& guide);
// The first ordered step's screenshot file name; empty when there are no steps.
QString firstScreenshotName(const Guide& guide);
} // namespace guidecard

} // namespace zova
