#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QtGlobal>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
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

// CPU time, in milliseconds, of every thread of this process so far and of its
// children that have been waited for (a QProcess that finished, a joined helper).
inline double cpuMsSoFar()
{
    timespec self {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &self);
    rusage children {};
    getrusage(RUSAGE_CHILDREN, &children);
    const auto ms = [](const timeval& t) { return double(t.tv_sec) * 1e3 + double(t.tv_usec) / 1e3; };
    return double(self.tv_sec) * 1e3 + double(self.tv_nsec) / 1e6 + ms(children.ru_utime) + ms(children.ru_stime);
}

// What one side of a comparison cost: wall time and CPU time (all threads and the
// child processes it waited for), in milliseconds. Medians when it ran more than once.
struct Cost {
    double wallMs = 0;
    double cpuMs = 0;
    // The cost of one of `items` things the run did (frames, screenshots, rows).
    Cost per(double items) const { return { wallMs / items, cpuMs / items }; }
};

inline Cost timed(const std::function<void()>& body)
{
    const double cpu = cpuMsSoFar();
    QElapsedTimer t;
    t.start();
    body();
    const double wall = double(t.nsecsElapsed()) / 1e6;
    return { wall, cpuMsSoFar() - cpu };
}

inline double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Comparison {
    Cost ours;
    Cost peer;
};

// Runs our side and the peer's in turn, `runs` times each (after `setup` each
// time, untimed), so a change in the machine's load hits both alike; prints each
// side's median wall and CPU time and returns them.
inline Comparison compare(const char* oursName, const char* peerName, int runs, const std::function<void()>& ours,
    const std::function<void()>& peer, const std::function<void()>& setup = {})
{
    std::vector<double> oursWall, oursCpu, peerWall, peerCpu;
    for (int i = 0; i < runs; ++i) {
        // Which side goes first changes each run, so neither always finds the caches the other left.
        for (const bool oursNow : { i % 2 == 0, i % 2 != 0 }) {
            if (setup)
                setup();
            const Cost c = timed(oursNow ? ours : peer);
            (oursNow ? oursWall : peerWall).push_back(c.wallMs);
            (oursNow ? oursCpu : peerCpu).push_back(c.cpuMs);
        }
    }
    const Comparison result { { median(oursWall), median(oursCpu) }, { median(peerWall), median(peerCpu) } };
    for (const auto& [name, cost] : { std::pair { oursName, result.ours }, std::pair { peerName, result.peer } })
        std::printf("%-55s median %9.3f ms  cpu %9.3f ms\n", name, cost.wallMs, cost.cpuMs);
    std::fflush(stdout);
    return result;
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

// A row of wall time beside CPU time, for sides that may use different numbers of
// threads or processes:
//   ROW <name> | ours <wall> ms | peer <wall or -> | ratio <x or -> | target <text>
//       | cpu ours <cpu> ms | cpu peer <cpu or -> | cpu ratio <x or ->
// (one line). Clauses of the target are joined by ","; a clause that starts with
// "cpu" holds the CPU figures to it ("cpu <= 0.7 x" on the CPU ratio, "cpu < 20 ms"
// on our CPU time), the others the wall figures.
inline void row(const char* name, const Cost& ours, std::optional<Cost> peer, const char* target)
{
    const bool withPeer = peer && peer->wallMs > 0 && peer->cpuMs > 0;
    std::printf("ROW %s | ours %.3f ms | ", name, ours.wallMs);
    if (withPeer)
        std::printf("peer %.3f | ratio %.3f | ", peer->wallMs, ours.wallMs / peer->wallMs);
    else
        std::printf("peer - | ratio - | ");
    std::printf("target %s | cpu ours %.3f ms | ", target, ours.cpuMs);
    if (withPeer)
        std::printf("cpu peer %.3f | cpu ratio %.3f\n", peer->cpuMs, ours.cpuMs / peer->cpuMs);
    else
        std::printf("cpu peer - | cpu ratio -\n");
    std::fflush(stdout);
}

} // namespace zova::bench
