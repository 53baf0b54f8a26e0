#include "app/shell/ShutdownSignals.h"
#include "app/shell/SingleInstance.h"
#include "app/shell/ZOVAApp.h"
#include "model/TemporaryFiles.h"

#include <QApplication>
#include <QClipboard>

#include <cstdio>
#include <cstdlib>
#include <memory>

// Defined only when the binary is built with LeakSanitizer.
extern "C" void __lsan_do_leak_check() __attribute__((weak));

namespace {

// Ends the process without the library teardown: once QtWebEngine has printed a
// page, its shutdown alone keeps the process alive for over a second.
[[noreturn]] void endNow(int code)
{
    if (__lsan_do_leak_check)
        __lsan_do_leak_check();
    std::fflush(nullptr);
    std::_Exit(code);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // The settings file is ~/.config/ZOVA/ZOVA.conf.
    QApplication::setOrganizationName(QStringLiteral("ZOVA"));
    QApplication::setApplicationName(QStringLiteral("ZOVA"));
    QApplication::setApplicationDisplayName(QStringLiteral("Z.O.V.A"));
    QApplication::setDesktopFileName(QStringLiteral("zova"));
    QApplication::setStyle(QStringLiteral("Fusion"));

    auto instance = std::make_unique<zova::SingleInstance>(zova::ZOVAApp::storePath());
    switch (instance->start()) {
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
        QObject::connect(
            instance.get(), &zova::SingleInstance::activationRequested, &app, [&zova] { zova.bringToFront(); });
        code = zova.exec();
    } // the store and the settings are saved by now
    // The lock and the socket go now, so the next start need not tell them stale.
    instance.reset();
    // So do the files of exports that were still running: a PDF's page, staged copies.
    zova::TemporaryFiles::removeOwn();
    // Asked to end from outside, background work (text recognition, a language model
    // that is slow to answer) is not waited for. On Quit the only teardown worth its
    // time is handing what was copied to the clipboard manager.
    if (signalled || !QGuiApplication::clipboard()->ownsClipboard())
        endNow(code);
    return code;
}
