#include "annotation/AnnotationPainter.h"

#include "annotation/AnnotationGeometry.h"
#include "annotation/Redaction.h"
#include "annotation/SoftShadow.h"
#include "model/HexColor.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>

#include <algorithm>
#include <cmath>

namespace zova::annotation {

namespace {

constexpr double cornerRadius = 4;
constexpr double arrowWidth = 4;
constexpr double highlightBorder = 2.5;
constexpr double labelPaddingX = 10;
constexpr double labelPaddingY = 5;
constexpr float veilOpacity = 0.25f;
constexpr float highlightFill = 0.18f;
constexpr float arrowGlow = 0.4f;
constexpr float highlightGlow = 0.45f;
constexpr float labelGlow = 0.45f;
// How far beyond the screenshot a mark is still drawn: enough for a glow, and
// small enough that no coordinate overflows the rasterizer.
constexpr double drawingMargin = 32;

QColor withAlpha(QColor c, float alpha)
{
    c.setAlphaF(alpha);
    return c;
}

// The part of a rectangle inside `limit`, computed in floating point.
QRectF limited(const QRectF& r, const QRectF& limit)
{
    if (!std::isfinite(r.left() + r.right() + r.top() + r.bottom()))
        return {};
    return r.intersected(limit);
}

// The part of a line inside `limit` (Liang-Barsky); no value when none is.
std::optional<QLineF> limited(const QLineF& line, const QRectF& limit)
{
    const double x0 = line.x1(), y0 = line.y1(), dx = line.dx(), dy = line.dy();
    if (!std::isfinite(x0 + y0 + dx + dy))
        return std::nullopt;
    double t0 = 0, t1 = 1;
    const double p[4] = { -dx, dx, -dy, dy };
    const double q[4] = { x0 - limit.left(), limit.right() - x0, y0 - limit.top(), limit.bottom() - y0 };
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return std::nullopt;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return std::nullopt;
    }
    return QLineF(x0 + t0 * dx, y0 + t0 * dy, x0 + t1 * dx, y0 + t1 * dy);
}

QPainterPath roundedRect(const QRectF& r)
{
    QPainterPath path;
    path.addRoundedRect(r, cornerRadius, cornerRadius);
    return path;
}

void paintBlur(QPainter& p, const StepAnnotation& a, const QRectF& target, const QRectF& limit, const QImage& redacted)
{
    if (!redacted.isNull()) {
        const double sx = target.width() / redacted.width(), sy = target.height() / redacted.height();
        for (const QRect& px : redactedAreas(redacted.size(), { a })) {
            const QRectF to(
                target.left() + px.left() * sx, target.top() + px.top() * sy, px.width() * sx, px.height() * sy);
            p.drawImage(to, redacted, QRectF(px));
        }
    }
    const QRectF veil = limited(renderedRect(a, target), limit);
    if (!veil.isEmpty())
        p.fillPath(roundedRect(veil), withAlpha(Qt::white, veilOpacity));
}

void paintArrow(QPainter& p, const StepAnnotation& a, const QRectF& target, const QRectF& limit, const QColor& color)
{
    const ArrowLines lines = arrowLines(renderedRect(a, target));
    QPainterPath path;
    for (const QLineF& line : { lines.shaft, lines.headLeft, lines.headRight })
        if (const auto part = limited(line, limit)) {
            path.moveTo(part->p1());
            path.lineTo(part->p2());
        }
    if (path.isEmpty())
        return;
    QPainterPathStroker stroker;
    stroker.setWidth(arrowWidth);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    const QPainterPath outline = stroker.createStroke(path).simplified();
    drawSoftShadow(p, outline, cornerRadius, withAlpha(color, arrowGlow));
    p.fillPath(outline, color);
}

void paintHighlight(
    QPainter& p, const StepAnnotation& a, const QRectF& target, const QRectF& limit, const QColor& color)
{
    const QRectF r = limited(renderedRect(a, target), limit);
    if (r.isEmpty())
        return;
    // Stroked inside the border; the glow comes from the border, the fill is faint.
    const double inset = highlightBorder / 2;
    const QPainterPath border = roundedRect(r.adjusted(inset, inset, -inset, -inset));
    QPainterPathStroker stroker;
    stroker.setWidth(highlightBorder);
    drawSoftShadow(p, stroker.createStroke(border), 6, withAlpha(color, highlightGlow));
    p.fillPath(roundedRect(r), withAlpha(color, highlightFill));
    p.strokePath(border, QPen(color, highlightBorder));
}

void paintLabel(QPainter& p, const StepAnnotation& a, const QRectF& target, const QRectF& limit, const QColor& color)
{
    const QRectF capsule = labelRect(a, target);
    if (limited(capsule, limit).isEmpty())
        return;
    QPainterPath shape;
    const double radius = capsule.height() / 2;
    shape.addRoundedRect(capsule, radius, radius);
    p.save();
    p.translate(0, 2);
    drawSoftShadow(p, shape, 6, withAlpha(color, labelGlow));
    p.restore();
    p.fillPath(shape, color);
    p.setFont(labelFont());
    p.setPen(Qt::white);
    p.drawText(capsule, Qt::AlignCenter | Qt::TextSingleLine, labelText(a));
}

} // namespace

