#include "support/TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <gtest/gtest.h>

namespace zova::test {

namespace {
QTemporaryDir* homeDir = nullptr;
}

QString testHome() { return homeDir ? homeDir->path() : QString(); }

bool waitUntil(const std::function<bool()>& condition, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace zova::test

int main(int argc, char** argv)
{
    static QTemporaryDir home(QDir::tempPath() + QStringLiteral("/zova-test-XXXXXX"));
    zova::test::homeDir = &home;
    const QString base = home.path();
    qputenv("XDG_DATA_HOME", (base + "/data").toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (base + "/config").toLocal8Bit());
    qputenv("XDG_CACHE_HOME", (base + "/cache").toLocal8Bit());
    QDir().mkpath(base + "/runtime");
    QFile::setPermissions(base + "/runtime", QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", (base + "/runtime").toLocal8Bit());

    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("ZOVA-tests"));
    QCoreApplication::setApplicationName(QStringLiteral("ZOVA-tests"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
