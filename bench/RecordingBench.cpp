// A recording as a user makes one: a window of another process recorded through
// the X11 back ends, every click sent through XTest and seen by the click tap,
// the window captured after the usual delay, the step saved and labelled by text
// recognition (no language model answers). Needs the X11 display of
// scripts/bench.sh.
#include "Bench.h"

#include "engine/RecordingService.h"
#include "engine/VisionService.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/Step.h"
#include "model/StorageService.h"
#include "platform/llm/LocalModelClient.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHash>
#include <QPointer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

// Xlib last: it defines None, Bool and the like.
#include "platform/x11/X11Backends.h"
#include "platform/x11/X11Display.h"

#include <X11/extensions/XTest.h>

using namespace zova;

namespace {

// The screenshot folder of the default store, as the application makes it.
StorageService& screenshotFolder()
{
    static StorageService folder(StorageService::folderBeside(ModelContainer::defaultStorePath()));
    return folder;
}

constexpr int rounds = 6;

// The longest the GUI thread went without serving a timer due every 5 ms, less
// those 5 ms: how long the interface stood still at worst.
class StallWatch {
public:
    StallWatch()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            m_longest = std::max(m_longest, m_since.nsecsElapsed());
            m_since.start();
        });
    }
    void start()
    {
        m_longest = 0;
        m_since.start();
        m_timer.start(5);
    }
    double stop()
    {
        m_timer.stop();
        m_longest = std::max(m_longest, m_since.nsecsElapsed());
        return std::max(0.0, double(m_longest) / 1e6 - 5);
    }

private:
    QTimer m_timer;
    QElapsedTimer m_since;
    qint64 m_longest = 0;
};

