#include "export/VideoFrameSource.h"

#include "export/BlurMarks.h"
#include "model/Step.h"
#include "model/StorageService.h"

namespace zova {

QList<VideoFrameSource> loadVideoFrames(const QList<Step*>& steps, const std::optional<QString>& guideBackgroundHex)
{
    QList<VideoFrameSource> result;
    for (int i = 0; i < steps.size(); ++i) {
        const Step* step = steps.at(i);
        if (!step || step->screenshotFilename().isEmpty())
            continue;
        QImage image = StorageService::shared().loadScreenshot(step->screenshotFilename());
        if (image.isNull())
            continue;
        VideoFrameSource source;
        source.image = burnBlurMarks(image, step->annotations());
        if (const auto d = step->userDescription())
            source.description = *d;
        else if (const auto l = step->ocrLabel())
            source.description = *l;
        else
            source.description = QStringLiteral("Step ") + QString::number(i + 1);
        source.backgroundHex
            = step->videoBackgroundHex().value_or(guideBackgroundHex.value_or(QStringLiteral("f5f3ef")));
        source.clickX = step->clickX();
        source.clickY = step->clickY();
        result.append(std::move(source));
    }
    return result;
}

} // namespace zova
