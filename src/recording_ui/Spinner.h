#pragma once

#include <QTimer>
#include <QWidget>

namespace zova {

// An indeterminate progress indicator: a turning arc, animated only while shown.
class Spinner final : public QWidget {
    Q_OBJECT
public:
    explicit Spinner(int diameter, QWidget* parent = nullptr);
    QSize sizeHint() const override { return { m_diameter, m_diameter }; }
    void setOpacity(qreal opacity);

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    int m_diameter;
    int m_angle = 0;
    qreal m_opacity = 1;
    QTimer m_timer;
};

} // namespace zova
