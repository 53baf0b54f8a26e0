#include "Bench.h"

#include "model/Guide.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/Step.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <cstdio>
#include <memory>

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

// Opening and loading the store beside the raw read of the same rows; the
// container is torn down outside the timing.
void benchLoad(const QString& path, int guideCount)
{
    std::unique_ptr<ModelContainer> container;
    const double ours = bench::measure(
        qPrintable(QStringLiteral("store: open and load %1 guides x %2 steps").arg(guideCount).arg(stepsPerGuide)), 9,
        [&] {
            // Every record, the steps included, which are otherwise read when first asked for.
            container = std::move(ModelContainer::open(path)).value();
            if (container->mainContext()->guides().size() != guideCount
                || container->mainContext()->allSteps().size() != guideCount * stepsPerGuide)
                std::printf("unexpected record count\n");
        },
        0, [&] { container.reset(); });
    container.reset();
    qint64 checksum = 0;
    const double raw = bench::measure(
        qPrintable(QStringLiteral("store: sqlite3 C API, same rows, %1 guides").arg(guideCount)), 9,
        [&] { checksum += readRaw(path); }, 0);
    bench::row(
        qPrintable(
            QStringLiteral("store load, %1 guides x %2 steps, vs sqlite3 C API").arg(guideCount).arg(stepsPerGuide)),
        ours, "ms", raw, "<= 3 x");
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
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
