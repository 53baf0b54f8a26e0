#include "editor/canvas/ScreenshotView.h"

#include "editor/canvas/CanvasFit.h"
#include "editor/canvas/HotspotMarker.h"
#include "style/Shapes.h"
#include "style/Typography.h"
#include "style/ZOVAColor.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace zova {

namespace {
constexpr qreal cardRadius = 16;
constexpr qreal imageRadius = 10;
constexpr qreal missingBandHeight = 240;
} // namespace

ScreenshotView::ScreenshotView(QWidget* parent)
    : QWidget(parent)
    , m_marker(new HotspotMarker(this))
{
    setObjectName(QStringLiteral("screenshotView"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    m_marker->hide();
    connect(m_marker, &HotspotMarker::dragged, this,
        [this](QPointF translation) { emit hotspotDragged(translation, m_fitted.size()); });
    connect(m_marker, &HotspotMarker::released, this, &ScreenshotView::hotspotReleased);
}

void ScreenshotView::setImage(const QImage& image)
{
    if (image.cacheKey() == m_image.cacheKey() && image.isNull() == m_image.isNull())
        return;
    m_image = image;
    m_scaled = QPixmap();
    relayout();
    update();
}

void ScreenshotView::setBackdrop(const QColor& color)
{
    if (color == m_backdrop)
        return;
    m_backdrop = color;
    update();
}

void ScreenshotView::setHotspot(QPointF hotspot)
{
    if (hotspot == m_hotspot)
        return;
    m_hotspot = hotspot;
    relayout();
}

QRectF ScreenshotView::cardRect() const
{
    return QRectF(rect()).adjusted(shadowMargin, shadowMargin, -shadowMargin, -shadowMargin);
}

QRectF ScreenshotView::fittedRect() const { return m_fitted; }

void ScreenshotView::setLayer(QWidget* layer)
{
    if (layer == m_layer)
        return;
    if (m_layer)
        m_layer->deleteLater();
    m_layer = layer;
    if (layer) {
        layer->setParent(this);
        layer->stackUnder(m_marker);
    }
    relayout();
}

void ScreenshotView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    relayout();
}

void ScreenshotView::relayout()
{
    const QRectF card = cardRect();
    QRectF fitted;
    if (!m_image.isNull() && !card.isEmpty()) {
        const QSizeF imageSize = QSizeF(m_image.size()) / m_image.devicePixelRatio();
        fitted = canvas_fit::fittedRect(imageSize, card.size()).translated(card.topLeft());
    }
    const bool shown = !fitted.isEmpty();
    if (fitted != m_fitted) {
        m_fitted = fitted;
        emit fittedRectChanged(m_fitted);
    }
    if (m_layer) {
        m_layer->setGeometry(m_fitted.toAlignedRect());
        m_layer->setVisible(shown);
    }
    m_marker->setVisible(shown);
    if (shown) {
        m_marker->setCentre(canvas_fit::hotspotPoint(m_fitted, m_hotspot));
        m_marker->raise();
    }
    update();
}

const QPixmap& ScreenshotView::scaledImage(QSize deviceSize)
{
    if (m_scaled.size() != deviceSize) {
        m_scaled = QPixmap::fromImage(
            m_image.scaled(deviceSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation), Qt::NoFormatConversion);
        m_scaled.setDevicePixelRatio(devicePixelRatioF());
    }
    return m_scaled;
}

void ScreenshotView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF card = cardRect();
    if (card.isEmpty())
        return;
    if (m_fitted.isEmpty()) {
        // The band of the missing screenshot, centred where the image would be.
        painter.setFont(Typography::font(13));
        const QString text = QStringLiteral("Screenshot missing");
        const qreal textHeight = painter.fontMetrics().height();
        const qreal height = std::max(missingBandHeight, textHeight);
        const QRectF band(card.left(), card.center().y() - height / 2, card.width(), height);
        painter.fillPath(Shapes::roundedRect(band, cardRadius), m_backdrop);
        painter.setPen(ZOVAColor::secondaryLabel());
        painter.drawText(band, Qt::AlignCenter, text);
        return;
    }
    const QPainterPath cardPath = Shapes::roundedRect(card, cardRadius);
    Shapes::paintShadow(painter, cardPath, QColor(0, 0, 0, int(0.08 * 255)), 14, QPointF(0, 6));
    painter.fillPath(cardPath, m_backdrop);
    painter.save();
    painter.setClipPath(Shapes::roundedRect(m_fitted, imageRadius));
    const qreal dpr = devicePixelRatioF();
    const QSize device(
        std::max(1, int(std::lround(m_fitted.width() * dpr))), std::max(1, int(std::lround(m_fitted.height() * dpr))));
    painter.drawPixmap(m_fitted, scaledImage(device), QRectF(QPointF(), QSizeF(device)));
    painter.restore();
    Shapes::strokeInside(painter, card, cardRadius, QColor(0, 0, 0, int(0.07 * 255)), 0.5);
}

} // namespace zova
