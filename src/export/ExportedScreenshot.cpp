#include "export/ExportedScreenshot.h"

#include "annotation/Redaction.h"
#include "model/ImageReading.h"
#include "platform/png/PngEncoder.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>

#include <algorithm>

namespace zova {

namespace {

// High enough that small UI text keeps its edges.
constexpr int printedJpegQuality = 95;

} // namespace

std::optional<QByteArray> exportedScreenshotBytes(const QString& path, const QList<StepAnnotation>& marks)
{
    if (path.isEmpty())
        return std::nullopt;
    QFile file(path);
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
    const auto read = readImage(reader);
    if (!read)
        return std::nullopt; // never hand out the bytes unredacted
    const QImage& image = read.value();
    if (annotation::redactedAreas(image.size(), marks).isEmpty())
        return bytes;
    const QImage hidden = annotation::redacted(image, marks);
    if (hidden.isNull())
        return std::nullopt;
    return png::encodeScreenshot(hidden);
}

std::optional<QByteArray> printedScreenshotBytes(const QString& path, const QList<StepAnnotation>& marks)
{
    std::optional<QByteArray> bytes = exportedScreenshotBytes(path, marks);
    if (!bytes)
        return std::nullopt;
    QBuffer in(&*bytes);
    QImageReader reader(&in);
    reader.setAutoTransform(false);
    auto read = readImage(reader);
    if (!read)
        return std::nullopt;
    QImage image = std::move(read).value();
    if (image.hasAlphaChannel()) {
        // JPEG has no alpha: flatten onto the white the page shows behind the image.
        QImage flat(image.size(), QImage::Format_RGB32);
        flat.fill(Qt::white);
        QPainter(&flat).drawImage(0, 0, image);
        image = flat;
    } else {
        image = image.convertToFormat(QImage::Format_RGB32);
    }
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(printedJpegQuality);
    if (!writer.write(image))
        return std::nullopt;
    return out;
}

} // namespace zova
