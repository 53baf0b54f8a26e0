#pragma once

#include <QColor>
#include <QList>
#include <QMetaObject>
#include <QString>

class QWidget;

namespace zova {

class Guide;

// Shared by the card and the list row.
namespace guidecard {
QString statusText(const Guide& guide);
QColor statusColor(const Guide& guide);
// The first ordered step's screenshot file name; empty when there are no steps.
QString firstScreenshotName(const Guide& guide);
// Repaints a card or row when a field it shows, and that neither the filter
// nor the order depends on, changes on the guide it shows now.
class GuideWatch {
public:
    GuideWatch() = default;
    GuideWatch(const GuideWatch&) = delete;
    GuideWatch& operator=(const GuideWatch&) = delete;
    ~GuideWatch() { stop(); }
    void watch(Guide* guide, QWidget* view);

private:
    void stop();
    QList<QMetaObject::Connection> m_connections;
};
} // namespace guidecard

} // namespace zova
