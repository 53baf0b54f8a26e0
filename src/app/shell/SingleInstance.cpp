#include "app/shell/SingleInstance.h"

#include "app/AppLog.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

namespace zova {

namespace {

const QByteArray activateMessage("activate\n");

QString serverNameFor(const QString& storePath)
{
    const QFileInfo info(storePath);
    const QString canonical = info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
    const QByteArray digest = QCryptographicHash::hash(QFile::encodeName(canonical), QCryptographicHash::Sha256);
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder + QStringLiteral("/zova-") + QString::fromLatin1(digest.toHex().left(24)) + QStringLiteral(".socket");
}

} // namespace

SingleInstance::SingleInstance(const QString& storePath, QObject* parent)
    : QObject(parent)
    , m_lock(storePath + QStringLiteral(".lock"))
    , m_serverName(serverNameFor(storePath))
    , m_server(new QLocalServer(this))
{
    // Only a lock whose process is gone is stale, however old it is.
    m_lock.setStaleLockTime(0);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (!socket->canReadLine())
                    return;
                if (socket->readLine() == activateMessage) {
                    qCInfo(lcApp) << "another launch on this store hands over to this instance";
                    emit activationRequested();
                }
                socket->disconnectFromServer();
            });
        }
    });
}

SingleInstance::~SingleInstance()
{
    m_server->close();
    if (m_lock.isLocked())
        m_lock.unlock();
}

SingleInstance::Role SingleInstance::start()
{
    QDir().mkpath(QFileInfo(m_lock.fileName()).absolutePath());
    if (m_lock.tryLock(0)) {
        QFile::setPermissions(m_lock.fileName(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        listen();
        return Role::First;
    }
    if (m_lock.error() != QLockFile::LockFailedError) {
        // No lock can be made here (a read-only or missing folder): the store's own
        // opening will tell why.
        qCWarning(lcApp) << "could not take the instance lock" << m_lock.fileName() << "error" << m_lock.error();
        return Role::First;
    }
    // The running instance may still be starting: give it a moment to listen.
    const QDeadlineTimer deadline(10000);
    do {
        if (askRunningInstance())
            return Role::HandedOver;
        if (m_lock.tryLock(0)) { // it ended meanwhile
            listen();
            return Role::First;
        }
        QThread::msleep(100);
    } while (!deadline.hasExpired());
    return Role::Unreachable;
}

bool SingleInstance::askRunningInstance() const
{
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    if (!socket.waitForConnected(1000))
        return false;
    socket.write(activateMessage);
    if (!socket.waitForBytesWritten(1000))
        return false;
    // Wait for the answer (the other side closes) so that the request is not lost.
    if (socket.state() == QLocalSocket::ConnectedState)
        socket.waitForDisconnected(2000);
    return true;
}

void SingleInstance::listen()
{
    // A socket file left by a crashed instance; the lock says it is not in use.
    QLocalServer::removeServer(m_serverName);
    if (!m_server->listen(m_serverName))
        qCWarning(lcApp) << "a second launch cannot reach this instance:" << m_server->errorString();
}

} // namespace zova
