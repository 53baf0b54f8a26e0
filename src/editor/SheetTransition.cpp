#include "editor/SheetTransition.h"

#include <QGraphicsOpacityEffect>
#include <QPropertyAnimation>
#include <QWidget>

namespace zova::sheet_transition {

namespace {

QPropertyAnimation* fade(QWidget* sheet, qreal from, qreal to)
{
    auto* effect = new QGraphicsOpacityEffect(sheet);
    effect->setOpacity(from);
    sheet->setGraphicsEffect(effect);
    auto* animation = new QPropertyAnimation(effect, "opacity", effect);
    animation->setDuration(durationMs);
    animation->setEasingCurve(QEasingCurve::InOutQuad);
    animation->setStartValue(from);
    animation->setEndValue(to);
    return animation;
}

} // namespace

void fadeIn(QWidget* sheet)
{
    QPropertyAnimation* animation = fade(sheet, 0, 1);
    // An opacity effect renders the whole sheet off screen on every paint: only while fading.
    QObject::connect(animation, &QPropertyAnimation::finished, sheet, [sheet] { sheet->setGraphicsEffect(nullptr); });
    animation->start();
}

void fadeOutAndDelete(QWidget* sheet)
{
    sheet->setAttribute(Qt::WA_TransparentForMouseEvents);
    sheet->clearFocus();
    QPropertyAnimation* animation = fade(sheet, 1, 0);
    QObject::connect(animation, &QPropertyAnimation::finished, sheet, &QObject::deleteLater);
    animation->start();
}

} // namespace zova::sheet_transition
