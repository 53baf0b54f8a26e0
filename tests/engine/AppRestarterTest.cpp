#include "engine/AppRestarter.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace zova;

TEST(ProcessRestarter, SavesThenStartsTheNewInstanceOnceTheOldHasEnded)
{
    QTemporaryDir dir;
    const QString mark = dir.filePath("relaunched");
    // Stands in for this instance: it ends when the test ends it.
    QProcess old;
    old.start(QStringLiteral("/bin/sleep"), { QStringLiteral("60") });
    ASSERT_TRUE(old.waitForStarted());
    QStringList steps;
    ProcessRestarter restarter({ [&]() -> std::optional<QString> {
                                    steps << "save";
                                    return std::nullopt;
                                },
                                   [&] { steps << "quit"; } },
        { QStringLiteral("/bin/sh"), QStringList { "-c", "echo \"$0\" > " + mark, "same-arguments" },
            old.processId() });
    EXPECT_FALSE(restarter.relaunch().has_value());
    EXPECT_EQ(steps, (QStringList { "save", "quit" }));
    QTest::qWait(300);
    EXPECT_FALSE(QFile::exists(mark)) << "the new instance waits for the old one to end";
    old.kill();
    ASSERT_TRUE(old.waitForFinished(3000));
    ASSERT_TRUE(test::waitUntil([&] { return test::readFile(mark).trimmed() == "same-arguments"; }))
        << "the new instance got the arguments";
}

TEST(ProcessRestarter, AFailedStepSaysWhyAndKeepsThisInstance)
{
    QTemporaryDir dir;
    const QString plain = dir.filePath("plain");
    ASSERT_TRUE(test::writeFile(plain, "not a program"));
    const struct {
        const char* name;
        std::optional<QString> saveFailure;
        QString program;
        const char* reason;
    } rows[] = {
        { "save fails", QStringLiteral("disk full"), QStringLiteral("/bin/true"),
            "could not save before relaunching: disk full" },
        { "program missing", std::nullopt, QStringLiteral("/nonexistent/zova"),
            "could not start /nonexistent/zova: it is not an executable file" },
        { "program not executable", std::nullopt, plain, nullptr },
    };
    for (const auto& row : rows) {
        int quits = 0;
        int saves = 0;
        ProcessRestarter restarter({ [&] {
                                        ++saves;
                                        return row.saveFailure;
                                    },
                                       [&] { ++quits; } },
            { row.program, QStringList {}, 0 });
        const auto failed = restarter.relaunch();
        ASSERT_TRUE(failed.has_value()) << row.name;
        const QString reason = row.reason
            ? QString::fromLatin1(row.reason)
            : QStringLiteral("could not start %1: it is not an executable file").arg(plain);
        EXPECT_EQ(*failed, reason) << row.name;
        EXPECT_EQ(saves, 1) << row.name;
        EXPECT_EQ(quits, 0) << row.name << ": this instance keeps running";
    }
}
