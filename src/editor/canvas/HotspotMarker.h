#pragma once

#include <QPointF>
#include <QWidget>

#include <optional>

namespace zova {

// The click marker over the screenshot: magenta rings on a glass disc, grabbed
// anywhere in a circle 44 px across. A drag is measured in global pointer
// coordinates from the press, since the marker itself moves while it runs.
class HotspotMarker : public QWidget {
    Q_OBJECT
public:
    static constexpr int side = 44;

    explicit HotspotMarker(QWidget* parent = nullptr);

    // Places the marker's centre at a point of the parent.
    void setCentre(QPointF centre);
    bool isDragging() const { return m_pressGlobal.has_value(); }

signals:
    // The total movement since the press.
    void dragged(QPointF translation);
    // The press ended (released or the grab was lost).
    void released();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void finish();

    std::optional<QPointF> m_pressGlobal;
};

} // namespace zova
