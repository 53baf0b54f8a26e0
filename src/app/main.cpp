#include "app/ZOVAApp.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // The settings file is ~/.config/ZOVA/ZOVA.conf.
    QApplication::setOrganizationName(QStringLiteral("ZOVA"));
    QApplication::setApplicationName(QStringLiteral("ZOVA"));
    QApplication::setApplicationDisplayName(QStringLiteral("Z.O.V.A"));
    QApplication::setDesktopFileName(QStringLiteral("zova"));
    QApplication::setStyle(QStringLiteral("Fusion"));
    zova::ZOVAApp zova;
    return zova.exec();
}
