#pragma once

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QPointF>
#include <QPointer>
#include <QRectF>
#include <QWidget>

#include <optional>

namespace zova {

class HotspotMarker;

// The focused step's screenshot fitted into the canvas on its video backdrop, a
// layer laid exactly over the displayed image, and the click marker above both.
// The image is scaled once per displayed size, not on every paint. Without an
// image it shows "Screenshot missing" and neither layer nor marker.
class ScreenshotView : public QWidget {
    Q_OBJECT
public:
    // Room around the card for its shadow.
    static constexpr int shadowMargin = 8;

    explicit ScreenshotView(QWidget* parent = nullptr);

    // The screenshot (null for none), its backdrop and the hotspot to mark.
    void setImage(const QImage& image);
    QImage image() const { return m_image; }
    void setBackdrop(const QColor& color);
    QColor backdrop() const { return m_backdrop; }
    void setHotspot(QPointF hotspot);

    // The card the image is fitted into, in this widget's coordinates.
    QRectF cardRect() const;
    // The displayed screenshot in this widget's coordinates; empty without an image.
    QRectF fittedRect() const;

    // A widget laid over the displayed image and kept at fittedRect(), below the
    // marker; it becomes this view's child. Null removes the current one.
    void setLayer(QWidget* layer);
    QWidget* layer() const { return m_layer; }
    HotspotMarker* marker() const { return m_marker; }

signals:
    void fittedRectChanged(QRectF rect);
    // The marker moved `translation` since its press, over an image displayed at `displayed`.
    void hotspotDragged(QPointF translation, QSizeF displayed);
    void hotspotReleased();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void relayout();
    const QPixmap& scaledImage(QSize deviceSize);

    QImage m_image;
    QColor m_backdrop = Qt::white;
    QPointF m_hotspot;
    QRectF m_fitted;
    QPixmap m_scaled;
    HotspotMarker* m_marker = nullptr;
    QPointer<QWidget> m_layer;
};

} // namespace zova
