#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QtGlobal>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <vector>

namespace zova::bench {

// Points the XDG data, config and cache folders below `home`, so a benchmark never
// touches the user's own store or settings; call before the application object exists.
inline void useHome(const QString& home)
{
    qputenv("XDG_DATA_HOME", (home + "/data").toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home + "/config").toLocal8Bit());
    qputenv("XDG_CACHE_HOME", (home + "/cache").toLocal8Bit());
}

// Runs the body `runs` times (after `setup` each time, untimed) and prints the
// median and the fastest run in milliseconds next to the target (none when it is 0).
inline double measure(const char* name, int runs, const std::function<void()>& body, double targetMs,
    const std::function<void()>& setup = {})
{
    std::vector<double> times;
    times.reserve(size_t(runs));
    for (int i = 0; i < runs; ++i) {
        if (setup)
            setup();
        QElapsedTimer t;
        t.start();
        body();
        times.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    if (targetMs > 0)
        std::printf("%-55s median %9.3f ms  min %9.3f ms  target < %g ms  %s\n", name, median, times.front(), targetMs,
            median < targetMs ? "ok" : "SLOW");
    else
        std::printf("%-55s median %9.3f ms  min %9.3f ms\n", name, median, times.front());
    std::fflush(stdout);
    return median;
}

inline void figure(const char* name, double value, const char* unit)
{
    std::printf("%-55s %9.3f %s\n", name, value, unit);
    std::fflush(stdout);
}

// One row of the summary scripts/bench.sh prints after every benchmark has run:
//   ROW <name> | ours <value> <unit> | peer <value or -> | ratio <x or -> | target <text>
// `peer` is the reference's figure in the same unit from the same run; the ratio
// is ours / peer. The target reads "<op> <number> <unit>" with op one of <, <=,
// >, >=: on the ratio when the unit is "x", else on our figure ("ms" and "s"
// convert). A name holds no "|".
inline void row(const char* name, double ours, const char* unit, std::optional<double> peer, const char* target)
{
    std::printf("ROW %s | ours %.3f %s | ", name, ours, unit);
    if (peer && *peer > 0)
        std::printf("peer %.3f | ratio %.3f | ", *peer, ours / *peer);
    else
        std::printf("peer - | ratio - | ");
    std::printf("target %s\n", target);
    std::fflush(stdout);
}

} // namespace zova::bench
