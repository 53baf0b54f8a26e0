#include "Bench.h"

#include "model/Guide.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/Step.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <cstdio>

using namespace zova;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.path() + "/ZOVA.store";
    {
        auto c = ModelContainer::open(path);
        auto* ctx = c.value()->mainContext();
        for (int g = 0; g < 1000; ++g) {
            auto* guide = new Guide(QStringLiteral("Guide %1").arg(g));
            ctx->insert(guide);
            for (int s = 0; s < 20; ++s) {
                auto* step = new Step(s, QStringLiteral("%1.png").arg(s), 0.5, 0.25);
                step->setOcrLabel(QStringLiteral("Click ‘Button %1’").arg(s));
                step->setGuide(guide);
            }
        }
        bench::measure(
            "store: create 1000 guides x 20 steps", 1, [&] { (void)ctx->save(); }, 5000);
    }

    bench::measure(
        "store: open and load 1000 guides with 20000 steps", 7,
        [&] {
            auto c = ModelContainer::open(path);
            int steps = 0;
            for (Guide* g : c.value()->mainContext()->guides())
                steps += int(g->steps().size());
            if (steps != 20000)
                std::printf("unexpected step count %d\n", steps);
        },
        100);

    auto c = ModelContainer::open(path);
    auto* ctx = c.value()->mainContext();
    Step* step = ctx->guides()[500]->steps()[7];
    int n = 0;
    bench::measure(
        "store: one small edit + save()", 200,
        [&] {
            step->setUserDescription(QStringLiteral("edit %1").arg(++n));
            (void)ctx->save();
        },
        1);

    bench::measure(
        "store: delete one guide with 20 steps + save()", 20,
        [&] {
            ctx->remove(ctx->guides().first());
            (void)ctx->save();
        },
        10);
    return 0;
}
