#pragma once

#include "editor/EditorState.h"
#include "editor/files/ImageEditorHandOff.h"
#include "editor/files/ScreenshotFiles.h"
#include "editor/list/SelectionRules.h"

#include <QColor>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QSizeF>
#include <QTimer>

#include <functional>
#include <optional>
#include <utility>

namespace zova {

class Guide;
class ModelContext;
class Step;

// The operations of one open guide: selection, deletion, reordering, the title,
// the sheets laid over the editor. Holds the guide by pointer that it checks and
// steps by id, looked up again on every use; widgets paint from state() and call
// the operations. GUI thread only.
class EditorController : public QObject {
    Q_OBJECT
public:
    // What the editor reaches outside itself; any may be left empty.
    struct Hooks {
        // Back to the library.
        std::function<void()> close;
        // Records more steps into the guide (the library's recording flow).
        std::function<void(Guide* guide)> appendRecording;
        // The screenshot folder; empty members use the shared one.
        ScreenshotFiles files;
        // Asks the user for an image file: none when cancelled or unreadable.
        // Empty: there is no image to add.
        std::function<std::optional<QImage>()> chooseImage;
        // Where "Edit in Image Editor" puts its copy and how it opens it.
        ImageEditorHandOff imageEditor;
    };

    // The auto-scroll pace while the pointer rests on an edge strip.
    static constexpr int autoScrollIntervalMs = 120;

    EditorController(Guide* guide, ModelContext* context, Hooks hooks = {}, QObject* parent = nullptr);
    ~EditorController() override;

    // Null once the guide was deleted.
    Guide* guide() const;
    const EditorState& state() const { return m_state; }
    // The guide's steps by order; empty without a guide.
    QList<Step*> orderedSteps() const;
    Step* step(const QUuid& id) const;
    // The step the canvas shows, if it still exists.
    Step* focusedStep() const;
    // The live selected steps.
    qsizetype selectedCount() const;
    // The step's place in orderedSteps(), or -1.
    int positionOf(const QUuid& id) const;

    // The editor came on screen: focuses and selects the first step unless one is focused.
    void appear();

    // A click on a row.
    void clickRow(const QUuid& id, selection::Click kind);

    // Deletion always asks first. The keyboard and the footer ask about the
    // selection (nothing happens when it is empty); the row's menu about one step.
    void requestDeleteSelection();
    void requestDeleteStep(const QUuid& id);
    void confirmDelete();
    void cancelDelete();
    // Removes the steps and their records, renumbers the rest 0..n-1, saves, then
    // removes the screenshot files (at a later save when this one fails). Empties
    // the selection and focuses the step before the first deleted one.
    void performDelete(const QSet<QUuid>& ids);

    // Moves a step into gap 0..n; false (and nothing written) for an unknown step,
    // a gap out of range, or the step's own gaps. Only changed orders are written.
    bool moveStep(const QUuid& id, int gap);
    // The "Move to Step" entry: lands the step at `position` of the ordered list.
    bool moveToPosition(const QUuid& id, int position);

    // Drag reordering. The drag ends through endDrag() however it ends.
    void beginDrag(const QUuid& id);
    // A gap or row half became the drop target.
    void enterDropGap(int gap);
    // The drag left gap `gap`; ignored when another gap is the target already.
    void leaveDropGap(int gap);
    void setEdgeHover(ScrollDirection direction, bool hovering);
    // A drop on gap `gap` (none for an edge strip) of a payload: clears the drag
    // state, then moves. False when nothing moved.
    bool drop(const QByteArray& payload, std::optional<int> gap);
    void endDrag();
    // One auto-scroll step: moves lastActiveIndex one gap toward the hovered edge
    // and asks the list to show it. The timer calls it while an edge is hovered.
    void autoScrollTick();
    bool autoScrolling() const { return m_autoScroll.isActive(); }

