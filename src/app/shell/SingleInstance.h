#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>

class QLocalServer;

namespace zova {

// One running application per store. The first launch holds a lock beside the
// store (a lock left by a process that no longer runs is taken over) and listens
// on a local socket named after the store; a later launch on the same store asks
// that one to come to the front instead of opening the store itself.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Role {
        First, // holds the lock: open the store
        HandedOver, // another instance runs and was asked to come forward: end
        Unreachable, // another instance holds the lock but did not answer: end
    };

    explicit SingleInstance(const QString& storePath, QObject* parent = nullptr);
    ~SingleInstance() override;

    Role start();
    QString lockPath() const { return m_lock.fileName(); }
    QString serverName() const { return m_serverName; }

signals:
    // A later launch wants this instance in front.
    void activationRequested();

private:
    bool askRunningInstance() const;
    void listen();

    QLockFile m_lock;
    QString m_serverName;
    QLocalServer* m_server; // a child
};

} // namespace zova
