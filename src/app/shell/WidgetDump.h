#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

namespace zova {

// For tests driving the real application from outside: while
// $ZOVA_WIDGET_DUMP names a file, every 200 ms it is rewritten (atomically) with
// one line per visible widget that has an object name, and per window card:
// name, class, global x, y, width, height and a text (a card's title, a window's
// title, else the widget's accessible description), tab-separated; then a line
// per item of a widget's "dumpItems" property (maps of name, rect in the widget's
// coordinates, and text), with the class "item".
class WidgetDump final : public QObject {
    Q_OBJECT
public:
    // Null when the variable is not set.
    static WidgetDump* startFromEnvironment(QObject* parent);

private:
    WidgetDump(QString path, QObject* parent);
    void write();

    QString m_path;
    QTimer m_timer;
};

} // namespace zova
