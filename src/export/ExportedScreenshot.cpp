#include "export/ExportedScreenshot.h"

#include "annotation/Redaction.h"
#include "model/StorageService.h"
#include "platform/png/PngEncoder.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include <algorithm>

namespace zova {

std::optional<QByteArray> exportedScreenshotBytes(const QString& filename, const QList<StepAnnotation>& marks)
{
    const auto path = StorageService::shared().pathFor(filename);
    if (!path)
        return std::nullopt;
    QFile file(*path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    const bool anyBlur = std::any_of(
        marks.cbegin(), marks.cend(), [](const StepAnnotation& a) { return a.kind == StepAnnotation::Kind::Blur; });
    if (!anyBlur)
        return bytes;

    QBuffer in(&bytes);
    QImageReader reader(&in);
    reader.setAutoTransform(false);
    const QImage image = reader.read();
    if (image.isNull())
        return std::nullopt; // never hand out the bytes unredacted
    if (annotation::redactedAreas(image.size(), marks).isEmpty())
        return bytes;
    const QImage hidden = annotation::redacted(image, marks);
    if (hidden.isNull())
        return std::nullopt;
    return png::encodeScreenshot(hidden);
}

} // namespace zova
