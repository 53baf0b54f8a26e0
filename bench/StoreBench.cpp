#include "Bench.h"

#include "model/Guide.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/Step.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <sqlite3.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

using namespace zova;

namespace {

constexpr int stepsPerGuide = 20;

void createStore(const QString& path, int guideCount)
{
    auto c = ModelContainer::open(path);
    auto* ctx = c.value()->mainContext();
    for (int g = 0; g < guideCount; ++g) {
        auto* guide = new Guide(QStringLiteral("Guide %1").arg(g));
        ctx->insert(guide);
        for (int s = 0; s < stepsPerGuide; ++s) {
            auto* step = new Step(s, QStringLiteral("%1.png").arg(s), 0.5, 0.25);
            step->setOcrLabel(QStringLiteral("Click ‘Button %1’").arg(s));
            step->setGuide(guide);
        }
    }
    (void)ctx->save();
}

// The peer: sqlite3's C API reading the rows the store reads, every column touched.
qint64 readRaw(const QString& path)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    qint64 checksum = 0;
    const char* queries[] = {
        "SELECT id, title, summary, \"order\", createdAt, updatedAt, publishStatusRaw, aiGenerated, "
        "aiRewriteCount, themeHueRaw, ownerInitials, videoBackgroundHex FROM Guide ORDER BY rowid",
        "SELECT id, \"order\", screenshotFilename, clickX, clickY, ocrLabel, userDescription, "
        "annotationsData, capturedAt, videoBackgroundHex, guide FROM Step ORDER BY rowid",
    };
    for (const char* sql : queries) {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
        while (sqlite3_step(st) == SQLITE_ROW) {
            for (int i = 0; i < sqlite3_column_count(st); ++i) {
                if (sqlite3_column_type(st, i) == SQLITE_TEXT || sqlite3_column_type(st, i) == SQLITE_BLOB) {
                    const auto* p = static_cast<const unsigned char*>(sqlite3_column_blob(st, i));
                    const int n = sqlite3_column_bytes(st, i);
                    checksum += n > 0 ? p[0] + p[n - 1] : 0;
                } else {
                    checksum += sqlite3_column_int64(st, i);
                }
            }
        }
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return checksum;
}

// What a user waits for: the store opened and every guide and step read. The
// container is handed back, so that its teardown is timed by nobody.
std::unique_ptr<ModelContainer> openAndReadAll(const QString& path, int guideCount)
{
    auto container = std::move(ModelContainer::open(path)).value();
    // The steps too, which are otherwise read when first asked for.
    if (container->mainContext()->guides().size() != guideCount
        || container->mainContext()->allSteps().size() != guideCount * stepsPerGuide)
        std::printf("unexpected record count\n");
    return container;
}

// --open ours|raw PATH GUIDES: one side's open and read in this fresh process,
// printed as "cost <wall ms> <cpu ms>" for the parent.
int openChild(char** argv)
{
    const QString path = QString::fromLocal8Bit(argv[3]);
    const int guideCount = std::atoi(argv[4]);
    const bool ours = qstrcmp(argv[2], "ours") == 0;
    qint64 checksum = 0;
    std::unique_ptr<ModelContainer> container;
    const bench::Cost cost = bench::timed([&] {
        if (ours)
            container = openAndReadAll(path, guideCount);
        else
            checksum = readRaw(path);
    });
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("cost %.6f %.6f %ld %lld\n", cost.wallMs, cost.cpuMs, usage.ru_minflt, qlonglong(checksum));
    return 0;
}

// One side in a process of its own, which starts with nothing cached but the
// file in the system's page cache, as the application does when it starts.
bench::Cost coldRun(const char* side, const QString& path, int guideCount, long* pageFaults)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
        { QStringLiteral("--open"), QLatin1String(side), path, QString::number(guideCount) });
    if (!child.waitForFinished(300000) || child.exitCode() != 0) {
        std::printf("the %s side failed\n", side);
        return {};
    }
    const QList<QByteArray> fields = child.readAllStandardOutput().trimmed().split(' ');
    if (fields.size() < 4 || fields[0] != "cost")
        return {};
    *pageFaults = fields[3].toLong();
    return { fields[1].toDouble(), fields[2].toDouble() };
}

