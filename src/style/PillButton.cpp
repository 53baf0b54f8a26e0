#include "style/PillButton.h"

#include "style/Shapes.h"
#include "style/Symbols.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTimer>

namespace zova {

namespace {
constexpr qreal spacing = 6;
constexpr qreal trailingSymbolSpacing = 8;
constexpr qreal indicatorSize = 14;
} // namespace

PillButton::PillButton(const QString& text, QWidget* parent)
    : QAbstractButton(parent)
{
    setText(text);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAttribute(Qt::WA_Hover);
    setPillStyle(m_style);
}

void PillButton::setPillStyle(PillStyle style)
{
    m_style = style;
    setFixedHeight(int(PillStyle::metrics(style.size).height));
    updateGeometry();
    update();
}

void PillButton::setSymbol(const QString& name)
{
    m_symbol = name;
    updateGeometry();
    update();
}

void PillButton::setTrailingText(const QString& text)
{
    m_trailing = text;
    updateGeometry();
    update();
}

void PillButton::setTrailingSymbol(const QString& name, qreal pixelSize)
{
    m_trailingSymbol = name;
    m_trailingSymbolSize = pixelSize;
    updateGeometry();
    update();
}

void PillButton::setTitleShown(bool shown)
{
    if (m_titleShown == shown)
        return;
    m_titleShown = shown;
    updateGeometry();
    update();
}

QString PillButton::shownTitle(bool titleShown) const
{
    const bool symbolOnly = !titleShown && (m_spinning || !m_symbol.isEmpty());
    return symbolOnly ? QString() : text();
}

void PillButton::setSpinning(bool spinning)
{
    if (m_spinning == spinning)
        return;
    m_spinning = spinning;
    if (spinning && !m_spin) {
        m_spin = new QTimer(this);
        m_spin->setInterval(40);
        connect(m_spin, &QTimer::timeout, this, [this] {
            m_angle = (m_angle + 30) % 360;
            update();
        });
    }
    if (spinning)
        m_spin->start();
    else if (m_spin)
        m_spin->stop();
    updateGeometry();
    update();
}

qreal PillButton::contentWidth(bool titleShown) const
{
    const auto m = PillStyle::metrics(m_style.size);
    qreal w = 0;
    if (m_spinning)
        w += indicatorSize;
    else if (!m_symbol.isEmpty())
        w += m.fontSize + 2;
    if (const QString title = shownTitle(titleShown); !title.isEmpty()) {
        if (w > 0)
            w += spacing;
        w += QFontMetricsF(PillStyle::font(m_style.size)).horizontalAdvance(title);
    }
    if (!m_trailing.isEmpty())
        w += spacing + QFontMetricsF(PillStyle::font(m_style.size)).horizontalAdvance(m_trailing);
    if (!m_trailingSymbol.isEmpty())
        w += trailingSymbolSpacing + m_trailingSymbolSize + 2;
    return w;
}

QSize PillButton::sizeHint() const { return sizeHintWithTitle(m_titleShown); }

QSize PillButton::sizeHintWithTitle(bool shown) const
{
    const auto m = PillStyle::metrics(m_style.size);
    const qreal w = qMax(m.height, contentWidth(shown) + 2 * m.horizontalPadding);
    return QSize(qCeil(w), int(m.height));
}

void PillButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QRectF r = QRectF(rect());
    painter.setClipPath(Shapes::capsule(r));
    m_style.paintBackground(painter, r);
    if (isDown() || m_hovered)
        painter.fillPath(Shapes::capsule(r), Shapes::withAlpha(m_style.variant.foreground(), isDown() ? 0.14 : 0.06));

    const auto m = PillStyle::metrics(m_style.size);
    QColor fg = m_style.variant.foreground();
    if (!isEnabled())
        fg.setAlphaF(fg.alphaF() * 0.45f);
    qreal x = (r.width() - contentWidth(m_titleShown)) / 2.0;
    if (m_spinning) {
        // An indeterminate ring: a three-quarter arc turning with the timer.
        const QRectF ring(x + 1.5, (r.height() - indicatorSize) / 2 + 1.5, indicatorSize - 3, indicatorSize - 3);
        painter.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
        painter.drawArc(ring, -m_angle * 16, 270 * 16);
        x += indicatorSize + spacing;
    } else if (!m_symbol.isEmpty()) {
        const qreal s = m.fontSize + 2;
        Symbols::paint(painter, QRectF(x, 0, s, r.height()), m_symbol, s, fg);
        x += s + spacing;
    }
    const QFont font = PillStyle::font(m_style.size);
    painter.setFont(font);
    painter.setPen(fg);
    if (const QString title = shownTitle(m_titleShown); !title.isEmpty()) {
        const qreal tw = QFontMetricsF(font).horizontalAdvance(title);
        painter.drawText(QRectF(x, 0, tw + 1, r.height()), Qt::AlignVCenter | Qt::AlignLeft, title);
        x += tw + spacing;
    }
    if (!m_trailing.isEmpty()) {
        const qreal tw = QFontMetricsF(font).horizontalAdvance(m_trailing);
        painter.drawText(QRectF(x, 0, tw + 1, r.height()), Qt::AlignVCenter | Qt::AlignLeft, m_trailing);
        x += tw + spacing;
    }
    if (!m_trailingSymbol.isEmpty()) {
        const qreal s = m_trailingSymbolSize + 2;
        x += trailingSymbolSpacing - spacing;
        Symbols::paint(painter, QRectF(x, 0, s, r.height()), m_trailingSymbol, m_trailingSymbolSize, fg);
    }
}

bool PillButton::hitButton(const QPoint& pos) const
{
    return Shapes::capsule(QRectF(rect())).contains(QPointF(pos) + QPointF(0.5, 0.5));
}

void PillButton::enterEvent(QEnterEvent* event)
{
    m_hovered = true;
    update();
    QAbstractButton::enterEvent(event);
}

void PillButton::leaveEvent(QEvent* event)
{
    m_hovered = false;
    update();
    QAbstractButton::leaveEvent(event);
}

PillButton* pill(PillButton* button, PillStyle::Variant variant, PillStyle::Size size)
{
    button->setPillStyle(PillStyle { variant, size });
    return button;
}

} // namespace zova
