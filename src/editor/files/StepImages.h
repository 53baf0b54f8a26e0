#pragma once

#include "base/Expected.h"
#include "editor/files/ScreenshotFiles.h"
#include "model/ImageReading.h"

#include <QImage>
#include <QString>

#include <optional>

namespace zova {

class Guide;
class ModelContext;
class Step;

// The operations that give a step a new screenshot file. Each writes the new file
// first, then commits the record, and only then removes what it replaced, so a
// failure at any point leaves the store and the folder as they were. Failures
// come back as the text of the editor's "Something went wrong" alert.
namespace step_images {

// A step made from `image` after the guide's last one (largest order + 1), its
// hotspot at the centre. The new step, inserted and saved.
Expected<Step*, QString> addStep(
    Guide& guide, ModelContext& context, const ScreenshotFiles& files, const QImage& image);

// Gives the step `image` as its screenshot; hotspot and marks keep their
// fractions. Nothing on success.
std::optional<QString> replaceScreenshot(
    Step& step, ModelContext& context, const ScreenshotFiles& files, const QImage& image);

enum class Change { Add, Replace };
// The alert's text for a chosen file that gave no image, or none when the failure
// goes unreported: a file that is no readable image changes nothing and says
// nothing, while one too large to read is named.
std::optional<QString> refusalText(Change change, ImageReadError error);

} // namespace step_images
} // namespace zova