double threadCpuMs()
{
    timespec t {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Runs the event loop until `condition` holds, sleeping between events.
bool waitFor(const std::function<bool()>& condition, int ms)
{
    QElapsedTimer t;
    t.start();
    QTimer tick;
    tick.start(20);
    while (!condition()) {
        if (t.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double largest(const std::vector<double>& v) { return v.empty() ? 0 : *std::max_element(v.begin(), v.end()); }

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir home;
    bench::useHome(home.path());
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fprintf(stderr, "bench_recording needs an X11 display (run it through scripts/bench.sh)\n");
        return 1;
    }
    // No language model answers, whatever runs on the usual ports: the labels are
    // the recogniser's own.
    llm::LocalModelClient::shared().setConfig(llm::LocalModelConfig::from(QStringLiteral("http://127.0.0.1:1"), {}));

    QProcess target;
    target.start(QStringLiteral(ZOVA_RECORDING_TARGET), {});
    QList<std::pair<QByteArray, QPoint>> places;
    QByteArray out;
    if (!waitFor(
            [&] {
                out += target.readAllStandardOutput();
                return out.contains("READY\n");
            },
            10000)) {
        std::fprintf(stderr, "the target window did not come up\n");
        return 1;
    }
    for (const QByteArray& line : out.split('\n')) {
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() == 4 && parts[0] == "CLICK")
            places.append({ parts[1], QPoint(parts[2].toInt(), parts[3].toInt()) });
    }

    auto container = ModelContainer::open(home.filePath(QStringLiteral("bench.store")));
    if (!container) {
        std::fprintf(stderr, "store: %s\n", qPrintable(container.error().description()));
        return 1;
    }
    ModelContext& context = *(*container)->mainContext();
    RecordingService service(context, x11::makeBackends(), screenshotFolder());
    std::optional<DesktopWindow> window;
    waitFor(
        [&] {
            bool listed = false;
            service.refreshWindows([&] { listed = true; });
            waitFor([&] { return listed; }, 5000);
            for (const DesktopWindow& w : service.availableWindows())
                if (w.processID() == qint32(target.processId()))
                    window = w;
            return window.has_value();
        },
        10000);
    if (!window || places.isEmpty()) {
        std::fprintf(stderr, "the target window is not listed\n");
        return 1;
    }
    service.setPhase(RecordingService::Phase::Picking);
    if (!service.startRecording(*window)
        || !waitFor([&] { return service.capture().pointIsInTrackedTarget(places.first().second); }, 5000)) {
        std::fprintf(stderr, "the recording did not start\n");
        return 1;
    }
    waitFor([] { return false; }, 500); // the activation settles

    x11::DisplayPtr xtest = x11::openDisplay();
    StallWatch stalls;
    QHash<QByteArray, std::vector<double>> labelMs;
    std::vector<double> stallMs, cpuMs, savedMs, labelledMs;
    int unlabelled = 0;
    std::printf("%d clicks on a 1280x760 window of another process (toolbar, sidebar, text, beside text, gap)\n",
        rounds * int(places.size()));
    for (int round = 0; round < rounds; ++round) {
        for (const auto& [name, at] : places) {
            XTestFakeMotionEvent(xtest.get(), -1, at.x(), at.y(), CurrentTime);
            XSync(xtest.get(), False);
            waitFor([] { return false; }, 50);
            std::optional<QUuid> saved;
            QPointer<Step> step;
            bool labelled = false;
            double savedAt = 0, labelledAt = 0;
            QElapsedTimer clock;
            const auto captured = QObject::connect(&service, &RecordingService::stepCaptured, [&](const QUuid& id) {
                savedAt = double(clock.nsecsElapsed()) / 1e6;
                saved = id;
                step = context.step(id);
                if (step)
                    QObject::connect(step, &Step::ocrLabelChanged, [&] {
                        labelledAt = double(clock.nsecsElapsed()) / 1e6;
                        labelled = true;
                    });
            });
            stalls.start();
            const double cpuBefore = threadCpuMs();
            clock.start();
            XTestFakeButtonEvent(xtest.get(), 1, True, CurrentTime);
            XTestFakeButtonEvent(xtest.get(), 1, False, CurrentTime);
            XFlush(xtest.get());
            // A click beside text may settle without a label: the recognition
            // pool falls idle and no label follows (the model's clean-up of one
            // that was found takes a moment more).
            QElapsedTimer idle;
            const bool done = waitFor(
                [&] {
                    if (labelled)
                        return true;
                    if (!saved || VisionService::recognitionPool()->activeThreadCount() > 0)
                        idle.invalidate();
                    else if (!idle.isValid())
                        idle.start();
                    return idle.isValid() && idle.elapsed() > 500;
                },
                5000);
            if (!saved) {
                std::fprintf(stderr, "a click on %s became no step\n", name.constData());
                return 1;
            }
            QObject::disconnect(captured);
            if (step)
                QObject::disconnect(step, &Step::ocrLabelChanged, nullptr, nullptr);
            cpuMs.push_back(threadCpuMs() - cpuBefore);
            stallMs.push_back(stalls.stop());
            savedMs.push_back(savedAt);
            if (done && labelled) {
                labelledMs.push_back(labelledAt - savedAt);
                labelMs[name].push_back(labelledAt - savedAt);
            } else {
                ++unlabelled;
            }
            if (round == 0)
                std::printf("  %-8s label %s\n", name.constData(),
                    step && step->ocrLabel() ? qPrintable(*step->ocrLabel()) : "(none)");
        }
    }
    service.cancelRecording();
    target.kill();
    target.waitForFinished(3000);

    bench::figure("GUI-thread CPU time per click, press to label (median)", median(cpuMs), "ms");
    bench::figure("  longest GUI-thread stall during a click (median)", median(stallMs), "ms");
    bench::figure("  longest GUI-thread stall during a click (max)", largest(stallMs), "ms");
    bench::figure("click -> step saved, with the 0.7 s capture delay (median)", median(savedMs), "ms");
    bench::figure("step saved -> label (median)", median(labelledMs), "ms");
    bench::figure("step saved -> label (max)", largest(labelledMs), "ms");
    for (const auto& [name, at] : places) {
        if (labelMs.value(name).empty())
            std::printf("  step saved -> label on %-8s no label\n", name.constData());
        else
            std::printf("  step saved -> label on %-8s median %7.1f ms  max %7.1f ms\n", name.constData(),
                median(labelMs.value(name)), largest(labelMs.value(name)));
    }
    bench::figure("clicks without a label", unlabelled, "clicks");
    bench::row("recording: GUI-thread CPU time per click (real tap, capture, OCR)", median(cpuMs), "ms", std::nullopt,
        "< 50 ms");
    bench::row("recording: longest GUI-thread stall in any click", largest(stallMs), "ms", std::nullopt, "< 50 ms");
    bench::row("recording: click -> step saved, incl. the 0.7 s capture delay", median(savedMs), "ms", std::nullopt,
        "< 1000 ms");
    bench::row(
        "recording: step saved -> label, max over every click", largest(labelledMs), "ms", std::nullopt, "< 150 ms");
    return 0;
}
