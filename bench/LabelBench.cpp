#include "Bench.h"
#include "engine/LabelSet.h"

#include "engine/VisionService.h"
#include "platform/ocr/TextRecognizer.h"

#include <QElapsedTimer>
#include <QGuiApplication>
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
    const zova::labelset::Set set = zova::labelset::load(QStringLiteral(ZOVA_LABEL_SET_DIR));
    if (!set.error.isEmpty() || set.clicks.isEmpty()) {
        std::printf("label set: %s\n", qPrintable(set.error));
        return 1;
    }
    const VisionService vision;
    // Starts this thread's engine and those of the pool, which tall regions are
    // shared with, as a recording starts them.
    VisionService::prepareRecognition();
    QSemaphore ready;
    VisionService::recognitionPool()->start([&ready] { ready.release(); });
    ready.acquire();
    vision.recognizeStepLabel({ 0, 0 }, set.images.begin().value());

    int exact = 0;
    std::vector<double> times;
    std::vector<double> cpuTimes;
    for (const zova::labelset::Click& click : set.clicks) {
        if (!only.isEmpty() && !click.image.contains(only))
            continue;
        QElapsedTimer timer;
        timespec cpu0 {};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpu0);
        timer.start();
        const std::optional<QString> label = vision.recognizeStepLabel(click.point, set.images.value(click.image));
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
        timespec cpu1 {};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpu1);
        cpuTimes.push_back(double(cpu1.tv_sec - cpu0.tv_sec) * 1e3 + double(cpu1.tv_nsec - cpu0.tv_nsec) / 1e6);
        const QString expected = *VisionService::formatLabel(click.text);
        const bool hit = label == expected;
        exact += hit ? 1 : 0;
        if (verbose || !hit)
            std::fprintf(stderr, "  %s %-22s (%4.0f,%4.0f) %6.1f ms (cpu %6.1f)  want %-24s got %s\n",
                hit ? "  " : "XX", qPrintable(click.image), click.point.x(), click.point.y(), times.back(),
                cpuTimes.back(), qPrintable(expected), label ? qPrintable(*label) : "(none)");
    }
    std::sort(times.begin(), times.end());
    if (times.empty())
        return 1;
    const double share = double(exact) / double(times.size());
    std::printf("%-55s %d of %lld = %5.1f %%  target >= %g %%  %s\n", "step labels naming the clicked control", exact,
        qlonglong(times.size()), 100.0 * share, 100.0 * exactTarget, share >= exactTarget ? "ok" : "MISSED");
    std::printf("%-55s median %7.1f ms  p95 %7.1f ms  max %7.1f ms  target every click < %g ms  %s\n",
        "step label per click", percentile(times, 0.5), percentile(times, 0.95), times.back(), clickTargetMs,
        times.back() < clickTargetMs ? "ok" : "SLOW");
    std::sort(cpuTimes.begin(), cpuTimes.end());
    std::printf("%-55s median %7.1f ms  p95 %7.1f ms  max %7.1f ms\n", "  of it on the processor",
        percentile(cpuTimes, 0.5), percentile(cpuTimes, 0.95), cpuTimes.back());
    std::fflush(stdout);

    // The peer: the engine reading each whole screenshot, as a plain OCR call would.
    std::vector<double> whole;
    for (auto it = set.images.cbegin(); it != set.images.cend(); ++it) {
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
    const QString clicks = QString::number(times.size());
    zova::bench::row(
        qPrintable(
            QStringLiteral("OCR label per click, max of %1 clicks, vs tesseract on the whole frame").arg(clicks)),
        times.back(), "ms", peer, "< 150 ms");
    zova::bench::row("OCR label per click, median", percentile(times, 0.5), "ms", peer, "< 150 ms");
    zova::bench::row("OCR label per click, p95", percentile(times, 0.95), "ms", peer, "< 150 ms");
    zova::bench::row(qPrintable(QStringLiteral("OCR labels naming the clicked control, of %1 clicks").arg(clicks)),
        100.0 * share, "%", std::nullopt, ">= 90 %");
    return 0;
}