QColor markColor(const StepAnnotation& mark)
{
    return colorFromHexString(mark.colorHex).value_or(QColor(255, 61, 138)); // the brand magenta
}

QString labelText(const StepAnnotation& mark)
{
    if (mark.text && !mark.text->isEmpty())
        return *mark.text;
    return QStringLiteral("Label");
}

QFont labelFont()
{
    QFont font;
    font.setPixelSize(14);
    font.setWeight(QFont::DemiBold);
    return font;
}

QRectF labelRect(const StepAnnotation& mark, const QRectF& target)
{
    const QFontMetricsF fm(labelFont());
    const QSizeF size(fm.horizontalAdvance(labelText(mark)) + 2 * labelPaddingX, fm.height() + 2 * labelPaddingY);
    QRectF capsule(QPointF(), size);
    capsule.moveCenter(renderedRect(mark, target).center());
    return capsule;
}

QRectF labelTextRect(const StepAnnotation& mark, const QRectF& target)
{
    return labelRect(mark, target).adjusted(labelPaddingX, labelPaddingY, -labelPaddingX, -labelPaddingY);
}

QRectF hitArea(const StepAnnotation& mark, const QRectF& target)
{
    const QRectF drawn = renderedRect(mark, target);
    switch (mark.kind) {
    case StepAnnotation::Kind::Text: return drawn.united(labelRect(mark, target));
    case StepAnnotation::Kind::Blur:
    case StepAnnotation::Kind::Arrow:
    case StepAnnotation::Kind::Highlight: return drawn;
    }
    return drawn;
}

std::optional<qsizetype> markAt(const QList<StepAnnotation>& marks, const QRectF& target, QPointF point)
{
    for (qsizetype i = marks.size(); i-- > 0;)
        if (hitArea(marks.at(i), target).contains(point))
            return i;
    return std::nullopt;
}

void paintAnnotations(
    QPainter& painter, const QRectF& target, const QList<StepAnnotation>& marks, const QImage& redactedScreenshot)
{
    if (marks.isEmpty() || target.isEmpty())
        return;
    const QRectF limit = target.adjusted(-drawingMargin, -drawingMargin, drawingMargin, drawingMargin);
    painter.save();
    painter.setClipRect(target, Qt::IntersectClip);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform | QPainter::TextAntialiasing);
    for (const StepAnnotation& a : marks) {
        const QColor color = markColor(a);
        switch (a.kind) {
        case StepAnnotation::Kind::Blur: paintBlur(painter, a, target, limit, redactedScreenshot); break;
        case StepAnnotation::Kind::Arrow: paintArrow(painter, a, target, limit, color); break;
        case StepAnnotation::Kind::Highlight: paintHighlight(painter, a, target, limit, color); break;
        case StepAnnotation::Kind::Text: paintLabel(painter, a, target, limit, color); break;
        }
    }
    painter.restore();
}

} // namespace zova::annotation
