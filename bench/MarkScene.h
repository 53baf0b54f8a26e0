#pragma once

#include "model/StepAnnotation.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>

// A window of `width` x `height`: a title bar, a sidebar and forty lines of
// addresses and keys, the kind of text a blur mark hides.
inline QImage textScreenshot(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(248, 248, 250));
    QPainter p(&image);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(height / 60);
    p.setFont(font);
    p.fillRect(0, 0, width, height / 24, QColor(52, 58, 74));
    p.fillRect(0, height / 24, width / 7, height, QColor(232, 234, 240));
    p.setPen(QColor(30, 30, 30));
    for (int i = 0; i < 40; ++i)
        p.drawText(width / 6, height / 12 + i * height / 45,
            QStringLiteral("Line %1: user@example.org, key 4827-1930-5561").arg(i + 1));
    return image;
}

// A magenta mark of the kind over the rectangle (fractions), labelled "Click here".
inline zova::StepAnnotation benchMark(zova::StepAnnotation::Kind kind, double x, double y, double w, double h)
{
    zova::StepAnnotation a;
    a.kind = kind;
    a.x = x;
    a.y = y;
    a.width = w;
    a.height = h;
    a.colorHex = QStringLiteral("ff3d8a");
    a.text = QStringLiteral("Click here");
    return a;
}