    // The title field: its draft follows the stored title unless `editing`.
    void setTitleDraft(const QString& text);
    void syncTitleDraft(bool editing);
    // Stores the trimmed draft; an empty one restores the stored title.
    void commitTitle();

    // The export panel opens only for a guide with steps.
    void openExportPanel();
    void dismissExportPanel();
    bool canExport() const;

    void setSmartEditMenuOpen(bool open);
    void setBackgroundPickerOpen(bool open);

    // A step's video background. A picked colour becomes the step's own (the
    // store saves it soon after); "apply to all" makes `hex` the guide's colour and
    // removes every step's own; "reset" removes the step's own. Both save.
    void pickBackground(const QUuid& id, const QColor& color);
    void applyBackgroundToAllSteps(const QString& hex);
    void resetBackground(const QUuid& id);

    void requestAppendRecording();
    // Commits the title, then returns to the library.
    void close();

    // The annotation tools: choosing the active tool again switches it off.
    void chooseTool(StepAnnotation::Kind kind);
    void setActiveTool(std::optional<StepAnnotation::Kind> tool);
    // Writes a step's marks; like every small edit it relies on the automatic save.
    void setMarks(const QUuid& stepId, const QList<StepAnnotation>& marks);
    // Cuts the step's screenshot to `rect` (fractions of the image) with its
    // hotspot and marks; a failure is reported in the file alert.
    void applyCrop(const QUuid& stepId, const QRectF& rect);
    // The canvas. While steps exist one of them is focused: when none is (the
    // focused one left the selection or the guide, steps arrived in an empty guide)
    // the first is focused, the selection staying as it is.

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
    void setModelAvailable(bool available);

    // Cropping starts only for a focused step whose screenshot can be read.
    void requestCrop();
    // The row menu's crop: focuses and selects the step, then crops it.
    void cropStep(const QUuid& id);
    void endCropping();

    void setAddStepMenu(bool open);
    void toggleAddStepMenu();
    // A step after the last one from an image the user chooses; focused and selected.
    void addStepFromImageFile();
    // The step's screenshot replaced by an image the user chooses.
    void replaceScreenshot(const QUuid& id);
    // A copy of the focused step's screenshot opened in the desktop's image editor;
    // nothing without a focused step or a readable screenshot.
    void editInImageEditor();

    void reportFileError(const QString& message);
    void clearFileError();
    void reportAiError(const QString& message);
    void clearAiError();

signals:
    void selectionChanged();
    // Steps were added, removed, reordered or changed.
    void stepsChanged();
    void dragChanged();
    void sheetsChanged();
    void alertsChanged();
    // The stored title or the draft.
    void titleChanged();
    void toolChanged();
    // The pending hotspot or the model's availability.
    void canvasChanged();
    // Scroll the list so gap `gap` shows at the edge of `direction`.
    void autoScrollRequested(int gap, ScrollDirection direction);

private:
    void setSelection(const Selection& selection);
    void setDrag(const DragState& drag);
    void setSheets(const SheetState& sheets);
    // One field of the sheets, the others kept.
    template <typename T, typename V> void setSheet(T SheetState::*field, V&& value)
    {
        SheetState sheets = m_state.sheets;
        sheets.*field = std::forward<V>(value);
        setSheets(sheets);
    }
    void setAlerts(const AlertState& alerts);
    void setPendingClick(std::optional<QPointF> pending);
    Selection withFocus(Selection selection) const;
    void setAlertText(std::optional<QString> AlertState::*alert, std::optional<QString> text);
    void watchSteps();
    void stepsDidChange();
    void save();
    void removeFilesWhenSaved(const QStringList& files);
    QList<StepKey> keys() const;

    QPointer<Guide> m_guide;
    QPointer<ModelContext> m_context;
    Hooks m_hooks;
    EditorState m_state;
    bool m_appeared = false;
    QTimer m_autoScroll;
    QTimer m_stepsSignal;
};

} // namespace zova
