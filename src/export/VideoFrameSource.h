#pragma once

#include <QImage>
#include <QList>
#include <QString>

#include <optional>

namespace zova {

class Step;

// One usable step of a video: its decoded screenshot (blur marks burned in), hotspot,
// text and background colour.
struct VideoFrameSource {
    QImage image;
    double clickX = 0;
    double clickY = 0;
    QString description;
    QString backgroundHex;
};

// The usable steps in the given order: a step without a file name or with an
// unreadable screenshot is left out. GUI thread (reads the records).
QList<VideoFrameSource> loadVideoFrames(const QList<Step*>& steps, const std::optional<QString>& guideBackgroundHex);

} // namespace zova
