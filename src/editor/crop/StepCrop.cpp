#include "editor/crop/StepCrop.h"

#include "annotation/AnnotationGeometry.h"
#include "model/Step.h"

namespace zova::step_crop {

QString Failure::message() const { return QStringLiteral("Couldn't save the cropped screenshot: ") + reason; }

Expected<Outcome, Failure> apply(Step& step, const QRectF& rect, const ScreenshotFiles& files,
    const std::function<Expected<void, StoreError>()>& commit)
{
    const QString oldName = step.screenshotFilename();
    const QImage image = files.load(oldName);
    if (image.isNull())
        return Outcome::Unchanged;
    const std::optional<annotation::Crop> crop = annotation::cropFor(rect, image.size());
    if (!crop)
        return Outcome::Unchanged;
    const QImage cut = image.copy(crop->pixels);
    if (cut.isNull())
        return Outcome::Unchanged;
    const Expected<QString, StorageError> saved = files.save(cut);
    if (!saved)
        return unexpected(Failure { Failure::Code::NotSaved, describe(saved.error()) });

    const double oldX = step.clickX(), oldY = step.clickY();
    const std::optional<QByteArray> oldMarks = step.annotationsData();
    step.setScreenshotFilename(saved.value());
    const QPointF hotspot = annotation::remapHotspot({ oldX, oldY }, *crop);
    step.setClickX(hotspot.x());
    step.setClickY(hotspot.y());
    if (oldMarks)
        step.setAnnotations(annotation::remapAnnotations(step.annotations(), *crop));

    if (const Expected<void, StoreError> committed = commit(); !committed) {
        step.setScreenshotFilename(oldName);
        step.setClickX(oldX);
        step.setClickY(oldY);
        step.setAnnotationsData(oldMarks);
        files.remove(saved.value());
        return unexpected(Failure { Failure::Code::NotCommitted, committed.error().description() });
    }
    files.remove(oldName);
    return Outcome::Cropped;
}

} // namespace zova::step_crop
