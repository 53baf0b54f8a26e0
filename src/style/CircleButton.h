#pragma once

#include <QAbstractButton>
#include <QBrush>
#include <QColor>
#include <QPointer>

#include <functional>
#include <optional>

namespace zova {

// The kit's round button: a symbol over a filled circle with a hairline border
// inside its edge, centred in a square frame. Colours are read at paint time; a
// disabled button is drawn faded. A shadow spreads past the frame, so it is painted
// by a sibling under the button that follows its geometry, not clipped to the square.
class CircleButton : public QAbstractButton {
    Q_OBJECT
public:
    struct Look {
        qreal frame = 30; // side of the square the button occupies
        qreal diameter = 30; // circle, centred in the frame
        std::function<QBrush(const QRectF& circle)> fill;
        std::function<QBrush(const QRectF& circle)> pressedFill; // none: the fill
        std::function<QColor()> border; // none: no border
        qreal borderWidth = 0.5;
        QString symbol;
        qreal symbolSize = 11;
        std::function<QColor()> symbolColor;
        std::optional<QColor> shadow; // drawn with radius 6, offset (0, 2)
    };

    // A symbol in the label colour on a disc of the control background, edged by a separator hairline.
    static Look onControl(const QString& symbol, qreal side, qreal symbolSize);

    explicit CircleButton(Look look, QWidget* parent = nullptr);
    ~CircleButton() override;

    QString symbol() const { return m_look.symbol; }
    void setSymbol(const QString& symbol);
    QSize sizeHint() const override;
    // How far the shadow reaches past the frame on every side.
    static constexpr int shadowMargin = 9;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    friend class CircleButtonShadow;
    QRectF circleIn(const QRectF& frame) const;
    void placeShadow();

    Look m_look;
    QPointer<QWidget> m_shadow;
};

} // namespace zova
