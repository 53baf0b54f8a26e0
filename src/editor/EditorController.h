#pragma once

#include "editor/EditorState.h"
#include "editor/canvas/StepCanvasController.h"
#include "editor/files/ImageEditorHandOff.h"
#include "editor/files/ScreenshotFiles.h"
#include "editor/list/SelectionRules.h"
#include "editor/list/StepListController.h"

#include <QColor>
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>
#include <utility>

namespace zova {

class Guide;
class ModelContext;
class Step;

// One open guide: the state every editor widget paints from, its grouped change
// signals, and the operations of the editor's frame (title, sheets, alerts, the way
// back). The step list's operations are list(), the focused step's canvas(). Holds
// the guide by a pointer that it checks and steps by id, looked up again on every
// use. GUI thread only.
class EditorController : public QObject {
    Q_OBJECT
public:
    // What the editor reaches outside itself; any may be left empty.
    struct Hooks {
        // Back to the library.
        std::function<void()> close;
        // Records more steps into the guide (the library's recording flow).
        std::function<void(Guide* guide)> appendRecording;
        // The screenshot folder (ScreenshotFiles::of() the application's); every
        // file the editor reads, writes or removes goes through it. Empty members
        // reach no folder.
        ScreenshotFiles files;
        // Asks the user for an image file: its path, none when cancelled. The
        // file is read off the GUI thread. Empty: there is no image to add.
        std::function<std::optional<QString>()> chooseImageFile;
        // Where "Edit in Image Editor" puts its copies and how it opens them.
        ImageEditorHandOff imageEditor;
    };

    EditorController(Guide* guide, ModelContext* context, Hooks hooks = {}, QObject* parent = nullptr);
    ~EditorController() override;

    StepListController& list() const { return *m_list; }
    StepCanvasController& canvas() const { return *m_canvas; }

    // Null once the guide was deleted.
    Guide* guide() const;
    ModelContext* context() const;
    const Hooks& hooks() const { return m_hooks; }
    // The screenshot folder the editor works on.
    const ScreenshotFiles& files() const { return m_hooks.files; }
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
    void setAddStepMenu(bool open);
    void toggleAddStepMenu();

    void requestAppendRecording();
    // Commits the title, then returns to the library.
    void close();

    // Whether the on-device language model can be used.
    void setModelAvailable(bool available);

    void reportFileError(const QString& message);
    void clearFileError();
    void reportAiError(const QString& message);
    void clearAiError();

    // Saves the structural change just made; a failure is logged, not shown.
    void save();

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
    friend class StepListController;
    friend class StepCanvasController;

    // The state's groups; each notifies only on a real change. While steps exist
    // one of them is focused once the editor appeared: when none is (the focused
    // one left the guide, steps arrived in an empty guide) the first is focused,
    // the selection staying as it is.
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
    void setAlertText(std::optional<QString> AlertState::*alert, std::optional<QString> text);
    void setPendingClick(std::optional<QPointF> pending);
    void setActiveTool(std::optional<StepAnnotation::Kind> tool);
    Selection withFocus(Selection selection) const;
    void watchSteps();
    void stepsDidChange();

    QPointer<Guide> m_guide;
    QPointer<ModelContext> m_context;
    Hooks m_hooks;
    EditorState m_state;
    bool m_appeared = false;
    QTimer* m_stepsSignal = nullptr;
    StepListController* m_list = nullptr;
    StepCanvasController* m_canvas = nullptr;
};

} // namespace zova
