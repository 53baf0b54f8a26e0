#pragma once

#include "editor/files/ImageFileDialog.h"
#include "model/StepAnnotation.h"

#include <QColor>
#include <QList>
#include <QObject>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QUuid>

#include <optional>

namespace zova {

class EditorController;
class Step;

// The canvas's operations on its editor's focused step: the hotspot, the
// description, the marks and their tools, the crop, the video background, and the
// step's screenshot file (added, replaced, handed to the image editor). Every file
// goes through the editor's file hook; a chosen image file is read off the GUI
// thread. GUI thread only.
class StepCanvasController : public QObject {
    Q_OBJECT
public:
    // A child of `editor`, which it serves for its whole life.
    explicit StepCanvasController(EditorController& editor);

    // The marker moved `translation` since its press over an image displayed at
    // `displayed`: the pending hotspot follows, the step's own waits for the end.
    void dragHotspot(QPointF translation, QSizeF displayed);
    // Writes the pending hotspot into the focused step, if the drag made one.
    void endHotspotDrag();
    // What the description field shows: the description when present (even
    // empty), else the OCR label.
    static QString descriptionText(const Step& step);
    // An edit of the field: the whole text becomes the description. Loading a step
    // into the field is no edit and must not come here.
    void setDescription(const QUuid& id, const QString& text);

    // The annotation tools: choosing the active tool again switches it off.
    void chooseTool(StepAnnotation::Kind kind);
    void setActiveTool(std::optional<StepAnnotation::Kind> tool);
    // Writes a step's marks; like every small edit it relies on the automatic save.
    void setMarks(const QUuid& stepId, const QList<StepAnnotation>& marks);

    // Cropping starts only for a focused step whose screenshot can be read.
    void requestCrop();
    // The row menu's crop: focuses and selects the step, then crops it.
    void cropStep(const QUuid& id);
    void endCropping();
    // Cuts the step's screenshot to `rect` (fractions of the image) with its
    // hotspot and marks; a failure is reported in the file alert.
    void applyCrop(const QUuid& stepId, const QRectF& rect);

    // A step's video background. A picked colour becomes the step's own (the
    // store saves it soon after); "apply to all" makes `hex` the guide's colour and
    // removes every step's own; "reset" removes the step's own. Both save.
    void pickBackground(const QUuid& id, const QColor& color);
    void applyBackgroundToAllSteps(const QString& hex);
    void resetBackground(const QUuid& id);

    // A step after the last one from an image file the user chooses, focused and
    // selected once the file is read. A file that is no readable image (a folder,
    // a named pipe, a device) changes nothing and says nothing; one too large to
    // read says so in the file alert.
    void addStepFromImageFile();
    // The step's screenshot replaced by an image file the user chooses, read the same way.
    void replaceScreenshot(const QUuid& id);
    // A copy of the focused step's screenshot opened in the desktop's image editor;
    // nothing without a focused step or a readable screenshot.
    void editInImageEditor();

private:
    void addChosen(const image_file::ReadResult& image);
    void replaceWithChosen(const QUuid& id, const image_file::ReadResult& image);

    EditorController& m_editor;
};

} // namespace zova
