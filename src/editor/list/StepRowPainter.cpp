#include "editor/list/StepRowPainter.h"

#include "style/Shapes.h"
#include "style/StepBadge.h"
#include "style/Typography.h"
#include "style/ZOVAColor.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QTextLayout>

namespace zova::step_row {

namespace {

constexpr qreal labelSize = 12;
constexpr int labelGap = 3;

// Semibold is the wider weight: measuring with it keeps a row's height when its focus changes.
QFont measureFont() { return Typography::font(labelSize, QFont::DemiBold); }
QFont labelFont(bool focused) { return Typography::font(labelSize, focused ? QFont::DemiBold : QFont::Medium); }

} // namespace

int textWidth(int rowWidth) { return std::max(1, rowWidth - padding - badgeSize - spacing - padding); }

QSize thumbnailBox(int rowWidth, qreal devicePixelRatio)
{
    return QSize(qRound(textWidth(rowWidth) * devicePixelRatio), qRound(thumbnailHeight * devicePixelRatio));
}

QStringList labelLines(const QString& label, int width)
{
    const QFont font = measureFont();
    QTextLayout layout(label, font);
    layout.beginLayout();
    QStringList lines;
    QTextLine first = layout.createLine();
    if (first.isValid()) {
        first.setLineWidth(width);
        lines << label.mid(first.textStart(), first.textLength()).trimmed();
        const QString rest = label.mid(first.textStart() + first.textLength()).trimmed();
        if (!rest.isEmpty())
            lines << QFontMetrics(font).elidedText(rest, Qt::ElideRight, width);
    }
    layout.endLayout();
    if (lines.isEmpty())
        lines << QString();
    return lines;
}

int height(const QString& label, bool hasThumbnail, int rowWidth)
{
    const int lines = int(labelLines(label, textWidth(rowWidth)).size());
    const int column
        = lines * QFontMetrics(measureFont()).lineSpacing() + (hasThumbnail ? labelGap + thumbnailHeight : 0);
    return padding + std::max(badgeSize, column) + padding;
}

void paint(QPainter& painter, const QRect& rect, const Look& look)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (look.dragged)
        painter.setOpacity(0.35);
    const QRectF box(rect);
    if (look.focused || look.selected) {
        const QColor accent = ZOVAColor::accent();
        const QPainterPath shape = Shapes::roundedRect(box, cornerRadius);
        painter.fillPath(shape, Shapes::withAlpha(accent, look.focused ? 0.18 : 0.10));
        Shapes::strokeInside(painter, box, cornerRadius, Shapes::withAlpha(accent, look.focused ? 0.40 : 0.22), 0.5);
    }
    StepBadge::paint(painter, QPointF(rect.left() + padding, rect.top() + padding), look.number, look.hue, badgeSize);

    const int x = rect.left() + padding + badgeSize + spacing;
    const int width = textWidth(rect.width());
    const QFont font = labelFont(look.focused);
    const QFontMetrics metrics(font);
    painter.setFont(font);
    painter.setPen(ZOVAColor::label());
    int y = rect.top() + padding;
    for (const QString& line : labelLines(look.label, width)) {
        painter.drawText(QRect(x, y, width, metrics.lineSpacing()), Qt::AlignLeft | Qt::AlignVCenter,
            metrics.elidedText(line, Qt::ElideRight, width));
        y += QFontMetrics(measureFont()).lineSpacing();
    }
    if (look.hasThumbnail && !look.thumbnail.isNull()) {
        const QRectF target(x, y + labelGap, width, thumbnailHeight);
        // Fill the box: the middle of the image in the box's proportions.
        const QSizeF source = QSizeF(look.thumbnail.size());
        const qreal scale = std::max(target.width() / source.width(), target.height() / source.height());
        const QSizeF cut(target.width() / scale, target.height() / scale);
        const QRectF from(
            (source.width() - cut.width()) / 2, (source.height() - cut.height()) / 2, cut.width(), cut.height());
        painter.save();
        painter.setClipPath(Shapes::roundedRect(target, 6));
        painter.drawImage(target, look.thumbnail, from);
        painter.restore();
        Shapes::strokeInside(painter, target, 6, ZOVAColor::separator(), 0.5);
    }
    painter.restore();
}

QPixmap dragPreview(int number, AccentHue hue, const QString& label, qreal devicePixelRatio)
{
    constexpr int badge = 22;
    const QFont font = Typography::font(12, QFont::Medium);
    const QFontMetrics metrics(font);
    const QString text = metrics.elidedText(label, Qt::ElideRight, 220);
    const QSize size(10 + badge + 8 + metrics.horizontalAdvance(text) + 10, 6 + std::max(badge, metrics.height()) + 6);
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(Shapes::roundedRect(QRectF(QPointF(0, 0), QSizeF(size)), 8), Shapes::windowBackground());
    StepBadge::paint(painter, QPointF(10, (size.height() - badge) / 2.0), number, hue, badge);
    painter.setFont(font);
    painter.setPen(ZOVAColor::label());
    painter.drawText(QRect(10 + badge + 8, 0, size.width() - badge - 28, size.height()), Qt::AlignVCenter, text);
    return pixmap;
}

} // namespace zova::step_row
