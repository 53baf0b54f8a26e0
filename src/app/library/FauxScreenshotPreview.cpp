#include "app/library/FauxScreenshotPreview.h"

#include "style/Shapes.h"
#include "style/Typography.h"
#include "style/ZOVAColor.h"

#include <QPainter>

namespace zova {

FauxScreenshotPreview::FauxScreenshotPreview(AccentHue hue, const QString& label, QWidget* parent)
    : QWidget(parent)
    , m_hue(hue)
    , m_label(label)
{
}

void FauxScreenshotPreview::paint(QPainter& p, const QRectF& rect, AccentHue, const QString& label)
{
    using Shapes::withAlpha;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setClipPath(Shapes::roundedRect(rect, 10));
    p.fillRect(rect, Shapes::controlBackground());

    // Title bar with the three window buttons and an address capsule.
    const QRectF bar(rect.left(), rect.top(), rect.width(), 20);
    p.fillRect(bar, withAlpha(Shapes::windowBackground(), 0.85));
    const QColor dots[] = { QColor(255, 95, 87), QColor(254, 188, 46), QColor(40, 200, 64) };
    qreal x = bar.left() + 8;
    for (const QColor& c : dots) {
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        p.drawEllipse(QRectF(x, bar.center().y() - 3, 6, 6));
        x += 10;
    }
    const QRectF address(x + 14 - 4, bar.center().y() - 5, qMax<qreal>(0, bar.right() - 8 - 14 - (x + 10)), 10);
    p.fillPath(Shapes::capsule(address), withAlpha(ZOVAColor::label(), 0.1));
    p.fillRect(QRectF(rect.left(), bar.bottom(), rect.width(), 0.5), withAlpha(ZOVAColor::separator(), 0.4));

    // Content: a heading, three text lines and the labelled box.
    const QRectF content = QRectF(rect.left(), bar.bottom() + 0.5, rect.width(), rect.bottom() - bar.bottom() - 0.5)
                               .adjusted(10, 10, -10, -10);
    qreal y = content.top();
    p.fillPath(Shapes::roundedRect(QRectF(content.left(), y, qMin<qreal>(80, content.width()), 12), 3),
        withAlpha(ZOVAColor::label(), 0.55));
    y += 12 + 6;
    for (qreal w : { content.width(), qreal(100), qreal(110) }) {
        p.fillPath(Shapes::roundedRect(QRectF(content.left(), y, qMin(w, content.width()), 6), 3),
            withAlpha(ZOVAColor::label(), 0.18));
        y += 6 + 6;
    }
    const QRectF box(content.left(), y, content.width(), qMax<qreal>(0, content.bottom() - y));
    if (box.height() > 0) {
        p.save();
        p.setClipPath(Shapes::roundedRect(box, 8), Qt::IntersectClip);
        p.fillPath(Shapes::roundedRect(box, 8), withAlpha(ZOVAColor::label(), 0.06));
        QPen pen(ZOVAColor::separator(), 0.5);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawPath(Shapes::roundedRect(box, 8));
        QFont f = Typography::bold(9);
        f.setLetterSpacing(QFont::AbsoluteSpacing, 0.3);
        p.setFont(f);
        p.setPen(ZOVAColor::secondaryLabel());
        p.drawText(box, Qt::AlignCenter, label);
        p.restore();
    }

    // The click highlight.
    const QRectF target(rect.left() + 0.22 * rect.width(), rect.top() + 0.42 * rect.height(), 0.55 * rect.width(), 26);
    const QPainterPath ring = Shapes::roundedRect(target, 6);
    p.setClipping(false);
    QPainterPathStroker stroker;
    stroker.setWidth(2.5);
    Shapes::paintShadow(p, stroker.createStroke(ring), withAlpha(ZOVAColor::magenta(), 0.45), 8, { 0, 0 });
    Shapes::strokeInside(p, target, 6, ZOVAColor::magenta(), 2.5);
    p.restore();
}

void FauxScreenshotPreview::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paint(painter, QRectF(rect()), m_hue, m_label);
}

} // namespace zova
