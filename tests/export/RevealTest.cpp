#include "platform/desktop/FileManager.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QProcess>

using namespace zova;

TEST(RevealTest, WithoutABusOpensTheParentFolder)
{
    QList<QUrl> opened;
    const QDBusConnection none = QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"), "none");
    ASSERT_FALSE(none.isConnected());
    desktop::revealInFileManager("/tmp/out/guide.pdf", none, [&](const QUrl& u) { opened << u; });
    EXPECT_EQ(opened, QList<QUrl> { QUrl::fromLocalFile("/tmp/out") });
}

TEST(RevealTest, WithoutAFileManagerOnTheBusOpensTheParentFolder)
{
    QProcess daemon;
    daemon.start("dbus-daemon", { "--session", "--nofork", "--print-address" });
    ASSERT_TRUE(daemon.waitForStarted());
    ASSERT_TRUE(test::waitUntil([&] { return daemon.canReadLine(); }));
    const QString address = QString::fromUtf8(daemon.readLine()).trimmed();
    {
        const QDBusConnection bus = QDBusConnection::connectToBus(address, "private");
        ASSERT_TRUE(bus.isConnected());
        QList<QUrl> opened;
        desktop::revealInFileManager("/tmp/out/index.html", bus, [&](const QUrl& u) { opened << u; });
        EXPECT_TRUE(opened.isEmpty()) << "the call returns before the bus answers";
        EXPECT_TRUE(test::waitUntil([&] { return !opened.isEmpty(); }, 10000));
        EXPECT_EQ(opened.value(0), QUrl::fromLocalFile("/tmp/out"));
    }
    QDBusConnection::disconnectFromBus("private");
    daemon.kill();
    daemon.waitForFinished();
}
