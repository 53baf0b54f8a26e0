#pragma once

#include <QWidget>

#include <functional>

namespace zova {

class Guide;
class LibraryView;
class ScreenshotCache;

// What the library calls on neighbours that are built separately: the recording
// flow, the editor and the on-device model. Every hook may be left empty.
struct LibraryHooks {
    // Ctrl+N and the New Guide buttons.
    std::function<void()> startPickingWindow;
    // Builds the editor for a guide; `onClose` returns to the library.
    std::function<QWidget*(Guide* guide, std::function<void()> onClose)> makeEditor;
    // A guide that a running recording writes into cannot be deleted.
    std::function<bool(const Guide& guide)> isBeingRecorded;
    // Called before a guide is deleted, so a pending append target can be dropped.
    std::function<void(const Guide& guide)> willDelete;
    // The library's first appearance on screen.
    std::function<void(LibraryView* library)> didAppear;
    // The shared, cached on-device model status.
    std::function<bool()> aiAvailable;
    // The application's screenshots, shared with the editor; it outlives the
    // library. Without it the library keeps a cache of its own.
    ScreenshotCache* screenshots = nullptr;
};

} // namespace zova
