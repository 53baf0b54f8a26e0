#include "Bench.h"
#include "engine/LabelSet.h"

#include "engine/VisibleArea.h"
#include "engine/VisionService.h"
#include "platform/ocr/TextRecognizer.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QRegion>
#include <QSemaphore>
#include <QThreadPool>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

using zova::VisionService;

namespace {

// The share of clicks whose label names the clicked control exactly.
constexpr double exactTarget = 0.9;
constexpr double clickTargetMs = 150.0;

double percentile(const std::vector<double>& sorted, double p)
{
    const size_t index = std::min(sorted.size() - 1, size_t(p * double(sorted.size() - 1) + 0.5));
    return sorted[index];
}

// What the reader made of one labelled set.
struct SetFigures {
    int clicks = 0;
    int exact = 0;
    // Labels taken from text outside the clicked window.
    int wrongWindow = 0;
    std::vector<double> times;
    std::vector<double> cpuTimes;
};

double threadCpuMs()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// Whether a label came from outside the clicked window: the reader still gives
// it once everything the clicked window shows is painted over.
bool fromAnotherWindow(const VisionService& vision, const zova::labelset::Set& set, const zova::labelset::Click& click,
    const std::optional<QString>& label)
{
    if (!label || !set.windows.contains(click.image))
        return false;
    const QImage& image = set.images.value(click.image);
    const QRegion outside = QRegion(image.rect()) - set.visibleArea(click);
    return vision.recognizeStepLabel(click.point, zova::showOnlyVisibleArea(image, outside, click.point)) == label;
}

SetFigures measure(
    const VisionService& vision, const char* name, const zova::labelset::Set& set, const QString& only, bool verbose)
{
    SetFigures figures;
    for (const zova::labelset::Click& click : set.clicks) {
        if (!only.isEmpty() && !click.image.contains(only))
            continue;
        const QImage& image = set.images.value(click.image);
        const std::optional<QRegion> visible
            = set.windows.contains(click.image) ? std::optional(set.visibleArea(click)) : std::nullopt;
        QElapsedTimer timer;
        const double cpu0 = threadCpuMs();
        timer.start();
        const std::optional<QString> label = visible ? vision.recognizeStepLabel(click.point, image, *visible)
                                                     : vision.recognizeStepLabel(click.point, image);
        figures.times.push_back(double(timer.nsecsElapsed()) / 1e6);
        figures.cpuTimes.push_back(threadCpuMs() - cpu0);
        const std::optional<QString> expected = VisionService::formatLabel(click.text);
        const bool hit = label == expected;
        const bool wrongWindow = !hit && fromAnotherWindow(vision, set, click, label);
        ++figures.clicks;
        figures.exact += hit ? 1 : 0;
        figures.wrongWindow += wrongWindow ? 1 : 0;
        if (verbose || !hit)
            std::fprintf(stderr, "  %s %s %-30s (%4.0f,%4.0f) %6.1f ms (cpu %6.1f)  want %-24s got %s\n",
                hit ? "  " : (wrongWindow ? "WW" : "XX"), name, qPrintable(click.image), click.point.x(),
                click.point.y(), figures.times.back(), figures.cpuTimes.back(),
                expected ? qPrintable(*expected) : "(none)", label ? qPrintable(*label) : "(none)");
    }
    std::sort(figures.times.begin(), figures.times.end());
    std::sort(figures.cpuTimes.begin(), figures.cpuTimes.end());
    return figures;
}

void printFigures(const char* name, const SetFigures& f)
{
    const double share = double(f.exact) / double(f.clicks);
    std::printf("%-55s %d of %d = %5.1f %%  target >= %g %%  %s\n",
        qPrintable(QStringLiteral("step labels naming the clicked control, %1 set").arg(QLatin1String(name))), f.exact,
        f.clicks, 100.0 * share, 100.0 * exactTarget, share >= exactTarget ? "ok" : "MISSED");
    std::printf("%-55s %d  target 0  %s\n",
        qPrintable(QStringLiteral("labels taken from another window, %1 set").arg(QLatin1String(name))), f.wrongWindow,
        f.wrongWindow == 0 ? "ok" : "MISSED");
    std::printf("%-55s median %7.1f ms  p95 %7.1f ms  max %7.1f ms  target every click < %g ms  %s\n",
        qPrintable(QStringLiteral("step label per click, %1 set").arg(QLatin1String(name))), percentile(f.times, 0.5),
        percentile(f.times, 0.95), f.times.back(), clickTargetMs, f.times.back() < clickTargetMs ? "ok" : "SLOW");
    std::printf("%-55s median %7.1f ms  p95 %7.1f ms  max %7.1f ms\n", "  of it on the processor",
        percentile(f.cpuTimes, 0.5), percentile(f.cpuTimes, 0.95), f.cpuTimes.back());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    // -v prints every click, not only the misses; a further argument keeps only
    // the clicks on images whose name contains it.
    const QStringList args = app.arguments().mid(1);
    const bool verbose = args.contains(QStringLiteral("-v"));
    QString only;
    for (const QString& arg : args)
        if (arg != QStringLiteral("-v"))
            only = arg;
    // The tuning set is the one the reader is tuned on; the held-out set is
    // never tuned on and tells what users see.
    const zova::labelset::Set tuning = zova::labelset::load(QStringLiteral(ZOVA_LABEL_SET_DIR));
    const zova::labelset::Set heldOut = zova::labelset::load(QStringLiteral(ZOVA_HELDOUT_LABEL_SET_DIR));
    for (const zova::labelset::Set* set : { &tuning, &heldOut }) {
        if (!set->error.isEmpty() || set->clicks.isEmpty()) {
            std::printf("label set: %s\n", qPrintable(set->error));
            return 1;
        }
    }
    const VisionService vision;
    // Starts this thread's engine and those of the pool, which tall regions are
    // shared with, as a recording starts them.
    VisionService::prepareRecognition();
    QSemaphore ready;
    VisionService::recognitionPool()->start([&ready] { ready.release(); });
    ready.acquire();
    vision.recognizeStepLabel({ 0, 0 }, tuning.images.begin().value());

    const SetFigures tuned = measure(vision, "tuning", tuning, only, verbose);
    const SetFigures held = measure(vision, "held-out", heldOut, only, verbose);
    if (tuned.times.empty() || held.times.empty())
        return 1;
    printFigures("tuning", tuned);
    printFigures("held-out", held);

    // The peer: the engine reading each whole screenshot, as a plain OCR call would.
    std::vector<double> whole;
    for (auto it = tuning.images.cbegin(); it != tuning.images.cend(); ++it) {
        if (!only.isEmpty() && !it.key().contains(only))
            continue;
        QElapsedTimer timer;
        timer.start();
        (void)zova::ocr::TextRecognizer::recognize(it.value(), it.value().rect());
        whole.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(whole.begin(), whole.end());
    const std::optional<double> peer = whole.empty() ? std::nullopt : std::optional(percentile(whole, 0.5));
    zova::bench::figure("tesseract on the whole screenshot, median", peer.value_or(0), "ms");
    std::vector<double> times = tuned.times;
    times.insert(times.end(), held.times.begin(), held.times.end());
    std::sort(times.begin(), times.end());
    const QString clicks = QString::number(times.size());
    zova::bench::row(
        qPrintable(
            QStringLiteral("OCR label per click, max of %1 clicks, vs tesseract on the whole frame").arg(clicks)),
        times.back(), "ms", peer, "< 150 ms");
    zova::bench::row("OCR label per click, median", percentile(times, 0.5), "ms", peer, "< 150 ms");
    zova::bench::row("OCR label per click, p95", percentile(times, 0.95), "ms", peer, "< 150 ms");
    for (const auto& [name, f] : { std::pair { "tuning", &tuned }, std::pair { "held-out", &held } }) {
        zova::bench::row(qPrintable(QStringLiteral("OCR labels naming the clicked control, %1 set, of %2 clicks")
                                        .arg(QLatin1String(name))
                                        .arg(f->clicks)),
            100.0 * double(f->exact) / double(f->clicks), "%", std::nullopt, ">= 90 %");
        zova::bench::row(
            qPrintable(QStringLiteral("OCR labels taken from another window, %1 set").arg(QLatin1String(name))),
            double(f->wrongWindow), "labels", std::nullopt, "<= 0 labels");
    }
    return 0;
}