// Opening the store and reading every record beside sqlite3's C API reading the
// same rows and columns: each side in fresh processes, the two alternated; then
// both again in this process, warm, alternated.
void benchLoad(const QString& path, int guideCount)
{
    const QString size = QStringLiteral("%1 guides x %2 steps").arg(guideCount).arg(stepsPerGuide);
    constexpr int runs = 7;
    std::vector<double> oursWall, oursCpu, rawWall, rawCpu;
    long oursFaults = 0;
    long rawFaults = 0;
    for (int i = 0; i < runs; ++i) {
        for (const bool oursNow : { i % 2 == 0, i % 2 != 0 }) {
            const bench::Cost c
                = coldRun(oursNow ? "ours" : "raw", path, guideCount, oursNow ? &oursFaults : &rawFaults);
            (oursNow ? oursWall : rawWall).push_back(c.wallMs);
            (oursNow ? oursCpu : rawCpu).push_back(c.cpuMs);
        }
    }
    const bench::Cost ours { bench::median(oursWall), bench::median(oursCpu) };
    const bench::Cost raw { bench::median(rawWall), bench::median(rawCpu) };
    std::printf("%-55s median %9.3f ms  cpu %9.3f ms\n",
        qPrintable(QStringLiteral("store: open and read all, %1, fresh process").arg(size)), ours.wallMs, ours.cpuMs);
    std::printf("%-55s median %9.3f ms  cpu %9.3f ms\n",
        qPrintable(QStringLiteral("store: sqlite3 C API, same rows, %1, fresh process").arg(size)), raw.wallMs,
        raw.cpuMs);
    // Each fresh page of memory costs a fault; on some virtual machines that dominates.
    std::printf("  page faults of a whole child process: ours %ld, sqlite3 %ld\n", oursFaults, rawFaults);
    bench::row(qPrintable(QStringLiteral("store open and read all, %1, fresh processes, vs sqlite3 C API").arg(size)),
        ours, raw, "<= 3 x");

    qint64 checksum = 0;
    std::unique_ptr<ModelContainer> container;
    const bench::Comparison warm = bench::compare(
        qPrintable(QStringLiteral("store: open and read all, %1, warm").arg(size)),
        qPrintable(QStringLiteral("store: sqlite3 C API, same rows, %1, warm").arg(size)), runs,
        [&] { container = openAndReadAll(path, guideCount); }, [&] { checksum += readRaw(path); },
        [&] { container.reset(); });
    bench::row(qPrintable(QStringLiteral("store open and read all, %1, warm, vs sqlite3 C API").arg(size)), warm.ours,
        warm.peer, "<= 3 x");
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 5 && qstrcmp(argv[1], "--open") == 0)
        return openChild(argv);
    QTemporaryDir dir;
    const QString path = dir.path() + "/ZOVA.store";
    const QString large = dir.path() + "/Large.store";
    bench::measure(
        "store: create 1000 guides x 20 steps", 1, [&] { createStore(path, 1000); }, 5000);
    createStore(large, 5000);

    benchLoad(path, 1000);
    benchLoad(large, 5000);

    auto c = ModelContainer::open(path);
    auto* ctx = c.value()->mainContext();
    Step* step = ctx->guides()[500]->steps()[7];
    int n = 0;
    const double editMs = bench::measure(
        "store: one small edit + save()", 200,
        [&] {
            step->setUserDescription(QStringLiteral("edit %1").arg(++n));
            (void)ctx->save();
        },
        1);
    bench::row("store: one small edit saved", editMs, "ms", std::nullopt, "< 1 ms");

    bench::measure(
        "store: delete one guide with 20 steps + save()", 20,
        [&] {
            ctx->remove(ctx->guides().first());
            (void)ctx->save();
        },
        10);
    return 0;
}
