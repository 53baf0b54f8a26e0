// A plain window for the end-to-end recording test to pick and click in:
// a grid of coloured tiles, titled by its first argument.
#include <QApplication>
#include <QPainter>
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

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    Tiles window;
    window.setWindowTitle(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("Flow Target"));
    window.resize(640, 420);
    window.move(200, 300);
    window.show();
    return app.exec();
}
