#pragma once

#include "base/Expected.h"
#include "editor/files/ScreenshotFiles.h"
#include "model/StoreError.h"

#include <QRectF>
#include <QString>

#include <functional>

namespace zova {

class Step;

namespace step_crop {

enum class Outcome { Cropped, Unchanged };

struct Failure {
    enum class Code { NotSaved, NotCommitted };
    Code code;
    QString reason; // the folder's or the store's own words

    // The alert's text: "Couldn't save the cropped screenshot: " and the reason.
    QString message() const;
};

// Cuts the step's screenshot to `rect` (fractions of the image, origin top left;
// limited to the image and to whole pixels) and moves the hotspot and the marks
// with it, so they keep pointing at the same pixels. The new PNG is written
// first, the step changed and committed, and only then the old file removed.
// Unchanged, with nothing reported, when the screenshot can't be read or less
// than a pixel is left. A PNG that can't be written leaves everything as it was;
// a failed commit puts the file name, hotspot and marks back and removes the new file.
Expected<Outcome, Failure> apply(Step& step, const QRectF& rect, const ScreenshotFiles& files,
    const std::function<Expected<void, StoreError>()>& commit);

} // namespace step_crop
} // namespace zova
