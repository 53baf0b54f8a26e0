#pragma once

#include <QColor>
#include <QVariantAnimation>
#include <QWidget>

#include <functional>

namespace zova {

// An indeterminate progress indicator: a turning arc, animated only while shown.
// Its colour is read at paint time (the secondary label colour unless set).
class Spinner final : public QWidget {
    Q_OBJECT
public:
    explicit Spinner(int diameter, QWidget* parent = nullptr);
    QSize sizeHint() const override { return { m_diameter, m_diameter }; }
    void setOpacity(qreal opacity);
    void setColor(std::function<QColor()> color);

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    int m_diameter;
    qreal m_opacity = 1;
    std::function<QColor()> m_color;
    QVariantAnimation m_turn;
};

} // namespace zova
