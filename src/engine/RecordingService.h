#pragma once

#include "engine/CaptureService.h"
#include "engine/ClickTrackingService.h"
#include "engine/StepCapturePipeline.h"
#include "model/Guide.h"
#include "platform/DesktopSnapshot.h"
#include "platform/PlatformBackends.h"

#include <QElapsedTimer>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QRectF>
#include <QTimer>
#include <QUuid>

#include <functional>
#include <memory>
#include <optional>

namespace zova {

class Guide;
class ModelContext;
class StorageService;

// One recording at a time: lists what can be recorded, takes the user's window
// or screen, owns the guide receiving the steps, switches the click tap on and
// off, runs the clock and hands the finished guide to `onFinished`.
// Everything runs on the GUI thread.
class RecordingService final : public QObject {
    Q_OBJECT
    Q_PROPERTY(Phase phase READ phase WRITE setPhase NOTIFY phaseChanged)
    Q_PROPERTY(int stepCount READ stepCount NOTIFY stepCountChanged)
    Q_PROPERTY(double elapsed READ elapsed NOTIFY elapsedChanged)
    Q_PROPERTY(bool isLoadingWindows READ isLoadingWindows NOTIFY isLoadingWindowsChanged)
    Q_PROPERTY(bool permissionDenied READ permissionDenied NOTIFY permissionDeniedChanged)
    Q_PROPERTY(bool clickTrackingActive READ clickTrackingActive NOTIFY clickTrackingActiveChanged)
    Q_PROPERTY(int ignoredClickCount READ ignoredClickCount)
    Q_PROPERTY(bool targetWindowClosed READ targetWindowClosed NOTIFY targetWindowClosedChanged)
public:
    enum class Phase { Idle, Picking, Armed, Paused, Finishing };
    Q_ENUM(Phase)
    // The name logged for a phase.
    static QString phaseName(Phase phase);

    using FinishedHandler = std::function<void(Guide* guide, bool isNewGuide)>;

    // What the service works with besides the session's back ends and the
    // screenshot folder. The defaults are Tesseract and the local model.
    struct Collaborators {
        // True when the global point lies in one of this application's own
        // windows that are visible, not minimised and take mouse input.
        std::function<bool(QPointF point)> isPointOnOwnWindow;
        // Recognises and tidies the label of a step screenshot off the GUI
        // thread; `done` is called once, on the GUI thread, with the final
        // label and whether the language model was available, or nothing.
        std::function<void(const QImage& image, QPointF clickPixel,
            std::function<void(std::optional<QString> label, bool modelAvailable)> done)>
            labelStep;
        int captureDelayMs = 700; // from the click to the screenshot
        int clockIntervalMs = 200;
    };

    // Lists, captures, listens and activates the target through `backends`, and
    // writes the screenshots into `storage`, which outlives the service.
    RecordingService(ModelContext& context, const PlatformBackends& backends, const StorageService& storage,
        QObject* parent = nullptr);
    RecordingService(ModelContext& context, const PlatformBackends& backends, const StorageService& storage,
        Collaborators collaborators, QObject* parent = nullptr);
    ~RecordingService() override;

    Phase phase() const { return m_phase; }
    // The owner writes `picking`.
    void setPhase(Phase phase);

    const std::optional<DesktopWindow>& targetWindow() const { return m_targetWindow; }
    const std::optional<DesktopScreen>& targetDisplay() const { return m_targetDisplay; }
    qint32 targetProcessID() const { return m_targetProcessID; }
    Guide* currentGuide() const { return m_currentGuide; }
    int stepCount() const { return m_stepCount; }
    double elapsed() const { return m_elapsed; }
    const QList<DesktopWindow>& availableWindows() const { return m_availableWindows; }
    const QList<DesktopScreen>& availableDisplays() const { return m_availableDisplays; }
    bool isLoadingWindows() const { return m_isLoadingWindows; }
    const std::optional<QString>& lastError() const { return m_lastError; }
    bool permissionDenied() const { return m_permissionDenied; }
    bool clickTrackingActive() const { return m_clickTrackingActive; }
    int ignoredClickCount() const { return m_ignoredClickCount; }
    // The window being recorded has been closed (or withdrawn) during the
    // recording; the recording goes on until it is stopped and keeps its steps.
    bool targetWindowClosed() const { return m_targetWindowClosed; }

    const FinishedHandler& onFinished() const { return m_onFinished; }
    void setOnFinished(FinishedHandler handler);

    Guide* appendTargetGuide() const { return m_appendTargetGuide; }
    void setAppendTargetGuide(Guide* guide);

    // The target's rectangle in global coordinates: the display's frame, or the
    // window's current frame from the tracking cache (its listed frame when the
    // cache no longer has it); nothing without a target or once it has closed.
    std::optional<QRectF> targetFrame() const;

