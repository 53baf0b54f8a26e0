#pragma once

#include <QObject>

class QSocketNotifier;

namespace zova {

// Ends the event loop on SIGTERM, SIGINT and SIGHUP, so that the application
// shuts down (and saves) as it does on Quit. The handler only writes to a pipe;
// the work happens on the GUI thread.
class ShutdownSignals : public QObject {
    Q_OBJECT
public:
    explicit ShutdownSignals(QObject* parent = nullptr);
    ~ShutdownSignals() override;

signals:
    void received(int signal);

private:
    static void handle(int signal);
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace zova
