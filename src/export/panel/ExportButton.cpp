#include "export/panel/ExportButton.h"

#include "base/NotifyingProperty.h"
#include "style/Shapes.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTimer>

namespace zova {

namespace {
constexpr qreal kIndicator = 14;
constexpr qreal kSpacing = 6;
} // namespace

ExportButton::ExportButton(QWidget* parent)
    : PillButton(QString(), parent)
    , m_spin(new QTimer(this))
{
    setObjectName(QStringLiteral("exportButton"));
    pill(this, PillStyle::Variant::primary(), PillStyle::Size::Md);
    m_spin->setInterval(40);
    connect(m_spin, &QTimer::timeout, this, [this] {
        m_angle = (m_angle + 30) % 360;
        update();
    });
    m_busy = true; // so that setBusy(false) lays out the idle look
    setBusy(false);
}

void ExportButton::setBusy(bool busy)
{
    if (!assignIfChanged(m_busy, busy))
        return;
    if (busy) {
        setSymbol(QString());
        setText(tr("Exporting\u2026"));
        m_spin->start();
    } else {
        m_spin->stop();
        setSymbol(QStringLiteral("arrow.down.circle.fill"));
        setText(tr("Choose location & export"));
    }
    setAccessibleName(text());
    updateGeometry();
    update();
}

QSize ExportButton::sizeHint() const
{
    QSize size = PillButton::sizeHint();
    if (m_busy)
        size.rwidth() += qCeil(kIndicator + kSpacing);
    return size;
}

void ExportButton::paintEvent(QPaintEvent* event)
{
    if (!m_busy)
        return PillButton::paintEvent(event);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QRectF r = QRectF(rect());
    painter.setClipPath(Shapes::capsule(r));
    pillStyle().paintBackground(painter, r);

    const QFont font = PillStyle::font(pillStyle().size);
    const qreal textWidth = QFontMetricsF(font).horizontalAdvance(text());
    qreal x = (r.width() - (kIndicator + kSpacing + textWidth)) / 2;
    // An indeterminate ring: a three-quarter arc turning with the timer.
    const QRectF ring(x + 1.5, (r.height() - kIndicator) / 2 + 1.5, kIndicator - 3, kIndicator - 3);
    painter.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
    painter.drawArc(ring, -m_angle * 16, 270 * 16);
    x += kIndicator + kSpacing;

    QColor fg = pillStyle().variant.foreground();
    if (!isEnabled())
        fg.setAlphaF(fg.alphaF() * 0.45f);
    painter.setFont(font);
    painter.setPen(fg);
    painter.drawText(QRectF(x, 0, textWidth + 1, r.height()), Qt::AlignVCenter | Qt::AlignLeft, text());
}

} // namespace zova
