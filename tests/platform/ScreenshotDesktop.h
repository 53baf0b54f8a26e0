#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QDir>
#include <QImage>
#include <QImageWriter>
#include <QPainter>

#include <algorithm>

// The real application screenshots of `folder` laid out on a 1920 x 1080 desktop.
inline QImage desktopOfScreenshots(const QString& folder)
{
    QImage desktop(1920, 1080, QImage::Format_RGB32);
    desktop.fill(QColor(38, 52, 74));
    QPainter p(&desktop);
    int x = 16;
    int y = 16;
    int rowHeight = 0;
    const QDir dir(folder);
    for (const QString& name : dir.entryList({ QStringLiteral("*.png") }, QDir::Files, QDir::Name)) {
        const QImage shot(dir.filePath(name));
        if (x + shot.width() > desktop.width()) {
            x = 16;
            y += rowHeight + 16;
            rowHeight = 0;
        }
        p.drawImage(x, y, shot);
        x += shot.width() + 16;
        rowHeight = std::max(rowHeight, shot.height());
    }
    return desktop;
}

// The image as Qt's PNG writer encodes it.
inline QByteArray qtPngBytes(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "png").write(image);
    return bytes;
}
