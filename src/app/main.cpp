#include "app/ZOVAApp.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ZOVA"));
    QApplication::setApplicationDisplayName(QStringLiteral("Z.O.V.A"));
    QApplication::setDesktopFileName(QStringLiteral("zova"));

    zova::ZOVAApp::sharedModelContainer();

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Z.O.V.A"));
    window.resize(1280, 820);
    window.show();
    return app.exec();
}
