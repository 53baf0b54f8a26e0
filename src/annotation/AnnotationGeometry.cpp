#include "annotation/AnnotationGeometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zova::annotation {

namespace {

constexpr double minimumDraftSide = 0.005;
constexpr double minimumDrawnSide = 8;
constexpr double arrowHeadShare = 0.35;
constexpr double arrowHeadLongest = 20;
constexpr double minimumCropSide = 0.0001;
constexpr double minimumRemappedSide = 0.001;

} // namespace

double clampUnit(double value)
{
    if (std::isnan(value))
        return 0;
    return std::clamp(value, 0.0, 1.0);
}

QPointF unitPoint(QPointF point, QSizeF size)
{
    if (!(size.width() > 0) || !(size.height() > 0))
        return {};
    return { clampUnit(point.x() / size.width()), clampUnit(point.y() / size.height()) };
}

QRectF draftRect(QPointF start, QPointF current)
{
    return { std::min(start.x(), current.x()), std::min(start.y(), current.y()),
        std::max(std::abs(current.x() - start.x()), minimumDraftSide),
        std::max(std::abs(current.y() - start.y()), minimumDraftSide) };
}

bool draftIsLargeEnough(QPointF start, QPointF current)
{
    return std::abs(current.x() - start.x()) > minimumDraftSide && std::abs(current.y() - start.y()) > minimumDraftSide;
}

QPointF movedOrigin(const StepAnnotation& mark, double dx, double dy)
{
    return { std::min(std::max(1 - mark.width, 0.0), std::max(mark.x + dx, 0.0)),
        std::min(std::max(1 - mark.height, 0.0), std::max(mark.y + dy, 0.0)) };
}

QRectF renderedRect(const StepAnnotation& mark, const QRectF& target)
{
    const double w = target.width(), h = target.height();
    return { target.left() + w * mark.x, target.top() + h * mark.y, std::max(w * mark.width, minimumDrawnSide),
        std::max(h * mark.height, minimumDrawnSide) };
}

ArrowLines arrowLines(const QRectF& box)
{
    const double w = box.width(), h = box.height();
    const double angle = std::atan2(h, w);
    const double head = std::min(arrowHeadShare * std::hypot(w, h), arrowHeadLongest);
    const QPointF tip = box.bottomRight();
    const auto stroke
        = [&](double theta) { return QLineF(tip, tip - QPointF(std::cos(theta) * head, std::sin(theta) * head)); };
    return { QLineF(box.topLeft(), tip), stroke(angle - std::numbers::pi / 7), stroke(angle + std::numbers::pi / 7) };
}

QPainterPath arrowPath(const QRectF& box)
{
    const ArrowLines lines = arrowLines(box);
    QPainterPath path;
    for (const QLineF& line : { lines.shaft, lines.headLeft, lines.headRight }) {
        path.moveTo(line.p1());
        path.lineTo(line.p2());
    }
    return path;
}

std::optional<Crop> cropFor(const QRectF& rect, QSize imageSize)
{
    if (imageSize.isEmpty())
        return std::nullopt;
    const double x0 = clampUnit(rect.x()), y0 = clampUnit(rect.y());
    // A size that is not a number counts as none.
    const auto side = [](double wanted, double room) {
        return std::max(std::min(std::isnan(wanted) ? 0.0 : wanted, room), minimumCropSide);
    };
    const double w = side(rect.width(), 1 - x0), h = side(rect.height(), 1 - y0);
    const int W = imageSize.width(), H = imageSize.height();
    const QRect pixels(
        int(std::floor(x0 * W)), int(std::floor(y0 * H)), int(std::floor(w * W)), int(std::floor(h * H)));
    if (pixels.width() < 1 || pixels.height() < 1)
        return std::nullopt;
    Crop crop;
    crop.pixels = pixels.intersected(QRect(QPoint(0, 0), imageSize));
    crop.x = double(crop.pixels.x()) / W;
    crop.y = double(crop.pixels.y()) / H;
    crop.width = double(crop.pixels.width()) / W;
    crop.height = double(crop.pixels.height()) / H;
    return crop;
}

QPointF remapHotspot(QPointF hotspot, const Crop& crop)
{
    return { clampUnit((hotspot.x() - crop.x) / crop.width), clampUnit((hotspot.y() - crop.y) / crop.height) };
}

std::optional<StepAnnotation> remapAnnotation(const StepAnnotation& a, const Crop& crop)
{
    const double x0 = crop.x, y0 = crop.y, w = crop.width, h = crop.height;
    if (a.x + a.width < x0 || x0 + w < a.x || a.y + a.height < y0 || y0 + h < a.y)
        return std::nullopt;
    // A mark whose numbers are not finite has no place in either image.
    if (!std::isfinite(a.x + a.width + a.y + a.height))
        return std::nullopt;
    const double cx1 = std::max(a.x, x0), cy1 = std::max(a.y, y0);
    const double cx2 = std::min(a.x + a.width, x0 + w), cy2 = std::min(a.y + a.height, y0 + h);
    StepAnnotation out = a;
    out.x = clampUnit((cx1 - x0) / w);
    out.y = clampUnit((cy1 - y0) / h);
    out.width = std::max(std::min((cx2 - cx1) / w, 1 - out.x), minimumRemappedSide);
    out.height = std::max(std::min((cy2 - cy1) / h, 1 - out.y), minimumRemappedSide);
    return out;
}

QList<StepAnnotation> remapAnnotations(const QList<StepAnnotation>& marks, const Crop& crop)
{
    QList<StepAnnotation> out;
    for (const StepAnnotation& a : marks)
        if (auto kept = remapAnnotation(a, crop))
            out.append(*kept);
    return out;
}

} // namespace zova::annotation
