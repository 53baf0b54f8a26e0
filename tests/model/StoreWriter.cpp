// Saves one guide into the store named on the command line, prints its id and
// kills itself with SIGKILL the moment save() returns.
#include "model/Guide.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/Record.h"
#include "model/Step.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    auto opened = zova::ModelContainer::open(QString::fromLocal8Bit(argv[1]));
    if (!opened)
        return 3;
    auto* ctx = opened.value()->mainContext();
    auto* g = new zova::Guide(QStringLiteral("killed right after save"));
    ctx->insert(g);
    for (int i = 0; i < 20; ++i) {
        auto* s = new zova::Step(i, QStringLiteral("x.png"), 0.5, 0.5);
        s->setOcrLabel(QStringLiteral("label %1").arg(i));
        s->setGuide(g);
    }
    if (!ctx->save())
        return 4;
    std::printf("%s\n", zova::uuidText(g->id()).toUtf8().constData());
    std::fflush(stdout);
    std::raise(SIGKILL);
    return 0;
}
