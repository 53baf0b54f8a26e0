#include "app/shell/WidgetDump.h"

#include "recording_ui/WindowCard.h"

#include <QApplication>
#include <QRect>
#include <QSaveFile>
#include <QVariant>
#include <QWidget>

namespace zova {

WidgetDump* WidgetDump::startFromEnvironment(QObject* parent)
{
    const QString path = qEnvironmentVariable("ZOVA_WIDGET_DUMP");
    return path.isEmpty() ? nullptr : new WidgetDump(path, parent);
}

WidgetDump::WidgetDump(QString path, QObject* parent)
    : QObject(parent)
    , m_path(std::move(path))
{
    m_timer.setInterval(200);
    connect(&m_timer, &QTimer::timeout, this, &WidgetDump::write);
    m_timer.start();
}

namespace {
// A window's title, else the widget's state for assistive technology.
QString text(const QWidget* w) { return w->isWindow() ? w->windowTitle() : w->accessibleDescription(); }
} // namespace

void WidgetDump::write()
{
    QString out;
    for (QWidget* w : QApplication::allWidgets()) {
        auto* card = qobject_cast<WindowCard*>(w);
        if ((!card && w->objectName().isEmpty()) || !w->isVisible() || w->window()->isMinimized())
            continue;
        const QPoint origin = w->mapToGlobal(QPoint(0, 0));
        out += QStringLiteral("%1\t%2\t%3\t%4\t%5\t%6\t%7\n")
                   .arg(w->objectName(), QString::fromLatin1(w->metaObject()->className()))
                   .arg(origin.x())
                   .arg(origin.y())
                   .arg(w->width())
                   .arg(w->height())
                   .arg(card ? card->displayTitle() : text(w));
        // Painted items (the editor's step rows) that a widget lists itself.
        for (const QVariant& entry : w->property("dumpItems").toList()) {
            const QVariantMap item = entry.toMap();
            const QRect rect = item.value(QStringLiteral("rect")).toRect();
            const QPoint at = w->mapToGlobal(rect.topLeft());
            out += QStringLiteral("%1\t%2\t%3\t%4\t%5\t%6\t%7\n")
                       .arg(item.value(QStringLiteral("name")).toString(), QStringLiteral("item"))
                       .arg(at.x())
                       .arg(at.y())
                       .arg(rect.width())
                       .arg(rect.height())
                       .arg(item.value(QStringLiteral("text")).toString());
        }
    }
    QSaveFile file(m_path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(out.toUtf8());
        file.commit();
    }
}

} // namespace zova
