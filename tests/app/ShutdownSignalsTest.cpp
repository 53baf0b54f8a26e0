// The test binary starts itself again as a child that holds an unsaved change and
// waits in its event loop; the parent sends it a signal and reads the store.
#include "app/shell/ShutdownSignals.h"
#include "model/Guide.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>

using namespace zova;

namespace {
const char* childStoreVariable = "ZOVA_SHUTDOWN_CHILD_STORE";
}

TEST(ShutdownSignals, Child)
{
    if (qEnvironmentVariableIsEmpty(childStoreVariable))
        GTEST_SKIP() << "run by SignalsSaveLikeQuit";
    auto opened = ModelContainer::open(qEnvironmentVariable(childStoreVariable));
    ASSERT_TRUE(opened.hasValue());
    ModelContext* ctx = opened.value()->mainContext();
    ctx->setAutosaveDelay(600000); // only the shutdown can save it
    ctx->insert(new Guide(QStringLiteral("unsaved at the signal")));
    ShutdownSignals shutdown;
    std::printf("ready\n");
    std::fflush(stdout);
    EXPECT_EQ(QApplication::exec(), 0);
}

TEST(ShutdownSignals, SignalsSaveLikeQuit)
{
    for (int signal : { SIGTERM, SIGINT, SIGHUP }) {
        QTemporaryDir dir;
        const QString store = dir.filePath("ZOVA.store");
        QProcess child;
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert(childStoreVariable, store);
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), { "--gtest_filter=ShutdownSignals.Child" });
        ASSERT_TRUE(child.waitForStarted(10000));
        QByteArray out;
        ASSERT_TRUE(test::waitUntil(
            [&] {
                out += child.readAllStandardOutput();
                return out.contains("ready");
            },
            30000));
        // A signal before the event loop runs waits in the pipe until it does.
        ::kill(pid_t(child.processId()), signal);
        ASSERT_TRUE(child.waitForFinished(30000)) << signal;
        EXPECT_EQ(child.exitStatus(), QProcess::NormalExit) << signal;
        EXPECT_EQ(child.exitCode(), 0) << signal;

        auto reopened = ModelContainer::open(store);
        ASSERT_TRUE(reopened.hasValue());
        const auto guides = reopened.value()->mainContext()->guides();
        ASSERT_EQ(guides.size(), 1) << "signal " << signal;
        EXPECT_EQ(guides.first()->title(), QStringLiteral("unsaved at the signal"));
    }
}