    CaptureService& capture() { return *m_capture; }
    ClickTrackingService& clicks() { return *m_clicks; }

    // Fills the two lists. Completes on the GUI thread; `done` (optional) is
    // called when this listing has written its results.
    void refreshWindows(std::function<void()> done = {});
    void cancelPicker();
    // False when the recording did not start (a recording already runs, or its
    // new guide could not be saved); `lastError` says why in the latter case.
    bool startRecording(const DesktopWindow& window);
    bool startRecording(const DesktopScreen& display);
    void pauseRecording();
    void resumeRecording();
    // Waits in `finishing` for the captures of clicks already accepted, then
    // saves and hands the guide over; at once when none is under way.
    void stopRecording();
    // Drops the captures under way.
    void cancelRecording();

signals:
    void phaseChanged();
    void stepCountChanged();
    void elapsedChanged();
    void availableWindowsChanged();
    void availableDisplaysChanged();
    void isLoadingWindowsChanged();
    void permissionDeniedChanged();
    void clickTrackingActiveChanged();
    void targetWindowClosedChanged();
    // A step was saved (its order is stepCount() - 1).
    void stepCaptured(const QUuid& stepID);

private:
    void installClickHandler();
    void stopClicksAndClock();
    bool capturesUnderWay() const;
    void finishStopWhenCapturesEnd();
    void resetRecording();
    Guide* guideForStart(const QString& newTitle, int* startCount);
    bool beginRecording(Guide* guide, int startCount);
    void tick();

    void handleClick(const ClickTrackingService::ClickEvent& event);
    bool isClickOnOwnApp(QPointF point) const;
    void startCapture(const ClickTrackingService::ClickEvent& event, QPointF point);
    // The screenshot of a step; nothing (and the failure reported) when it could not be taken.
    std::optional<StepCapturePipeline::Shot> captureStep(const ClickTrackingService::ClickEvent& event,
        const std::optional<DesktopWindow>& window, const std::optional<DesktopScreen>& display,
        const std::optional<QRectF>& clickTimeRect, QPointer<Guide> guide, std::optional<WindowID> clickedPopup);
    void finishSave(StepCapturePipeline::Saved save);
    void failCapture(const QString& description);
    DesktopWindow refreshedWindow(const DesktopWindow& window) const;
    void applyOCRLabel(const QString& label, const QUuid& stepID, bool modelAvailable);

    void setTargetWindow(const std::optional<DesktopWindow>& window);
    void setTargetDisplay(const std::optional<DesktopScreen>& display);
    void setTargetProcessID(qint32 processID);
    void setCurrentGuide(Guide* guide);
    void setStepCount(int count);
    void setElapsed(double seconds);
    void setAvailableWindows(const QList<DesktopWindow>& windows);
    void setAvailableDisplays(const QList<DesktopScreen>& displays);
    void setIsLoadingWindows(bool loading);
    void setLastError(const std::optional<QString>& error);
    void setPermissionDenied(bool denied);
    void setClickTrackingActive(bool active);
    void setIgnoredClickCount(int count);
    void setTargetWindowClosed(bool closed);
    void checkTargetWindow();

    std::unique_ptr<CaptureService> m_capture;
    std::unique_ptr<ClickTrackingService> m_clicks;
    std::shared_ptr<WindowOperations> m_windowOperations;
    std::shared_ptr<CapabilityProbe> m_capabilities;
    ModelContext& m_context;
    const StorageService* m_storage = nullptr;
    std::function<bool(QPointF)> m_isPointOnOwnWindow;
    decltype(Collaborators::labelStep) m_labelStep;
    bool m_preparesRecognition = false; // the labels are the recogniser's
    int m_captureDelayMs = 700;

    Phase m_phase = Phase::Idle;
    std::optional<DesktopWindow> m_targetWindow;
    std::optional<DesktopScreen> m_targetDisplay;
    qint32 m_targetProcessID = 0;
    QPointer<Guide> m_currentGuide;
    int m_stepCount = 0;
    double m_elapsed = 0;
    QList<DesktopWindow> m_availableWindows;
    QList<DesktopScreen> m_availableDisplays;
    bool m_isLoadingWindows = false;
    std::optional<QString> m_lastError;
    bool m_permissionDenied = false;
    bool m_clickTrackingActive = false;
    int m_ignoredClickCount = 0;
    bool m_targetWindowClosed = false;
    FinishedHandler m_onFinished;
    QPointer<Guide> m_appendTargetGuide;

    QTimer m_clock;
    QElapsedTimer m_startTime; // steady clock; invalid while no recording runs
    // Restarted at every start, stop and cancel: a capture of an earlier
    // recording is dropped.
    std::unique_ptr<StepCapturePipeline> m_pipeline;
};

} // namespace zova
