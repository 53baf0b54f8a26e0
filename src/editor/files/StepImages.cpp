#include "editor/files/StepImages.h"

#include "model/Guide.h"
#include "model/ModelContext.h"
#include "model/Step.h"

namespace zova::step_images {

namespace {
const QString addFailed = QStringLiteral("Couldn't add that image: ");
const QString replaceFailed = QStringLiteral("Couldn't replace the screenshot: ");
} // namespace

Expected<Step*, QString> addStep(Guide& guide, ModelContext& context, const ScreenshotFiles& files, const QImage& image)
{
    auto written = files.save(image);
    if (!written)
        return unexpected(addFailed + describe(written.error()));
    const QString filename = written.value();
    auto* step = new Step(guide.nextStepOrder(), filename, 0.5, 0.5);
    step->setGuide(&guide);
    if (step->context() != &context && !context.insert(step)) {
        step->setGuide(nullptr);
        delete step;
        files.remove(filename);
        return unexpected(addFailed + QStringLiteral("the step could not be added to the guide."));
    }
    if (auto saved = context.save(); !saved) {
        context.remove(step);
        files.remove(filename);
        return unexpected(addFailed + saved.error().description());
    }
    return step;
}

std::optional<QString> replaceScreenshot(
    Step& step, ModelContext& context, const ScreenshotFiles& files, const QImage& image)
{
    auto written = files.save(image);
    if (!written)
        return replaceFailed + describe(written.error());
    const QString old = step.screenshotFilename();
    step.setScreenshotFilename(written.value());
    if (auto saved = context.save(); !saved) {
        step.setScreenshotFilename(old);
        files.remove(written.value());
        return replaceFailed + saved.error().description();
    }
    files.remove(old);
    return std::nullopt;
}

std::optional<QString> refusalText(Change change, ImageReadError error)
{
    switch (error) {
    case ImageReadError::NotAFile:
    case ImageReadError::Unreadable: return std::nullopt;
    case ImageReadError::TooLarge: return (change == Change::Add ? addFailed : replaceFailed) + describe(error);
    }
    return std::nullopt;
}

} // namespace zova::step_images
