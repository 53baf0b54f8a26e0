#pragma once

#include "model/StepAnnotation.h"

#include <QPointF>
#include <QSet>
#include <QString>
#include <QUuid>

#include <optional>

namespace zova {

// Which steps are selected and which one the canvas shows. A step may be focused
// without being selected and selected without being focused.
struct Selection {
    QSet<QUuid> selected;
    std::optional<QUuid> focused;

    bool operator==(const Selection&) const = default;
};

enum class ScrollDirection { Up, Down };

// A row drag in the step list. Gaps are numbered 0..n for n steps; gap k lies
// just above the step at position k.
struct DragState {
    std::optional<QUuid> dragging;
    std::optional<int> dropGap;
    // Where the auto-scroll continues from.
    int lastActiveIndex = 0;
    bool hoverTop = false;
    bool hoverBottom = false;

    bool operator==(const DragState&) const = default;
};

// What is laid over the editor or asked of the user.
struct SheetState {
    bool exportPanel = false;
    // The steps the delete alert is about; the alert is open while this holds a value.
    std::optional<QSet<QUuid>> pendingDelete;
    // The crop overlay replaces the focused step while this is set.
    bool cropping = false;
    // The "Add step" menu under its title-bar button.
    bool addStepMenu = false;
    // The title bar's popovers, each open while its flag is set.
    bool smartEditMenu = false;
    bool backgroundPicker = false;

    bool operator==(const SheetState&) const = default;
};

// The two failure alerts, each open while its text is set.
struct AlertState {
    std::optional<QString> fileOpError; // "Something went wrong"
    std::optional<QString> aiError; // the on-device model's alert

    bool operator==(const AlertState&) const = default;
};

// Everything the editor's widgets show besides the records. Plain data: the
// controller changes it, the widgets paint from it.
struct EditorState {
    Selection selection;
    DragState drag;
    SheetState sheets;
    AlertState alerts;
    QString titleDraft;
    // The tool the annotation layer draws its next mark with; none selects and moves.
    std::optional<StepAnnotation::Kind> activeTool;
    // The hotspot while the marker is dragged (fractions 0..1); the step's own
    // hotspot changes only when the drag ends.
    std::optional<QPointF> pendingClick;
    // Whether the on-device language model can be used.
    bool modelAvailable = false;
};

} // namespace zova
