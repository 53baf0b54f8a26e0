#pragma once

#include "app/recording/RecordingControl.h"
#include "app/recording/RecordingWindows.h"

#include <QObject>
#include <QPointer>

#include <functional>

class QWidget;

namespace zova {

class AppWindowOps;
class Guide;

// Drives one recording from the library: opens the picker for a new guide or
// for more steps in a guide, steps the main window aside when a target is
// picked, starts the service, shows the outline and the control panel, and on
// stop brings the window back with the guide open. Everything runs on the GUI
// thread; the actions of the picker and the panel run queued, after the
// button that asked for them has returned.
class RecordingFlow final : public QObject {
    Q_OBJECT
public:
    struct Host {
        // The application's main window; null when there is none.
        std::function<QWidget*()> mainWindow;
        // Opens the recorded guide (the editor, or its place).
        std::function<void(Guide* guide)> openGuide;
    };

    RecordingFlow(RecordingControl& service, RecordingWindows& windows, AppWindowOps& windowOps, Host host,
        QObject* parent = nullptr);
    ~RecordingFlow() override;

    // New Guide: picks a target for a new guide, dropping an append target left
    // by an earlier cancelled append request. Only from idle or picking.
    void startPickingWindow();
    // More steps for `guide`: makes it the append target and opens the picker.
    void startAppendRecording(Guide* guide);
    // The picker's start actions. A start that fails brings the window back and
    // leaves the picker open, without outline or panel.
    void startRecording(const DesktopWindow& window);
    void startRecording(const DesktopScreen& display);
    void bringAppToForeground();

    // True while a recording writes into the guide.
    bool isBeingRecorded(const Guide& guide) const;
    // A guide about to be deleted stops being the append target.
    void willDelete(const Guide& guide);

private:
    template <typename Target> void start(const Target& target);
    void openPicker();
    void syncPicker();
    void finish(Guide* guide);
    void cancelRecording();
    void closeWindows();
    void later(std::function<void()> action);

    RecordingControl& m_service;
    RecordingWindows& m_windows;
    AppWindowOps& m_windowOps;
    Host m_host;
    bool m_pickerShown = false;
};

} // namespace zova
