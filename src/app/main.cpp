#include "app/ShutdownSignals.h"
#include "app/SingleInstance.h"
#include "app/ZOVAApp.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // The settings file is ~/.config/ZOVA/ZOVA.conf.
    QApplication::setOrganizationName(QStringLiteral("ZOVA"));
    QApplication::setApplicationName(QStringLiteral("ZOVA"));
    QApplication::setApplicationDisplayName(QStringLiteral("Z.O.V.A"));
    QApplication::setDesktopFileName(QStringLiteral("zova"));
    QApplication::setStyle(QStringLiteral("Fusion"));

    zova::SingleInstance instance(zova::ZOVAApp::storePath());
    switch (instance.start()) {
    case zova::SingleInstance::Role::First: break;
    case zova::SingleInstance::Role::HandedOver: return 0;
    case zova::SingleInstance::Role::Unreachable:
        std::fprintf(stderr, "Z.O.V.A is already running on this store and does not answer.\n");
        return 1;
    }
    zova::ShutdownSignals shutdown;
    bool signalled = false;
    QObject::connect(&shutdown, &zova::ShutdownSignals::received, &app, [&signalled] { signalled = true; });
    int code = 0;
    {
        zova::ZOVAApp zova;
        QObject::connect(&instance, &zova::SingleInstance::activationRequested, &app, [&zova] { zova.bringToFront(); });
        code = zova.exec();
    } // the store is saved by now
    if (signalled) {
        // Asked to end from outside: background work (text recognition, a language
        // model that is slow to answer) is not waited for.
        std::fflush(nullptr);
        std::_Exit(code);
    }
    return code;
}
