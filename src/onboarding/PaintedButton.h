#pragma once

#include <QAbstractButton>

#include <functional>

namespace zova {

// A frameless button drawn by a function: the plain-style buttons of the tip card
// and the onboarding footer. Pressed, it draws at reduced opacity.
class PaintedButton final : public QAbstractButton {
    Q_OBJECT
public:
    using Painter = std::function<void(QPainter&, const QRectF&, const PaintedButton&)>;
    PaintedButton(const QString& text, Painter painter, QWidget* parent = nullptr);

    // The size the owner gives it; 0 x 0 until set.
    void setPreferredSize(QSize size);
    QSize sizeHint() const override { return m_size; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Painter m_painter;
    QSize m_size;
};

} // namespace zova
