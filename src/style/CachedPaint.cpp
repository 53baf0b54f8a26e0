#include "style/CachedPaint.h"

#include <QCache>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QTransform>

#include <cmath>

namespace zova::CachedPaint {

namespace {

QCache<QString, QImage>& images()
{
    static QCache<QString, QImage> cache(64 * 1024 * 1024); // bytes
    return cache;
}

bool isWhole(qreal v) { return std::abs(v - std::round(v)) < 1e-6; }

} // namespace

void paint(QPainter& painter, const QRectF& rect, const QString& key, const std::function<void(QPainter&)>& draw)
{
    const QTransform device = painter.deviceTransform();
    const qreal scale = device.m11();
    if (rect.isEmpty() || device.type() > QTransform::TxScale || scale <= 0 || device.m22() != scale || !isWhole(scale)
        || painter.opacity() < 1 || painter.compositionMode() != QPainter::CompositionMode_SourceOver) {
        draw(painter);
        return;
    }
    // A device pixel more on every side: antialiased clips and smooth scaling reach into it.
    const QRectF onDevice = device.mapRect(rect);
    const QRect whole(QPoint(int(std::floor(onDevice.left())) - 1, int(std::floor(onDevice.top())) - 1),
        QPoint(int(std::ceil(onDevice.right())), int(std::ceil(onDevice.bottom()))));
    const QPointF within = onDevice.topLeft() - QPointF(whole.topLeft());
    const QString fullKey = QStringLiteral("%1|%2x%3|%4,%5|%6|%7|%8")
                                .arg(key)
                                .arg(whole.width())
                                .arg(whole.height())
                                .arg(qRound(within.x() * 256))
                                .arg(qRound(within.y() * 256))
                                .arg(scale)
                                .arg(QGuiApplication::palette().cacheKey())
                                .arg(int(painter.renderHints()));
    QImage* image = images().object(fullKey);
    if (!image) {
        auto made = std::make_unique<QImage>(whole.size(), QImage::Format_ARGB32_Premultiplied);
        made->fill(Qt::transparent);
        {
            QPainter p(made.get());
            p.setRenderHints(painter.renderHints());
            p.setFont(painter.font());
            p.setWorldTransform(device * QTransform::fromTranslate(-whole.left(), -whole.top()));
            draw(p);
        }
        image = made.get();
        const qsizetype cost = qMax<qsizetype>(1, made->sizeInBytes());
        if (!images().insert(fullKey, made.release(), cost)) {
            draw(painter); // larger than the whole cache
            return;
        }
    }
    // One device pixel per image pixel, at the whole pixel the rect starts in.
    painter.save();
    painter.setWorldTransform(
        QTransform::fromTranslate(whole.left(), whole.top()) * device.inverted() * painter.worldTransform());
    painter.drawImage(QPointF(0, 0), *image);
    painter.restore();
}

void clear() { images().clear(); }

} // namespace zova::CachedPaint
