#include "engine/AppRestarter.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace zova;

TEST(ProcessRestarter, SavesThenStartsTheNewInstanceThenQuits)
{
    QTemporaryDir dir;
    const QString mark = dir.filePath("relaunched");
    QStringList steps;
    ProcessRestarter restarter({ [&]() -> std::optional<QString> {
                                    steps << (QFile::exists(mark) ? "save after launch" : "save");
                                    return std::nullopt;
                                },
                                   [&] { steps << "quit"; } },
        QStringLiteral("/bin/sh"), QStringList { "-c", "echo \"$0\" > " + mark, "same-arguments" });
    EXPECT_FALSE(restarter.relaunch().has_value());
    EXPECT_EQ(steps, (QStringList { "save", "quit" }));
    ASSERT_TRUE(test::waitUntil([&] { return test::readFile(mark).trimmed() == "same-arguments"; }))
        << "the new instance got the arguments";
}

TEST(ProcessRestarter, AFailedStepSaysWhyAndKeepsThisInstance)
{
    const struct {
        const char* name;
        std::optional<QString> saveFailure;
        QString program;
        const char* reason;
        bool launched;
    } rows[] = {
        { "save fails", QStringLiteral("disk full"), QStringLiteral("/bin/true"),
            "could not save before relaunching: disk full", false },
        { "program missing", std::nullopt, QStringLiteral("/nonexistent/zova"),
            "could not start /nonexistent/zova: execv: No such file or directory", true },
    };
    for (const auto& row : rows) {
        int quits = 0;
        int saves = 0;
        ProcessRestarter restarter({ [&] {
                                        ++saves;
                                        return row.saveFailure;
                                    },
                                       [&] { ++quits; } },
            row.program, QStringList {});
        const auto failed = restarter.relaunch();
        ASSERT_TRUE(failed.has_value()) << row.name;
        EXPECT_EQ(*failed, QString::fromLatin1(row.reason)) << row.name;
        EXPECT_EQ(saves, 1) << row.name;
        EXPECT_EQ(quits, 0) << row.name << ": this instance keeps running";
    }
}
