#include "export/VideoFrameSource.h"

#include "model/ImageReading.h"
#include "model/Step.h"
#include "model/StorageService.h"
#include "model/VideoBackground.h"

#include <QImageReader>

namespace zova {

QList<VideoFrameSource> loadVideoFrames(
    const StorageService& storage, const QList<Step*>& steps, const std::optional<QString>& guideBackgroundHex)
{
    QList<VideoFrameSource> result;
    for (int i = 0; i < steps.size(); ++i) {
        const Step* step = steps.at(i);
        if (!step || step->screenshotFilename().isEmpty())
            continue;
        const auto path = storage.pathFor(step->screenshotFilename());
        if (!path)
            continue;
        QImageReader reader(*path);
        if (!reader.canRead() || reader.size().isEmpty())
            continue;
        VideoFrameSource source;
        source.screenshotPath = *path;
        source.annotations = step->annotations();
        if (const auto d = step->userDescription())
            source.description = *d;
        else if (const auto l = step->ocrLabel())
            source.description = *l;
        else
            source.description = QStringLiteral("Step ") + QString::number(i + 1);
        source.backgroundHex = video_background::effectiveHex(step->videoBackgroundHex(), guideBackgroundHex);
        source.clickX = step->clickX();
        source.clickY = step->clickY();
        result.append(std::move(source));
    }
    return result;
}

QImage loadFrameScreenshot(const VideoFrameSource& source)
{
    auto image = readImageFile(source.screenshotPath, false);
    return image ? std::move(image).value() : QImage();
}

} // namespace zova
