#pragma once

// The table of screenshots with a secret under a blur mark, shared by every exit
// that must hide it: the exports and the editor's canvas.
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QRectF>
#include <QSize>

#include <algorithm>
#include <cmath>
#include <vector>

namespace zova::test::redaction {

struct Case {
    const char* name;
    QSize size;
    int textPx;
    // The mark in fractions of the image; empty takes the text's box with a margin.
    QRectF mark;
    double rotation = 0;
    bool hides = true; // false: the mark is off the secret, which stays readable
};

inline const QList<Case>& cases()
{
    static const QList<Case> table = {
        { "window capture, 48 px digits", { 400, 300 }, 48, {} },
        { "1080p, 300 px text", { 1920, 1080 }, 300, {} },
        { "4K, 200 px text", { 3840, 2160 }, 200, {} },
        { "rotated mark", { 400, 300 }, 48, {}, 45 },
        { "absurd width through the text", { 1920, 1080 }, 120, QRectF(-1e9, 0.3, 2e9, 0.4) },
        { "reaches far past every edge", { 800, 600 }, 64, QRectF(-50, -50, 100, 100) },
        // Last, so that the visible secret cannot reach other steps' video frames.
        { "far off the image", { 400, 300 }, 48, QRectF(5, 5, 0.5, 0.5), 0, false },
    };
    return table;
}

// A light application window with sidebar, lines and a button, and the secret
// written large in its middle.
inline QImage capture(const Case& c, const QString& secret, QRectF* textBox = nullptr)
{
    const int w = c.size.width(), h = c.size.height();
    QImage img(c.size, QImage::Format_RGB32);
    img.fill(QColor(248, 248, 250));
    QPainter p(&img);
    p.fillRect(0, 0, w, h / 14, QColor(52, 58, 74));
    p.fillRect(0, h / 14, w / 6, h, QColor(230, 233, 240));
    for (int i = 0; i < 10; ++i)
        p.fillRect(w / 5, h / 10 + i * h / 11, w / 2 + (i % 3) * w / 10, std::max(2, h / 90), QColor(200, 204, 214));
    p.fillRect(QRectF(w * 0.72, h * 0.86, w * 0.16, h * 0.08), QColor(40, 110, 220));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(c.textPx);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(20, 20, 30));
    const QFontMetricsF fm(font);
    const QRectF box = fm.boundingRect(secret);
    const QPointF origin((w - box.width()) / 2 - box.left(), (h - box.height()) / 2 - box.top());
    p.drawText(origin, secret);
    if (textBox)
        *textBox = box.translated(origin);
    return img;
}

inline QRectF markFor(const Case& c, const QRectF& textBox)
{
    if (!c.mark.isEmpty())
        return c.mark;
    const QRectF r = textBox.adjusted(-c.textPx / 4.0, -c.textPx / 4.0, c.textPx / 4.0, c.textPx / 4.0);
    return QRectF(
        r.x() / c.size.width(), r.y() / c.size.height(), r.width() / c.size.width(), r.height() / c.size.height());
}

// The largest difference of any channel of any pixel inside `area`, after the
// 0.5 % most different pixels are set aside (lossy codecs move a few).
inline int difference(const QImage& a, const QImage& b, const QRect& area)
{
    if (a.size() != b.size())
        return 256;
    const QImage x = a.convertToFormat(QImage::Format_RGB32), y = b.convertToFormat(QImage::Format_RGB32);
    std::vector<int> diffs;
    const QRect r = area.intersected(x.rect());
    diffs.reserve(size_t(r.width()) * size_t(r.height()));
    for (int row = r.top(); row <= r.bottom(); ++row) {
        const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
        const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
        for (int col = r.left(); col <= r.right(); ++col)
            diffs.push_back(std::max({ std::abs(qRed(p[col]) - qRed(q[col])), std::abs(qGreen(p[col]) - qGreen(q[col])),
                std::abs(qBlue(p[col]) - qBlue(q[col])) }));
    }
    if (diffs.empty())
        return 0;
    const auto keep = diffs.begin() + std::ptrdiff_t(double(diffs.size() - 1) * 0.995);
    std::nth_element(diffs.begin(), keep, diffs.end());
    return *keep;
}

} // namespace zova::test::redaction
