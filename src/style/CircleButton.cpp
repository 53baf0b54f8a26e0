#include "style/CircleButton.h"

#include "style/Shapes.h"
#include "style/Symbols.h"
#include "style/ZOVAColor.h"

#include <QEvent>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace zova {

CircleButton::Look CircleButton::onControl(const QString& symbol, qreal side, qreal symbolSize)
{
    Look look;
    look.frame = side;
    look.diameter = side;
    look.fill = [](const QRectF&) { return QBrush(Shapes::withAlpha(Shapes::controlBackground(), 0.6)); };
    look.pressedFill = [](const QRectF&) { return QBrush(Shapes::withAlpha(Shapes::controlBackground(), 0.9)); };
    look.border = ZOVAColor::separator;
    look.symbol = symbol;
    look.symbolSize = symbolSize;
    look.symbolColor = ZOVAColor::label;
    return look;
}

// Paints the button's shadow from under it, in the button's parent, so the blur
// can reach past the button's square.
class CircleButtonShadow final : public QWidget {
public:
    CircleButtonShadow(CircleButton& button, QWidget* parent)
        : QWidget(parent)
        , m_button(&button)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (!m_button || !m_button->m_look.shadow)
            return;
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        if (!m_button->isEnabled())
            painter.setOpacity(0.45);
        const qreal m = CircleButton::shadowMargin;
        QPainterPath path;
        path.addEllipse(m_button->circleIn(QRectF(m, m, m_button->m_look.frame, m_button->m_look.frame)));
        Shapes::paintShadow(painter, path, *m_button->m_look.shadow, 6, QPointF(0, 2));
    }

private:
    QPointer<CircleButton> m_button;
};

CircleButton::CircleButton(Look look, QWidget* parent)
    : QAbstractButton(parent)
    , m_look(std::move(look))
{
    const int side = int(std::ceil(m_look.frame));
    setFixedSize(side, side);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
    placeShadow();
}

CircleButton::~CircleButton() { delete m_shadow.data(); }

QRectF CircleButton::circleIn(const QRectF& frame) const
{
    QRectF circle(0, 0, m_look.diameter, m_look.diameter);
    circle.moveCenter(frame.center());
    return circle;
}

void CircleButton::placeShadow()
{
    if (!m_look.shadow)
        return;
    if (m_shadow && m_shadow->parentWidget() != parentWidget()) {
        delete m_shadow.data();
        m_shadow.clear();
    }
    if (!parentWidget())
        return;
    if (!m_shadow)
        m_shadow = new CircleButtonShadow(*this, parentWidget());
    m_shadow->setGeometry(geometry().adjusted(-shadowMargin, -shadowMargin, shadowMargin, shadowMargin));
    m_shadow->setVisible(isVisibleTo(parentWidget()));
    m_shadow->stackUnder(this);
    m_shadow->update();
}

bool CircleButton::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::ParentChange:
    case QEvent::EnabledChange: placeShadow(); break;
    default: break;
    }
    return QAbstractButton::event(event);
}

void CircleButton::setSymbol(const QString& symbol)
{
    if (symbol == m_look.symbol)
        return;
    m_look.symbol = symbol;
    update();
}

QSize CircleButton::sizeHint() const
{
    const int side = int(std::ceil(m_look.frame));
    return { side, side };
}

void CircleButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled())
        painter.setOpacity(0.45);
    const QRectF circle = circleIn(QRectF(QPointF(0, 0), QSizeF(m_look.frame, m_look.frame)));
    QPainterPath path;
    path.addEllipse(circle);
    if (isDown() && m_look.pressedFill)
        painter.fillPath(path, m_look.pressedFill(circle));
    else if (m_look.fill)
        painter.fillPath(path, m_look.fill(circle));
    if (m_look.border)
        Shapes::strokeInside(painter, circle, m_look.diameter / 2, m_look.border(), m_look.borderWidth);
    if (!m_look.symbol.isEmpty())
        Symbols::paint(painter, circle, m_look.symbol, m_look.symbolSize,
            m_look.symbolColor ? m_look.symbolColor() : QColor(Qt::white));
}

} // namespace zova
