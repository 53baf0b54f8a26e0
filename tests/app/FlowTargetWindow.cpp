// A plain window for the end-to-end recording tests to pick and click in: a
// grid of coloured tiles, titled by its first argument. With "--menu" as the
// second argument it has a menu bar whose File menu hangs below the window,
// and prints where to click: "TITLE x y" for the menu's title once shown,
// "MENU x y w h" and "ITEM <text> x y" (global centres) each time the menu opens.
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QTextStream>
#include <QTimer>
#include <QWidget>

namespace {

class Tiles : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        const QColor colors[] = { QColor(0x3b82f6), QColor(0x10b981), QColor(0xf59e0b), QColor(0xef4444) };
        const int w = width() / 2, h = height() / 2;
        for (int i = 0; i < 4; ++i)
            p.fillRect((i % 2) * w, (i / 2) * h, w, h, colors[i]);
    }
};

void print(const QString& line)
{
    QTextStream out(stdout);
    out << line << '\n';
    out.flush();
}

QString centre(const QRect& r) { return QStringLiteral("%1 %2").arg(r.center().x()).arg(r.center().y()); }

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString title = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("Flow Target");
    if (argc > 2 && QByteArray(argv[2]) == "--menu") {
        QMainWindow window;
        window.setWindowTitle(title);
        window.setCentralWidget(new Tiles);
        QMenu* file = window.menuBar()->addMenu(QStringLiteral("File"));
        for (const char* item : { "New", "Open", "Export", "Print", "Share", "Close" })
            file->addAction(QString::fromLatin1(item));
        QObject::connect(file, &QMenu::aboutToShow, file, [file] {
            QTimer::singleShot(150, file, [file] {
                const QRect menu(file->mapToGlobal(QPoint(0, 0)), file->size());
                print(QStringLiteral("MENU %1 %2 %3 %4")
                          .arg(menu.x())
                          .arg(menu.y())
                          .arg(menu.width())
                          .arg(menu.height()));
                for (QAction* action : file->actions()) {
                    const QRect r = file->actionGeometry(action).translated(menu.topLeft());
                    print(QStringLiteral("ITEM %1 %2").arg(action->text(), centre(r)));
                }
            });
        });
        window.resize(640, 80);
        window.move(200, 300);
        window.show();
        QTimer::singleShot(700, &window, [&] {
            const QRect r = window.menuBar()->actionGeometry(file->menuAction());
            print(QStringLiteral("TITLE ") + centre(QRect(window.menuBar()->mapToGlobal(r.topLeft()), r.size())));
        });
        return app.exec();
    }
    Tiles window;
    window.setWindowTitle(title);
    window.resize(640, 420);
    window.move(200, 300);
    window.show();
    return app.exec();
}
