// The window a recording benchmark records: another process showing an
// application's toolbar, sidebar and page of text, that prints one line
// "CLICK <name> <x> <y>" per place to click (global pixels) and "READY" once shown.
#include "DesktopFrame.h"

#include <QApplication>
#include <QLabel>
#include <QPixmap>
#include <QTextStream>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QLabel window;
    window.setWindowTitle(QStringLiteral("Recording benchmark target"));
    window.setPixmap(QPixmap::fromImage(desktopFrame(QImage::Format_RGB32).copy(0, 0, 1280, 760)));
    window.setGeometry(100, 80, 1280, 760);
    window.show();
    // Places in the window's own pixels: a toolbar item, a sidebar item, a word in
    // the page, a place beside the page's lines (too far from their centres for a
    // label) and one in the gap between the sidebar and the page, named after the
    // sidebar item beside it.
    const struct {
        const char* name;
        QPoint at;
    } places[] = { { "toolbar", { 130, 25 } }, { "sidebar", { 60, 128 } }, { "text", { 700, 546 } },
        { "beside", { 850, 354 } }, { "gap", { 200, 340 } } };
    QTimer::singleShot(700, [&] {
        QTextStream out(stdout);
        for (const auto& p : places) {
            const QPoint global = window.mapToGlobal(p.at);
            out << "CLICK " << p.name << ' ' << global.x() << ' ' << global.y() << '\n';
        }
        out << "READY\n";
        out.flush();
    });
    return app.exec();
}
