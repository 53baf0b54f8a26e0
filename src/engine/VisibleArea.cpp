#include "engine/VisibleArea.h"

#include <QHash>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace zova {

namespace {

// How far around the click the surrounding colour is sampled.
constexpr int sampleRadius = 24;

// The commonest colour of the visible pixels near the click: the face the
// click lies on, whatever glyph it hit.
QColor surroundingColour(const QImage& image, const QRegion& visibleArea, QPointF clickPixel)
{
    const QPoint click(int(std::floor(clickPixel.x())), int(std::floor(clickPixel.y())));
    QRect around(click - QPoint(sampleRadius, sampleRadius), QSize(2 * sampleRadius + 1, 2 * sampleRadius + 1));
    around &= image.rect();
    QHash<QRgb, int> counts;
    QRgb best = qRgb(255, 255, 255);
    int bestCount = 0;
    for (const QRect& rect : visibleArea& around) {
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            for (int x = rect.left(); x <= rect.right(); ++x) {
                const QRgb colour = image.pixel(x, y) | 0xff000000u;
                const int count = ++counts[colour];
                if (count > bestCount) {
                    best = colour;
                    bestCount = count;
                }
            }
        }
    }
    return QColor::fromRgb(best);
}

} // namespace

QImage showOnlyVisibleArea(const QImage& image, const QRegion& visibleArea, QPointF clickPixel)
{
    const QRegion hidden = QRegion(image.rect()) - visibleArea;
    if (hidden.isEmpty())
        return image;
    QImage shown = image.convertToFormat(QImage::Format_RGB32);
    const QColor fill = surroundingColour(image, visibleArea, clickPixel);
    QPainter painter(&shown);
    for (const QRect& rect : hidden)
        painter.fillRect(rect, fill);
    return shown;
}

} // namespace zova
