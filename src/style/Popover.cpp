#include "style/Popover.h"

#include "style/Shapes.h"
#include "style/ZOVAColor.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace zova {

namespace {
constexpr int shadowMargin = 12; // room around the card for its shadow
constexpr int anchorGap = 2; // between the anchor and the arrow's tip
} // namespace

Popover::Popover(QWidget* anchor, QWidget* content)
    : QWidget(anchor->window())
    , m_anchor(anchor)
    , m_content(content)
{
    setObjectName(QStringLiteral("popover"));
    setAttribute(Qt::WA_TranslucentBackground);
    content->setParent(this);
    content->move(shadowMargin, shadowMargin + arrowHeight);
    content->show();
    qApp->installEventFilter(this);
    anchor->installEventFilter(this);
    reposition();
}

QRectF Popover::cardRect() const
{
    return QRectF(shadowMargin, shadowMargin + arrowHeight, m_content->width(), m_content->height());
}

void Popover::reposition()
{
    if (!m_anchor)
        return;
    m_content->adjustSize();
    const QSize size(m_content->width() + 2 * shadowMargin, m_content->height() + 2 * shadowMargin + arrowHeight);
    resize(size);
    QWidget* host = parentWidget();
    const QRect anchor(m_anchor->mapTo(host, QPoint(0, 0)), m_anchor->size());
    const int tipX = anchor.left() + anchor.width() / 2;
    const int left = std::clamp(tipX - size.width() / 2, 0, std::max(0, host->width() - size.width()));
    move(left, anchor.bottom() + 1 + anchorGap - shadowMargin);
    m_arrowX = tipX - left;
    raise();
    update();
}

bool Popover::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_anchor && (event->type() == QEvent::Move || event->type() == QEvent::Resize)) {
        reposition();
        return false;
    }
    if (!isVisible())
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != window())
        return false; // another window: a dialog the content opened, say
    if (event->type() == QEvent::MouseButtonPress) {
        // A press goes to the widget under it, then up to its parents: judge it once.
        auto* press = static_cast<QMouseEvent*>(event);
        if (press == m_lastPress && press->timestamp() == m_lastPressTime)
            return false;
        m_lastPress = press;
        m_lastPressTime = press->timestamp();
        const QPoint global = press->globalPosition().toPoint();
        const bool onCard = cardRect().contains(QPointF(mapFromGlobal(global)));
        const bool onAnchor
            = m_anchor && m_anchor->isVisible() && m_anchor->rect().contains(m_anchor->mapFromGlobal(global));
        if (!onCard && !onAnchor)
            emit dismissRequested();
    } else if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
            emit dismissRequested();
            return true;
        }
    }
    return false;
}

void Popover::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF card = cardRect();
    QPainterPath shape = Shapes::roundedRect(card, cornerRadius);
    QPainterPath arrow;
    const qreal tip
        = std::clamp(m_arrowX, card.left() + cornerRadius + arrowHeight, card.right() - cornerRadius - arrowHeight);
    arrow.moveTo(tip - arrowHeight, card.top() + 1);
    arrow.lineTo(tip, card.top() - arrowHeight);
    arrow.lineTo(tip + arrowHeight, card.top() + 1);
    arrow.closeSubpath();
    shape = shape.united(arrow);
    Shapes::paintShadow(painter, shape, QColor(0, 0, 0, 40), 10, QPointF(0, 3));
    painter.fillPath(shape, Shapes::windowBackground());
    painter.setPen(QPen(Shapes::withAlpha(ZOVAColor::separator(), 0.8), 0.5));
    painter.drawPath(shape);
}

} // namespace zova
