#include "export/BlurMarks.h"

#include "export/ShadowMask.h"

#include <QPainter>

#include <cmath>

namespace zova {

QImage burnBlurMarks(const QImage& image, const QList<StepAnnotation>& annotations)
{
    QImage result = image;
    bool converted = false;
    const QRect bounds = image.rect();
    for (const StepAnnotation& a : annotations) {
        if (a.kind != StepAnnotation::Kind::Blur)
            continue;
        if (!std::isfinite(a.x) || !std::isfinite(a.y) || !std::isfinite(a.width) || !std::isfinite(a.height))
            continue;
        const QRectF area(
            a.x * image.width(), a.y * image.height(), a.width * image.width(), a.height * image.height());
        const QRect r = area.normalized().toAlignedRect().intersected(bounds);
        if (r.isEmpty())
            continue;
        if (!converted) {
            result = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
            converted = true;
        }
        // Three box passes of about 1/40 of the image's longer side: no glyph survives.
        const int radius = std::max(8, std::max(image.width(), image.height()) / 40);
        QImage patch = result.copy(r);
        std::vector<int> scratch;
        const int stride = int(patch.bytesPerLine());
        for (int pass = 0; pass < 3; ++pass) {
            for (int channel = 0; channel < 4; ++channel) {
                for (int y = 0; y < patch.height(); ++y)
                    boxLine(patch.scanLine(y) + channel, patch.width(), 4, radius, scratch, true);
                for (int x = 0; x < patch.width(); ++x)
                    boxLine(patch.bits() + x * 4 + channel, patch.height(), stride, radius, scratch, true);
            }
        }
        QPainter p(&result);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(r.topLeft(), patch);
    }
    return result;
}

} // namespace zova
