#pragma once

#include "model/StepAnnotation.h"

#include <QImage>
#include <QList>
#include <QString>

#include <optional>

namespace zova {

class Step;
class StorageService;

// One usable step of a video: where its screenshot lies in the screenshot folder
// (decoded only while its slide is drawn), its marks, hotspot, text and
// background colour.
struct VideoFrameSource {
    QString screenshotPath;
    QList<StepAnnotation> annotations;
    double clickX = 0;
    double clickY = 0;
    QString description;
    QString backgroundHex;
};

// The usable steps in the given order: a step without a file name or whose file
// is not a readable image is left out. Only the files' headers are read here.
// GUI thread (reads the records).
QList<VideoFrameSource> loadVideoFrames(
    const StorageService& storage, const QList<Step*>& steps, const std::optional<QString>& guideBackgroundHex);

// The source's screenshot, decoded as stored; a null image when it cannot be read.
// Any thread.
QImage loadFrameScreenshot(const VideoFrameSource& source);

} // namespace zova
