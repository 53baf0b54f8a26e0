#include "editor/canvas/StepImages.h"

#include "model/Guide.h"
#include "model/ModelContext.h"
#include "model/Step.h"
#include "model/StorageService.h"

namespace zova::step_images {

namespace {
const QString addFailed = QStringLiteral("Couldn't add that image: ");
const QString replaceFailed = QStringLiteral("Couldn't replace the screenshot: ");
} // namespace

Expected<Step*, QString> addStep(Guide& guide, ModelContext& context, const QImage& image)
{
    const StorageService& storage = StorageService::shared();
    auto written = storage.saveScreenshot(image);
    if (!written)
        return unexpected(addFailed + describe(written.error()));
    const QString filename = written.value();
    auto* step = new Step(guide.nextStepOrder(), filename, 0.5, 0.5);
    step->setGuide(&guide);
    if (step->context() != &context && !context.insert(step)) {
        step->setGuide(nullptr);
        delete step;
        storage.deleteScreenshot(filename);
        return unexpected(addFailed + QStringLiteral("the step could not be added to the guide."));
    }
    if (auto saved = context.save(); !saved) {
        context.remove(step);
        storage.deleteScreenshot(filename);
        return unexpected(addFailed + saved.error().description());
    }
    return step;
}

std::optional<QString> replaceScreenshot(Step& step, ModelContext& context, const QImage& image)
{
    const StorageService& storage = StorageService::shared();
    auto written = storage.saveScreenshot(image);
    if (!written)
        return replaceFailed + describe(written.error());
    const QString old = step.screenshotFilename();
    step.setScreenshotFilename(written.value());
    if (auto saved = context.save(); !saved) {
        step.setScreenshotFilename(old);
        storage.deleteScreenshot(written.value());
        return replaceFailed + saved.error().description();
    }
    storage.deleteScreenshot(old);
    return std::nullopt;
}

} // namespace zova::step_images
