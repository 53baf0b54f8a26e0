#pragma once

#include <QPointF>
#include <QPolygonF>
#include <QWidget>

class QPainter;

namespace zova {

// The brand mark: a gradient rounded square with a white pointer and optional ripples.
class ZOVAMark : public QWidget {
    Q_OBJECT
public:
    // The mark's geometry for an edge length, in the mark's own coordinates.
    struct Geometry {
        qreal cornerRadius;
        QPointF center; // the ripples' centre and the pointer's tip
        qreal outerRippleRadius, outerRippleWidth;
        qreal innerRippleRadius, innerRippleWidth;
        qreal pointerScale; // the unit pointer's scale before rotation
        QPolygonF pointer; // scaled, rotated and moved onto the centre
        qreal pointerOutlineWidth;
    };
    static Geometry geometry(qreal size);

    explicit ZOVAMark(qreal size, bool glow = false, bool showRipples = false, QWidget* parent = nullptr);

    qreal markSize() const { return m_size; }
    bool glow() const { return m_glow; }
    bool showRipples() const { return m_showRipples; }

    // Paints the mark of edge `size` with its top-left corner at `origin`; the
    // shadow spreads outside that square.
    static void paint(QPainter& painter, QPointF origin, qreal size, bool glow, bool showRipples);
    // The margin on each side the widget keeps for the shadow.
    static qreal shadowMargin(qreal size, bool glow);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    qreal m_size;
    bool m_glow;
    bool m_showRipples;
};

} // namespace zova
