// Starts the real application binary twice on one store under Xvfb + openbox.
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

// X11 last: its macros clash with Qt's names.
#include "platform/x11/X11Display.h"
#include "platform/x11/X11Properties.h"

#include <X11/Xatom.h>

#include <csignal>

using namespace zova;

namespace {

class InstanceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            GTEST_SKIP() << "needs the X session of scripts/xsession.sh";
        m_display = x11::openDisplay();
        ASSERT_TRUE(m_display);
        ASSERT_TRUE(x11::cardinal(d(), DefaultRootWindow(d()), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW))
            << "needs a window manager";
        for (const char* sub : { "data", "config", "cache", "runtime" })
            QDir().mkpath(m_home.filePath(QString::fromLatin1(sub)));
        QFile::setPermissions(
            m_home.filePath("runtime"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }

    void TearDown() override
    {
        for (auto& p : m_apps) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(5000);
            }
        }
    }

    Display* d() const { return m_display.get(); }
    QString storePath() const { return m_home.filePath("data/ZOVA/ZOVA.store"); }

    QProcess& launch()
    {
        auto& app = *m_apps.emplace_back(std::make_unique<QProcess>());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("QT_QPA_PLATFORM");
        for (const char* sub : { "data", "config", "cache" })
            env.insert(QStringLiteral("XDG_%1_HOME").arg(QString::fromLatin1(sub).toUpper()),
                m_home.filePath(QString::fromLatin1(sub)));
        env.insert("XDG_RUNTIME_DIR", m_home.filePath("runtime"));
        app.setProcessEnvironment(env);
        app.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        app.start(qEnvironmentVariable("ZOVA_APP"), {});
        EXPECT_TRUE(app.waitForStarted(5000));
        return app;
    }

    Window appWindow(const QProcess& app) const
    {
        const auto clients = x11::cardinals(d(), DefaultRootWindow(d()), "_NET_CLIENT_LIST", XA_WINDOW);
        for (unsigned long w : clients.value_or(QList<unsigned long>())) {
            const auto owner = x11::cardinal(d(), Window(w), "_NET_WM_PID", XA_CARDINAL);
            if (owner && qint64(*owner) == app.processId())
                return Window(w);
        }
        return 0;
    }
    Window activeWindow() const
    {
        const auto active = x11::cardinal(d(), DefaultRootWindow(d()), "_NET_ACTIVE_WINDOW", XA_WINDOW);
        return active ? Window(*active) : 0;
    }

    QTemporaryDir m_home;
    x11::DisplayPtr m_display;
    std::vector<std::unique_ptr<QProcess>> m_apps;
};

} // namespace

TEST_F(InstanceTest, SecondLaunchBringsTheFirstToTheFrontAndEnds)
{
    QProcess& first = launch();
    ASSERT_TRUE(test::waitUntil([&] { return appWindow(first) != 0; }, 30000)) << "the main window did not appear";
    const Window firstWindow = appWindow(first);

    QWidget cover;
    cover.setWindowTitle(QStringLiteral("In front"));
    cover.resize(1400, 900);
    cover.show();
    cover.activateWindow();
    ASSERT_TRUE(test::waitUntil([&] { return activeWindow() != 0 && activeWindow() != firstWindow; }, 10000));

    QProcess& second = launch();
    ASSERT_TRUE(second.waitForFinished(30000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(test::waitUntil([&] { return activeWindow() == firstWindow; }, 10000))
        << "the running instance did not come to the front";
    EXPECT_EQ(first.state(), QProcess::Running);

    // The first one saves and ends on SIGTERM as it does on Quit.
    ::kill(pid_t(first.processId()), SIGTERM);
    ASSERT_TRUE(first.waitForFinished(30000));
    EXPECT_EQ(first.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first.exitCode(), 0);
}

TEST_F(InstanceTest, LockOfAKilledInstanceIsTakenOver)
{
    QProcess& crashed = launch();
    ASSERT_TRUE(test::waitUntil([&] { return appWindow(crashed) != 0; }, 30000));
    ASSERT_TRUE(QFile::exists(storePath() + ".lock"));
    crashed.kill(); // SIGKILL: the lock file stays behind
    ASSERT_TRUE(crashed.waitForFinished(5000));
    ASSERT_TRUE(QFile::exists(storePath() + ".lock"));

    QProcess& next = launch();
    ASSERT_TRUE(test::waitUntil([&] { return appWindow(next) != 0; }, 30000)) << "the next launch did not start";
    EXPECT_EQ(next.state(), QProcess::Running);
    EXPECT_TRUE(test::readFile(storePath() + ".lock").startsWith(QByteArray::number(next.processId()) + "\n"));
}
