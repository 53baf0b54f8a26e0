#pragma once

#include <QAbstractButton>
#include <QBrush>
#include <QColor>

#include <functional>
#include <optional>

namespace zova {

// A plain button drawn as a symbol over a filled circle with a hairline border
// inside its edge, centred in a square frame. Colours are read at paint time.
class CircleButton final : public QAbstractButton {
    Q_OBJECT
public:
    struct Look {
        qreal frame = 30; // side of the square the button occupies
        qreal diameter = 30; // circle, centred in the frame
        std::function<QBrush(const QRectF& circle)> fill;
        std::function<QColor()> border; // none: no border
        qreal borderWidth = 0.5;
        QString symbol;
        qreal symbolSize = 11;
        std::function<QColor()> symbolColor;
        std::optional<QColor> shadow; // drawn with radius 6, offset (0, 2)
    };

    explicit CircleButton(Look look, QWidget* parent = nullptr);

    QString symbol() const { return m_look.symbol; }
    void setSymbol(const QString& symbol);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Look m_look;
};

} // namespace zova
