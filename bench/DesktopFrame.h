#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>

// A 1920 x 1080 application window: a toolbar, a sidebar of labels, a page of
// text and a bright pointer dot.
inline QImage desktopFrame(QImage::Format format)
{
    QImage image(1920, 1080, format);
    image.fill(QColor(250, 250, 252));
    QPainter p(&image);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(15);
    p.setFont(font);
    p.fillRect(0, 0, 1920, 48, QColor(232, 234, 240));
    p.setPen(QColor(30, 30, 30));
    const char* toolbar[] = { "File", "Edit", "View", "Insert", "Format", "Tools", "Help" };
    for (int i = 0; i < 7; ++i)
        p.drawText(24 + 90 * i, 30, QString::fromUtf8(toolbar[i]));
    for (int i = 0; i < 24; ++i)
        p.drawText(24, 90 + 38 * i, QStringLiteral("Sidebar item %1").arg(i + 1));
    for (int i = 0; i < 40; ++i)
        p.drawText(320, 90 + 24 * i,
            QStringLiteral("Paragraph line %1 with a few more words to read across the page").arg(i + 1));
    p.setBrush(QColor(250, 250, 250));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPoint(960, 546), 12, 12);
    return image;
}
