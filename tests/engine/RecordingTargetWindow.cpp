// A window of another process for recording tests: large words on white, and
// one line "WORD <text> <x> <y>" per word (global centre) once it is shown.
#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QTextStream>
#include <QTimer>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Recording target"));
    window.setStyleSheet(QStringLiteral("background: white; color: black;"));
    window.setGeometry(80, 80, 900, 620);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(64);
    font.setBold(true);
    const QStringList words { QStringLiteral("Apple"), QStringLiteral("Banana"), QStringLiteral("Cherry") };
    QList<QLabel*> labels;
    for (int i = 0; i < words.size(); ++i) {
        auto* label = new QLabel(words[i], &window);
        label->setFont(font);
        label->adjustSize();
        label->move(120, 60 + i * 200);
        labels.append(label);
    }
    window.show();
    QTimer::singleShot(700, [&] {
        QTextStream out(stdout);
        for (QLabel* label : labels) {
            const QPoint c = label->mapToGlobal(QPoint(label->width() / 2, label->height() / 2));
            out << "WORD " << label->text() << ' ' << c.x() << ' ' << c.y() << '\n';
        }
        out << "READY\n";
        out.flush();
    });
    return app.exec();
}
