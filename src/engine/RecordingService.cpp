#include "engine/RecordingService.h"

#include "base/NotifyingProperty.h"
#include "engine/EngineLog.h"
#include "engine/LocalModelService.h"
#include "engine/StepHotspot.h"
#include "engine/VisionService.h"
#include "model/Guide.h"
#include "model/ModelContext.h"
#include "model/Step.h"
#include "model/StorageService.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QWindow>

namespace zova {

namespace {

bool pointOnOwnWindow(QPointF point)
{
    for (QWindow* window : QGuiApplication::topLevelWindows()) {
        if (!window->isVisible() || (window->windowStates() & Qt::WindowMinimized)
            || (window->flags() & Qt::WindowTransparentForInput))
            continue;
        if (frameContains(QRectF(window->frameGeometry()), point))
            return true;
    }
    return false;
}

using LabelDone = std::function<void(std::optional<QString>, bool)>;

// Recognition on the vision pool, then the model's clean-up on the GUI thread.
void recognizeAndTidy(QObject* owner, const QImage& image, QPointF clickPixel, LabelDone done)
{
    VisionService().recognizeStepLabel(clickPixel, image, owner, [owner, done](std::optional<QString> label) {
        if (!label) {
            done(std::nullopt, false);
            return;
        }
        auto* model = new LocalModelService(owner);
        model->refreshStatus();
        model->cleanAutoLabel(*label, [model, done](QString tidied) {
            const bool available = model->status() == LocalModelService::Status::Available;
            model->deleteLater();
            done(tidied, available);
        });
    });
}

} // namespace

QString RecordingService::phaseName(Phase phase)
{
    switch (phase) {
    case Phase::Idle: return QStringLiteral("idle");
    case Phase::Picking: return QStringLiteral("picking");
    case Phase::Armed: return QStringLiteral("armed");
    case Phase::Paused: return QStringLiteral("paused");
    case Phase::Finishing: return QStringLiteral("finishing");
    }
    return {};
}

RecordingService::RecordingService(
    ModelContext& context, const PlatformBackends& backends, const StorageService& storage, QObject* parent)
    : RecordingService(context, backends, storage, Collaborators {}, parent)
{
}

RecordingService::RecordingService(ModelContext& context, const PlatformBackends& backends,
    const StorageService& storage, Collaborators collaborators, QObject* parent)
    : QObject(parent)
    , m_capture(std::make_unique<CaptureService>(
          backends.windows, backends.screens, qint32(QCoreApplication::applicationPid())))
    , m_clicks(std::make_unique<ClickTrackingService>(backends.clickTaps))
    , m_windowOperations(backends.windowOperations)
    , m_capabilities(backends.capabilities)
    , m_context(context)
    , m_storage(&storage)
    , m_isPointOnOwnWindow(std::move(collaborators.isPointOnOwnWindow))
    , m_labelStep(std::move(collaborators.labelStep))
    , m_captureDelayMs(collaborators.captureDelayMs)
{
    const StorageService* folder = m_storage;
    m_pipeline = std::make_unique<StepCapturePipeline>(
        StepCapturePipeline::Store {
            [folder](const QImage& image) { return folder->saveScreenshot(image); },
            [folder](const QString& filename) { folder->deleteScreenshot(filename); },
        },
        [this](StepCapturePipeline::Saved saved) { finishSave(std::move(saved)); });
    connect(m_pipeline.get(), &StepCapturePipeline::settled, this, &RecordingService::finishStopWhenCapturesEnd);
    if (!m_isPointOnOwnWindow)
        m_isPointOnOwnWindow = pointOnOwnWindow;
    if (!m_labelStep) {
        m_labelStep = [this](const QImage& image, QPointF clickPixel, LabelDone done) {
            recognizeAndTidy(this, image, clickPixel, std::move(done));
        };
        m_preparesRecognition = true;
    }
    m_clock.setInterval(collaborators.clockIntervalMs);
    m_clock.setTimerType(Qt::PreciseTimer);
    connect(&m_clock, &QTimer::timeout, this, &RecordingService::tick);
    connect(m_capture.get(), &CaptureService::targetRefreshed, this, &RecordingService::checkTargetWindow);
}

RecordingService::~RecordingService()
{
    m_clicks->setOnClick({});
    // Waits for the screenshots being written; those that never became steps
    // leave no file behind.
    m_pipeline.reset();
}

void RecordingService::setPhase(Phase phase) { setNotifying(this, m_phase, phase, &RecordingService::phaseChanged); }

void RecordingService::setOnFinished(FinishedHandler handler) { m_onFinished = std::move(handler); }

void RecordingService::setAppendTargetGuide(Guide* guide) { m_appendTargetGuide = guide; }

std::optional<QRectF> RecordingService::targetFrame() const
{
    if (m_targetDisplay)
        return m_targetDisplay->frame;
    if (m_targetWindow && !m_targetWindowClosed) {
        for (const auto& w : m_capture->cachedTargetWindows()) {
            if (w.windowID == m_targetWindow->windowID)
                return w.frame;
        }
        return m_targetWindow->frame;
    }
    return std::nullopt;
}

void RecordingService::refreshWindows(std::function<void()> done)
{
    setIsLoadingWindows(true);
    setLastError(std::nullopt);
    setPermissionDenied(false);
    QMetaObject::invokeMethod(
        this,
        [this, done = std::move(done)] {
            auto displays = m_capture->listDisplays();
            auto windows = displays ? m_capture->listWindows()
                                    : Expected<QList<DesktopWindow>, CaptureError>(unexpected(displays.error()));
            if (!displays || !windows) {
                const CaptureError error = !displays ? displays.error() : windows.error();
                setAvailableWindows({});
                setAvailableDisplays({});
                setLastError(captureErrorMessage(error));
                setPermissionDenied(true);
                setIsLoadingWindows(false);
            } else {
                setAvailableDisplays(*displays);
                setAvailableWindows(*windows);
                if (displays->isEmpty() && windows->isEmpty())
                    setPermissionDenied(!m_capabilities->capabilities().canCaptureScreen);
                setIsLoadingWindows(false);
            }
            if (done)
                done();
        },
        Qt::QueuedConnection);
}

void RecordingService::cancelPicker()
{
    setPhase(Phase::Idle);
    setTargetWindow(std::nullopt);
    setTargetProcessID(0);
    m_capture->endTrackingTargetProcess();
}

bool RecordingService::startRecording(const DesktopWindow& window)
{
    if (m_phase == Phase::Armed || m_phase == Phase::Paused || m_phase == Phase::Finishing) {
        qCWarning(lcRecording, "Refuse start: a recording runs (phase=%s)", qPrintable(phaseName(m_phase)));
        return false;
    }
    setTargetWindow(window);
    setTargetDisplay(std::nullopt);
    setTargetProcessID(window.processID());
    if (m_targetProcessID != 0)
        m_windowOperations->activateProcess(m_targetProcessID);
    m_capture->beginTrackingTargetProcess(m_targetProcessID);

    int startCount = 0;
    Guide* guide = guideForStart(window.title.value_or(QStringLiteral("Untitled guide")), &startCount);
    return guide && beginRecording(guide, startCount);
}

bool RecordingService::startRecording(const DesktopScreen& display)
{
    if (m_phase == Phase::Armed || m_phase == Phase::Paused || m_phase == Phase::Finishing) {
        qCWarning(lcRecording, "Refuse start: a recording runs (phase=%s)", qPrintable(phaseName(m_phase)));
        return false;
    }
    setTargetDisplay(display);
    setTargetWindow(std::nullopt);
    setTargetProcessID(0);

    int startCount = 0;
    Guide* guide = guideForStart(QStringLiteral("Entire Screen Guide"), &startCount);
    return guide && beginRecording(guide, startCount);
}

Guide* RecordingService::guideForStart(const QString& newTitle, int* startCount)
{
    if (m_appendTargetGuide) {
        *startCount = int(m_appendTargetGuide->steps().size());
        return m_appendTargetGuide;
    }
    auto* guide = new Guide(newTitle, AccentHue::Pink, QString());
    m_context.insert(guide);
    if (auto saved = m_context.save(); !saved) {
        // Nothing of the failed start stays in the store.
        m_context.remove(guide);
        setLastError(QStringLiteral("Could not create guide: ") + saved.error().description());
        qCWarning(lcRecording, "Could not create guide: %s", qPrintable(saved.error().description()));
        return nullptr;
    }
    *startCount = 0;
    return guide;
}

bool RecordingService::beginRecording(Guide* guide, int startCount)
{
    m_pipeline->restart();
    setCurrentGuide(guide);
    setStepCount(startCount);
    setElapsed(0);
    m_startTime.start();

    // The recogniser's engines start while the user moves to the first click.
    if (m_preparesRecognition)
        VisionService::prepareRecognition();
    installClickHandler();
    if (auto started = m_clicks->start()) {
        setClickTrackingActive(true);
        setLastError(std::nullopt);
    } else {
        setClickTrackingActive(false);
        setLastError(ClickTrackingService::startFailureMessage(started.error()));
    }
    m_clock.start();
    setPhase(Phase::Armed);
    return true;
}

void RecordingService::installClickHandler()
{
    m_clicks->setOnClick([self = QPointer<RecordingService>(this)](const ClickTrackingService::ClickEvent& event) {
        if (self)
            self->handleClick(event);
    });
}

void RecordingService::tick()
{
    if (m_startTime.isValid())
        setElapsed(double(m_startTime.nsecsElapsed()) / 1e9);
}

void RecordingService::pauseRecording()
{
    if (m_phase != Phase::Armed)
        return;
    m_clicks->stop();
    setPhase(Phase::Paused);
}

void RecordingService::resumeRecording()
{
    if (m_phase != Phase::Paused)
        return;
    installClickHandler();
    setClickTrackingActive(bool(m_clicks->start()));
    setPhase(Phase::Armed);
}

void RecordingService::stopClicksAndClock()
{
    m_clicks->stop();
    m_clicks->setOnClick({});
    m_clock.stop();
}

void RecordingService::stopRecording()
{
    if (m_phase != Phase::Armed && m_phase != Phase::Paused)
        return;
    setPhase(Phase::Finishing);
    stopClicksAndClock();
    if (capturesUnderWay())
        qCInfo(lcRecording, "Stop waits for the captures under way");
    finishStopWhenCapturesEnd();
}

bool RecordingService::capturesUnderWay() const { return m_pipeline->isBusy(); }

void RecordingService::finishStopWhenCapturesEnd()
{
    if (m_phase != Phase::Finishing || capturesUnderWay())
        return;
    if (Guide* guide = m_currentGuide) {
        const bool isNewGuide = !m_appendTargetGuide;
        if (auto saved = m_context.save(); !saved)
            qCWarning(lcRecording, "Save at stop failed: %s", qPrintable(saved.error().description()));
        if (m_onFinished)
            m_onFinished(guide, isNewGuide);
    }
    resetRecording();
    setPhase(Phase::Idle);
}

void RecordingService::cancelRecording()
{
    stopClicksAndClock();
    if (Guide* guide = m_currentGuide) {
        if (!m_appendTargetGuide) {
            QStringList files;
            for (const Step* step : guide->steps())
                files.append(step->screenshotFilename());
            m_context.remove(guide);
            // The files go only once the store no longer refers to them.
            if (auto saved = m_context.save()) {
                for (const QString& file : files)
                    m_storage->deleteScreenshot(file);
            } else {
                qCWarning(lcRecording, "Save at cancel failed, screenshots kept: %s",
                    qPrintable(saved.error().description()));
            }
        } else if (auto saved = m_context.save(); !saved) {
            qCWarning(lcRecording, "Save at cancel failed: %s", qPrintable(saved.error().description()));
        }
    }
    resetRecording();
    setPhase(Phase::Idle);
}

void RecordingService::resetRecording()
{
    m_pipeline->restart();
    setTargetWindow(std::nullopt);
    setTargetDisplay(std::nullopt);
    setTargetProcessID(0);
    m_capture->endTrackingTargetProcess();
    setCurrentGuide(nullptr);
    setAppendTargetGuide(nullptr);
    setStepCount(0);
    setElapsed(0);
    m_startTime.invalidate();
    setClickTrackingActive(false);
    setTargetWindowClosed(false);
}

void RecordingService::checkTargetWindow()
{
    if (m_targetWindowClosed || !m_targetWindow || (m_phase != Phase::Armed && m_phase != Phase::Paused))
        return;
    if (!m_capture->trackedWindowIsGone(m_targetWindow->windowID))
        return;
    qCInfo(lcRecording, "Target window closed: id=%u", unsigned(m_targetWindow->windowID));
    setTargetWindowClosed(true);
}

// Click filter and step capture

void RecordingService::handleClick(const ClickTrackingService::ClickEvent& event)
{
    if (m_phase != Phase::Armed || !m_currentGuide) {
        qCInfo(lcRecording, "Drop click: phase=%s", qPrintable(phaseName(m_phase)));
        return;
    }
    const QPointF point(event.x, event.y);
    if (isClickOnOwnApp(point)) {
        setIgnoredClickCount(m_ignoredClickCount + 1);
        qCInfo(lcRecording, "Drop click on ZOVA HUD at (%f, %f)", event.x, event.y);
        return;
    }
    bool inside = false;
    if (m_targetDisplay)
        inside = frameContains(m_targetDisplay->frame, point);
    else if (m_targetWindow)
        inside = m_capture->pointIsInTrackedTarget(point);
    if (!inside) {
        setIgnoredClickCount(m_ignoredClickCount + 1);
        qCInfo(lcRecording, "Drop click outside target: point=(%f,%f)", event.x, event.y);
        return;
    }
    qCInfo(lcRecording, "Accept click for target");
    startCapture(event, point);
}

bool RecordingService::isClickOnOwnApp(QPointF point) const { return m_isPointOnOwnWindow(point); }

void RecordingService::startCapture(const ClickTrackingService::ClickEvent& event, QPointF point)
{
    if (m_targetWindow && m_targetProcessID != 0) {
        if (const auto popup = m_capture->popupUnderPoint(point, m_targetProcessID)) {
            // A menu closes as the click on its item ends: it is shot at once,
            // over the recorded window.
            if (auto shot = captureStep(
                    event, m_targetWindow, std::nullopt, std::nullopt, m_currentGuide.data(), popup->windowID))
                m_pipeline->push(std::move(*shot));
            return;
        }
    }
    std::optional<DesktopWindow> hit;
    if (m_targetProcessID != 0)
        hit = m_capture->windowUnderPoint(point, m_targetProcessID);

    std::optional<QRectF> clickTimeRect;
    if (m_targetDisplay)
        clickTimeRect = m_targetDisplay->frame;
    else if (hit)
        clickTimeRect = hit->frame;
    else if (m_targetWindow)
        clickTimeRect = m_targetWindow->frame;

    QPointer<Guide> guide = m_currentGuide.data();
    m_pipeline->schedule(m_captureDelayMs, [=, this] {
        const std::optional<DesktopWindow> window = hit ? hit : m_targetWindow;
        return captureStep(event, window, m_targetDisplay, clickTimeRect, guide, std::nullopt);
    });
}

DesktopWindow RecordingService::refreshedWindow(const DesktopWindow& window) const
{
    for (const auto& w : m_capture->cachedTargetWindows()) {
        if (w.windowID == window.windowID)
            return w;
    }
    return window;
}

std::optional<StepCapturePipeline::Shot> RecordingService::captureStep(const ClickTrackingService::ClickEvent& event,
    const std::optional<DesktopWindow>& window, const std::optional<DesktopScreen>& display,
    const std::optional<QRectF>& clickTimeRect, QPointer<Guide> guide, std::optional<WindowID> clickedPopup)
{
    std::optional<Expected<CaptureService::CapturedFrame, CaptureError>> frame;
    if (display)
        frame = m_capture->captureScreenshot(*display);
    else if (window)
        frame = m_capture->captureScreenshot(refreshedWindow(*window), clickedPopup);
    else
        return std::nullopt;
    if (!*frame) {
        failCapture(captureErrorMessage(frame->error()));
        return std::nullopt;
    }

    // A shot with pop-ups covers more than the window: the click is placed in it.
    const QRectF reference
        = (*frame)->includesPopups ? (*frame)->contentRect : clickTimeRect.value_or((*frame)->contentRect);
    const StepHotspot hotspot = stepHotspot(QPointF(event.x, event.y), reference);
    qCInfo(lcRecording, "Hotspot norm: raw=(%f,%f) clamped=(%f,%f)", hotspot.raw.x(), hotspot.raw.y(),
        hotspot.clamped.x(), hotspot.clamped.y());

    const QImage& image = (*frame)->image;
    const QPointF pixel(hotspot.clamped.x() * image.width(), hotspot.clamped.y() * image.height());
    StepCapturePipeline::Shot shot;
    shot.guide = guide;
    shot.hotspot = hotspot.clamped;
    // The pass paints over light controls, so it runs only where there is a
    // pointer to paint out.
    shot.image = (*frame)->containsPointer ? VisionService().removeMirroringPointer(image, pixel) : image;
    shot.labelPixel = QPointF(hotspot.clamped.x() * shot.image.width(), hotspot.clamped.y() * shot.image.height());
    return shot;
}

void RecordingService::failCapture(const QString& description)
{
    setLastError(QStringLiteral("Step capture failed: ") + description);
    qCCritical(lcRecording, "Step capture FAILED: %s", qPrintable(description));
}

void RecordingService::finishSave(StepCapturePipeline::Saved save)
{
    Guide* guide = save.shot.guide;
    if (!guide || guide->isDeleted() || guide != m_currentGuide) {
        if (!save.filename.isEmpty())
            m_storage->deleteScreenshot(save.filename);
        qCInfo(lcRecording, "Drop capture: its recording has ended");
        return;
    }
    if (save.error) {
        failCapture(describe(*save.error));
        return;
    }

    // After the guide's last step: an append recording must not reuse an order.
    auto* step = new Step(guide->nextStepOrder(), save.filename, save.shot.hotspot.x(), save.shot.hotspot.y());
    step->setGuide(guide);
    if (step->context() != &m_context && !m_context.insert(step)) {
        step->setGuide(nullptr);
        delete step;
        m_storage->deleteScreenshot(save.filename);
        failCapture(QStringLiteral("The step could not be added to the guide."));
        return;
    }
    if (auto saved = m_context.save(); !saved) {
        m_context.remove(step);
        m_storage->deleteScreenshot(save.filename);
        failCapture(saved.error().description());
        return;
    }
    const QUuid stepID = step->id();
    setStepCount(m_stepCount + 1);
    qCInfo(lcRecording, "Step captured: order=%ld", long(step->order()));
    emit stepCaptured(stepID);

    m_labelStep(save.shot.image, save.shot.labelPixel,
        [self = QPointer<RecordingService>(this), stepID](std::optional<QString> label, bool modelAvailable) {
            if (self && label)
                self->applyOCRLabel(*label, stepID, modelAvailable);
        });
}

void RecordingService::applyOCRLabel(const QString& label, const QUuid& stepID, bool modelAvailable)
{
    Step* step = m_context.step(stepID);
    if (!step || step->isDeleted())
        return;
    step->setOcrLabel(label);
    if (modelAvailable) {
        if (Guide* guide = step->guide())
            guide->setAiGenerated(true);
    }
    if (auto saved = m_context.save(); !saved)
        qCWarning(lcRecording, "Save of a step label failed: %s", qPrintable(saved.error().description()));
}

// Notifying setters

void RecordingService::setTargetWindow(const std::optional<DesktopWindow>& v) { m_targetWindow = v; }
void RecordingService::setTargetDisplay(const std::optional<DesktopScreen>& v) { m_targetDisplay = v; }
void RecordingService::setTargetProcessID(qint32 v) { m_targetProcessID = v; }
void RecordingService::setCurrentGuide(Guide* v) { m_currentGuide = v; }
void RecordingService::setStepCount(int v) { setNotifying(this, m_stepCount, v, &RecordingService::stepCountChanged); }
void RecordingService::setElapsed(double v) { setNotifying(this, m_elapsed, v, &RecordingService::elapsedChanged); }
void RecordingService::setAvailableWindows(const QList<DesktopWindow>& v)
{
    setNotifying(this, m_availableWindows, v, &RecordingService::availableWindowsChanged);
}
void RecordingService::setAvailableDisplays(const QList<DesktopScreen>& v)
{
    setNotifying(this, m_availableDisplays, v, &RecordingService::availableDisplaysChanged);
}
void RecordingService::setIsLoadingWindows(bool v)
{
    setNotifying(this, m_isLoadingWindows, v, &RecordingService::isLoadingWindowsChanged);
}
void RecordingService::setLastError(const std::optional<QString>& v) { m_lastError = v; }
void RecordingService::setPermissionDenied(bool v)
{
    setNotifying(this, m_permissionDenied, v, &RecordingService::permissionDeniedChanged);
}
void RecordingService::setClickTrackingActive(bool v)
{
    setNotifying(this, m_clickTrackingActive, v, &RecordingService::clickTrackingActiveChanged);
}
void RecordingService::setIgnoredClickCount(int v) { m_ignoredClickCount = v; }
void RecordingService::setTargetWindowClosed(bool v)
{
    setNotifying(this, m_targetWindowClosed, v, &RecordingService::targetWindowClosedChanged);
}

} // namespace zova
