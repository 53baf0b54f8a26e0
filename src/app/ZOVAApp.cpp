#include "app/ZOVAApp.h"

#include <QByteArray>

#include <cstdio>
#include <cstdlib>

namespace zova {

std::unique_ptr<ModelContainer>& ZOVAApp::instance()
{
    static std::unique_ptr<ModelContainer> container;
    return container;
}

QString ZOVAApp::storePath()
{
    const QByteArray overridePath = qgetenv("ZOVA_STORE_PATH");
    return overridePath.isEmpty() ? ModelContainer::defaultStorePath() : QString::fromLocal8Bit(overridePath);
}

ModelContainer& ZOVAApp::sharedModelContainer()
{
    auto& container = instance();
    if (!container) {
        auto opened = ModelContainer::open(storePath());
        if (!opened) {
            const QByteArray message =
                (QStringLiteral("Could not create ModelContainer: ") + opened.error().description()).toUtf8();
            std::fprintf(stderr, "%s\n", message.constData());
            std::fflush(stderr);
            std::_Exit(1);
        }
        container = std::move(opened).value();
    }
    return *container;
}

} // namespace zova
