#include "app/library/NewGuideButton.h"

#include "style/Shapes.h"
#include "style/Typography.h"
#include "style/ZOVAColor.h"

#include <QFontMetricsF>
#include <QPainter>

namespace zova {

namespace {
const QString keyCap = QStringLiteral("Ctrl+N");
}

NewGuideButton::NewGuideButton(QWidget* parent)
    : QAbstractButton(parent)
{
    setText(QStringLiteral("New Guide"));
    setToolTip(QStringLiteral("Start a new recording (Ctrl+N)"));
    setCursor(Qt::PointingHandCursor);
    setFixedSize(sizeHint());
}

QSize NewGuideButton::sizeHint() const
{
    const qreal label = QFontMetricsF(Typography::semibold(12.5)).horizontalAdvance(text());
    const qreal cap = QFontMetricsF(Typography::font(9.5, QFont::Medium)).horizontalAdvance(keyCap) + 8;
    return QSize(qCeil(12 + 16 + 6 + label + 6 + cap + 12) + 8, 30 + 8);
}

void NewGuideButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRectF r = QRectF(rect()).adjusted(4, 2, -4, -6); // room for the shadow
    const QPainterPath shape = Shapes::roundedRect(r, 9);
    Shapes::paintShadow(p, shape, Shapes::withAlpha(Qt::black, 0.14), 4, { 0, 2 });
    p.fillPath(shape, isDown() ? ZOVAColor::accent().darker(115) : ZOVAColor::accent());
    Shapes::strokeInside(p, r, 9, Shapes::withAlpha(Qt::white, 0.18), 0.5);

    qreal x = r.left() + 12;
    const qreal cy = r.center().y();
    p.setPen(Qt::NoPen);
    p.setBrush(Shapes::withAlpha(Qt::white, 0.22));
    p.drawEllipse(QPointF(x + 8, cy), 8, 8);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(x + 8, cy), 3.5, 3.5);
    x += 16 + 6;

    const QFont font = Typography::semibold(12.5);
    p.setFont(font);
    p.setPen(Qt::white);
    const qreal tw = QFontMetricsF(font).horizontalAdvance(text());
    p.drawText(QRectF(x, r.top(), tw + 1, r.height()), Qt::AlignVCenter | Qt::AlignLeft, text());
    x += tw + 6;

    const QFont capFont = Typography::font(9.5, QFont::Medium);
    const QFontMetricsF cm(capFont);
    const QRectF cap(x, cy - (cm.height() + 2) / 2, cm.horizontalAdvance(keyCap) + 8, cm.height() + 2);
    p.fillPath(Shapes::roundedRect(cap, 3), Shapes::withAlpha(Qt::white, 0.18));
    p.setFont(capFont);
    p.setPen(Shapes::withAlpha(Qt::white, 0.78));
    p.drawText(cap, Qt::AlignCenter, keyCap);
}

} // namespace zova
