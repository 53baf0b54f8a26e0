#include "Bench.h"
#include "DesktopFrame.h"

#include "engine/RecordingService.h"
#include "engine/VisionService.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "platform/PlatformBackends.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QEventLoop>
#include <QFont>
#include <QPainter>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>

using namespace zova;

namespace {

QImage screenshot() { return desktopFrame(QImage::Format_RGB32); }

class StaticSource final : public WindowSource {
public:
    explicit StaticSource(DesktopSnapshot content)
        : m_content(std::move(content))
    {
    }
    Expected<DesktopSnapshot, CaptureError> snapshot() override { return m_content; }

private:
    DesktopSnapshot m_content;
};

class StaticGrabber final : public ScreenGrabber {
public:
    explicit StaticGrabber(QImage image)
        : m_image(std::move(image))
    {
    }
    Expected<QImage, CaptureError> captureWindow(const DesktopWindow&) override { return m_image.copy(); }
    Expected<QImage, CaptureError> captureDisplay(const DesktopScreen&, const QList<WindowID>&) override
    {
        return m_image.copy();
    }

private:
    QImage m_image;
};

class NullTap final : public ClickTap {
public:
    bool start(PressHandler, LossHandler) override { return true; }
    void stop() override { }
    bool isEnabled() const override { return true; }
    bool reenable() override { return true; }
};

// Time the GUI thread spends outside its event loop's idle wait.
class NullWindowOperations final : public WindowOperations {
public:
    bool activateWindow(WindowID) override { return true; }
    bool minimizeWindow(WindowID) override { return true; }
    bool restoreWindow(WindowID) override { return true; }
    bool activateProcess(qint32) override { return true; }
};

class FullCapabilities final : public CapabilityProbe {
public:
    SessionCapabilities capabilities(bool) override { return { true, true }; }
};

class NoCompositing final : public CompositingCheck {
public:
    bool compositingManagerRunning() override { return false; }
};

class BusyClock {
public:
    BusyClock()
    {
        auto* dispatcher = QAbstractEventDispatcher::instance();
        QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, [this] { m_idle.start(); });
        QObject::connect(dispatcher, &QAbstractEventDispatcher::awake, [this] {
            if (m_idle.isValid())
                m_idleNs += m_idle.nsecsElapsed();
            m_idle.invalidate();
        });
    }
    void start()
    {
        m_idleNs = 0;
        m_idle.invalidate();
        m_total.start();
    }
    double busyMs() const { return double(m_total.nsecsElapsed() - m_idleNs) / 1e6; }

private:
    QElapsedTimer m_total;
    QElapsedTimer m_idle;
    qint64 m_idleNs = 0;
};

double threadCpuMs()
{
    timespec t {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_NO_GLIB", "1"); // the plain dispatcher reports exactly when it blocks
    QApplication app(argc, argv);
    const QImage frame = screenshot();

    auto container = ModelContainer::open(home.path() + QStringLiteral("/bench.sqlite"));
    if (!container) {
        std::printf("store: %s\n", qPrintable(container.error().description()));
        return 1;
    }
    DesktopWindow window;
    window.windowID = 1;
    window.title = QStringLiteral("Editor");
    window.owningApplication = RunningApplication { QStringLiteral("Editor"), QStringLiteral("editor"), 4242 };
    window.frame = QRectF(0, 0, 1920, 1080);
    window.isOnScreen = true;
    DesktopSnapshot content;
    content.windows = { window };

    const PlatformBackends backends { std::make_shared<StaticSource>(content), std::make_shared<StaticGrabber>(frame),
        [] { return std::make_unique<NullTap>(); }, std::make_shared<NullWindowOperations>(),
        std::make_shared<FullCapabilities>(), std::make_shared<NoCompositing>() };
    RecordingService::Collaborators c;
    c.isPointOnOwnWindow = [](QPointF) { return false; };
    c.labelStep = [](const QImage&, QPointF, auto) {};
    c.captureDelayMs = 0; // the wait itself is not GUI-thread work
    RecordingService service(*(*container)->mainContext(), backends, std::move(c));
    service.startRecording(window);
    QEventLoop settle;
    QTimer::singleShot(50, &settle, &QEventLoop::quit);
    settle.exec();

    BusyClock busy;
    std::vector<double> times;
    std::vector<double> cpuTimes;
    for (int i = 0; i < 25; ++i) {
        QEventLoop loop;
        QObject::connect(&service, &RecordingService::stepCaptured, &loop, &QEventLoop::quit);
        busy.start();
        const double cpuBefore = threadCpuMs();
        service.clicks().onClick()(ClickTrackingService::ClickEvent { 960.0, 546.0, QDateTime::currentDateTime() });
        loop.exec();
        times.push_back(busy.busyMs());
        cpuTimes.push_back(threadCpuMs() - cpuBefore);
    }
    std::sort(times.begin(), times.end());
    std::printf("%-55s median %9.3f ms  min %9.3f ms  target < 50 ms  %s\n",
        "GUI thread per accepted click, 1920x1080 window", times[times.size() / 2], times.front(),
        times[times.size() / 2] < 50 ? "ok" : "SLOW");
    std::sort(cpuTimes.begin(), cpuTimes.end());
    bench::figure("  of which GUI-thread CPU time (median)", cpuTimes[cpuTimes.size() / 2], "ms");
    bench::figure("steps captured", service.stepCount(), "steps");

    const VisionService vision;
    std::optional<QString> label = vision.recognizeStepLabel({ 60, 128 }, frame); // starts this thread's engine
    bench::measure(
        "recognizeStepLabel, 1920x1080, click on a sidebar item", 15,
        [&] {
            label = vision.recognizeStepLabel({ 60, 128 }, frame);
        },
        150);
    std::printf("  label: %s\n", label ? qPrintable(*label) : "(none)");
    bench::measure(
        "recognizeStepLabel, 1920x1080, click in dense text", 15,
        [&] {
            label = vision.recognizeStepLabel({ 700, 546 }, frame);
        },
        150);
    std::printf("  label: %s\n", label ? qPrintable(*label) : "(none)");

    QImage cleaned;
    bench::measure(
        "removeMirroringPointer, 1920x1080, dot painted out", 30,
        [&] {
            cleaned = vision.removeMirroringPointer(frame, { 960, 546 });
        },
        5);
    service.cancelRecording();
    return 0;
}
