#include "export/BlurBurnIn.h"

#include "model/Step.h"
#include "model/StepAnnotation.h"
#include "model/StorageService.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace zova {

namespace {

// The page shows a screenshot 856 CSS px wide and blurs it there by 18 px; the
// burned-in blur matches that at the image's own resolution.
constexpr double pageImageWidth = 856.0;
constexpr double pageBlurRadius = 18.0;
constexpr int minimumRadius = 6;
constexpr int passes = 3; // three box passes approximate a Gaussian

// One box-blur pass over `count` pixels starting at `first`, `stride` apart,
// with edge pixels repeated; `scratch` holds the original values.
void boxPass(QRgb* first, int count, qsizetype stride, int radius, std::vector<QRgb>& scratch)
{
    scratch.resize(size_t(count));
    for (int i = 0; i < count; ++i)
        scratch[size_t(i)] = first[i * stride];
    const int window = 2 * radius + 1;
    auto at = [&](int i) { return scratch[size_t(std::clamp(i, 0, count - 1))]; };
    int sa = 0, sr = 0, sg = 0, sb = 0;
    for (int i = -radius; i <= radius; ++i) {
        const QRgb p = at(i);
        sa += qAlpha(p), sr += qRed(p), sg += qGreen(p), sb += qBlue(p);
    }
    for (int i = 0; i < count; ++i) {
        first[i * stride] = qRgba(sr / window, sg / window, sb / window, sa / window);
        const QRgb out = at(i - radius);
        const QRgb in = at(i + radius + 1);
        sa += qAlpha(in) - qAlpha(out);
        sr += qRed(in) - qRed(out);
        sg += qGreen(in) - qGreen(out);
        sb += qBlue(in) - qBlue(out);
    }
}

void blurRect(QImage& image, const QRect& r, int radius)
{
    std::vector<QRgb> scratch;
    const qsizetype stride = image.bytesPerLine() / qsizetype(sizeof(QRgb));
    auto* bits = reinterpret_cast<QRgb*>(image.bits());
    for (int pass = 0; pass < passes; ++pass) {
        for (int y = r.top(); y <= r.bottom(); ++y)
            boxPass(bits + y * stride + r.left(), r.width(), 1, radius, scratch);
        for (int x = r.left(); x <= r.right(); ++x)
            boxPass(bits + r.top() * stride + x, r.height(), stride, radius, scratch);
    }
}

} // namespace

QList<QRectF> blurRects(const Step& step)
{
    QList<QRectF> rects;
    for (const StepAnnotation& a : step.annotations()) {
        if (a.kind == StepAnnotation::Kind::Blur)
            rects.append(QRectF(a.x, a.y, a.width, a.height).normalized());
    }
    return rects;
}

QImage burnInBlurs(const QImage& source, const QList<QRectF>& rects)
{
    if (source.isNull() || rects.isEmpty())
        return source;
    QImage image = source;
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32)
        image.convertTo(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    const int radius = std::max(minimumRadius, int(std::lround(pageBlurRadius * image.width() / pageImageWidth)));
    const QRect bounds = image.rect();
    for (const QRectF& f : rects) {
        // Clamped in floating point first: a mark far off the image must not
        // overflow the conversion to pixels.
        const double w = image.width(), h = image.height();
        const double left = std::clamp(f.left() * w, 0.0, w), right = std::clamp(f.right() * w, 0.0, w);
        const double top = std::clamp(f.top() * h, 0.0, h), bottom = std::clamp(f.bottom() * h, 0.0, h);
        if (!std::isfinite(left + right + top + bottom))
            continue; // no place to blur
        // Every pixel the mark touches, even partly.
        const QRect r = QRect(QPoint(int(std::floor(left)), int(std::floor(top))),
            QPoint(int(std::ceil(right)) - 1, int(std::ceil(bottom)) - 1))
                            .intersected(bounds);
        if (!r.isEmpty())
            blurRect(image, r, radius);
    }
    return image;
}

std::optional<QByteArray> exportedScreenshotBytes(const Step& step)
{
    return exportedScreenshotBytes(step.screenshotFilename(), blurRects(step));
}

std::optional<QByteArray> exportedScreenshotBytes(const QString& filename, const QList<QRectF>& rects)
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
    if (rects.isEmpty())
        return bytes;

    QBuffer in(&bytes);
    QImageReader reader(&in);
    reader.setAutoTransform(false);
    const QImage image = reader.read();
    if (image.isNull())
        return std::nullopt; // never hand out the unblurred bytes
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    writer.setQuality(80); // zlib level 1: fast, and the size matters less here
    if (!writer.write(burnInBlurs(image, rects)))
        return std::nullopt;
    return out;
}

} // namespace zova
