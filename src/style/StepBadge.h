#pragma once

#include "model/AccentHue.h"

#include <QFont>
#include <QWidget>

class QPainter;

namespace zova {

// The numbered circle of a step. The hue is kept for the callers and not drawn.
class StepBadge : public QWidget {
    Q_OBJECT
public:
    StepBadge(int number, AccentHue hue, qreal size, QWidget* parent = nullptr);

    int number() const { return m_number; }
    void setNumber(int number);
    AccentHue hue() const { return m_hue; }
    qreal badgeSize() const { return m_size; }

    static QString text(int number);
    static QFont font(qreal size);
    // Paints a badge of diameter `size` with its top-left at `origin`.
    static void paint(QPainter& painter, QPointF origin, int number, AccentHue hue, qreal size);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_number;
    AccentHue m_hue;
    qreal m_size;
};

} // namespace zova
