#pragma once

#include <QWidget>

class QPainter;

namespace zova {

// The frame shared by the window and screen cards: a light glass card holding
// a 16:10 preview and a two-line text block. A left click anywhere on the card
// (its margins included) emits `clicked`; a double click emits it once.
class TargetCard : public QWidget {
    Q_OBJECT
public:
    static constexpr qreal cornerRadius = 12;
    static constexpr qreal previewCornerRadius = 8;
    static constexpr qreal previewAspect = 1.6;
    static constexpr int textBlockHeight = 34;

    explicit TargetCard(QWidget* parent = nullptr);

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return heightForCardWidth(width); }
    static int heightForCardWidth(int width);
    QSize sizeHint() const override;
    QRectF previewRect() const;
    QRectF textRect() const;

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

    virtual void paintPreview(QPainter& painter, const QRectF& rect) = 0;
    // The title line and the line below it.
    virtual void paintText(QPainter& painter, const QRectF& titleLine, const QRectF& secondLine) = 0;

private:
    bool m_pressed = false;
};

} // namespace zova
