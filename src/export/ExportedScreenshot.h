#pragma once

#include "model/StepAnnotation.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace zova {

// The stored screenshot at `path` as it leaves the application: the file's own
// bytes when none of the marks hides anything in it, else a PNG of it redacted. No
// value when the file cannot be read or decoded. Any thread.
std::optional<QByteArray> exportedScreenshotBytes(const QString& path, const QList<StepAnnotation>& marks);

// The same screenshot as a JPEG fine enough that text stays crisp, for a printed page:
// the printer embeds JPEG data as it is instead of compressing every pixel again.
std::optional<QByteArray> printedScreenshotBytes(const QString& path, const QList<StepAnnotation>& marks);

} // namespace zova
