#include "style/SheetTransition.h"

#include <QPainter>
#include <QPropertyAnimation>
#include <QWidget>

namespace zova {

SheetTransition::SheetTransition(QWidget* sheet, qreal from, qreal to)
    : QGraphicsEffect(sheet)
    , m_progress(from)
{
    sheet->setGraphicsEffect(this);
    m_animation = new QPropertyAnimation(this, "progress", this);
    m_animation->setDuration(durationMs);
    m_animation->setEasingCurve(QEasingCurve::InOutQuad);
    m_animation->setStartValue(from);
    m_animation->setEndValue(to);
}

SheetTransition* SheetTransition::enter(QWidget* sheet)
{
    auto* transition = new SheetTransition(sheet, 0, 1);
    // The effect renders the whole sheet off screen on every paint: only while it comes in.
    connect(transition->m_animation, &QPropertyAnimation::finished, sheet, [sheet, transition] {
        if (sheet->graphicsEffect() == transition)
            sheet->setGraphicsEffect(nullptr);
    });
    transition->m_animation->start();
    return transition;
}

SheetTransition* SheetTransition::leaveAndDelete(QWidget* sheet)
{
    sheet->setAttribute(Qt::WA_TransparentForMouseEvents);
    sheet->clearFocus();
    // From wherever an unfinished entrance left it.
    const auto* current = qobject_cast<SheetTransition*>(sheet->graphicsEffect());
    auto* transition = new SheetTransition(sheet, current ? current->progress() : 1, 0);
    transition->m_animation->setDuration(int(durationMs * transition->m_progress));
    connect(transition->m_animation, &QPropertyAnimation::finished, sheet, &QObject::deleteLater);
    transition->m_animation->start();
    return transition;
}

void SheetTransition::setProgress(qreal progress)
{
    if (progress == m_progress)
        return;
    m_progress = progress;
    update();
}

void SheetTransition::draw(QPainter* painter)
{
    if (m_progress >= 1) {
        drawSource(painter);
        return;
    }
    if (m_progress <= 0)
        return;
    QPoint offset;
    const QPixmap pixmap = sourcePixmap(Qt::LogicalCoordinates, &offset, QGraphicsEffect::NoPad);
    if (pixmap.isNull())
        return;
    const QPointF centre = sourceBoundingRect(Qt::LogicalCoordinates).center();
    painter->save();
    painter->setOpacity(painter->opacity() * opacity());
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    painter->translate(centre);
    painter->scale(scale(), scale());
    painter->translate(-centre);
    painter->drawPixmap(offset, pixmap);
    painter->restore();
}

} // namespace zova
