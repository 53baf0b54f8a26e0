#pragma once

#include "model/AccentHue.h"

#include <QImage>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <QStringList>

class QPainter;

namespace zova::step_row {

// One row of the step list: badge, label of at most two lines, and the
// screenshot's thumbnail below the label when the step has one.
inline constexpr int padding = 10;
inline constexpr int badgeSize = 24;
inline constexpr int spacing = 10;
inline constexpr int thumbnailHeight = 64;
inline constexpr qreal cornerRadius = 10;

struct Look {
    int number = 1;
    AccentHue hue = AccentHue::Pink;
    QString label;
    bool focused = false;
    bool selected = false;
    bool dragged = false; // drawn faded while its drag runs
    bool hasThumbnail = false; // the space is kept while the image loads
    QImage thumbnail;
};

// The width of the label and thumbnail column in a row `rowWidth` wide.
int textWidth(int rowWidth);
// The thumbnail box of the widest row of a list column, in device pixels.
QSize thumbnailBox(int rowWidth, qreal devicePixelRatio);
// The label as drawn: at most two lines, the second elided.
QStringList labelLines(const QString& label, int width);
int height(const QString& label, bool hasThumbnail, int rowWidth);
void paint(QPainter& painter, const QRect& rect, const Look& look);

// The picture under the pointer while a row is dragged: badge and one line of label.
QPixmap dragPreview(int number, AccentHue hue, const QString& label, qreal devicePixelRatio);

} // namespace zova::step_row
