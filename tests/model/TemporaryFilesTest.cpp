#include "model/TemporaryFiles.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace zova;

TEST(TemporaryFilesTest, FolderIsPrivateAndFoldersOfEndedRunsAreCleared)
{
    const QString mine = TemporaryFiles::directory();
    ASSERT_FALSE(mine.isEmpty());
    EXPECT_EQ(QFile::permissions(mine) & 0x0077, QFileDevice::Permissions());
    const QString root = QFileInfo(mine).absolutePath();

    // A process that has ended leaves its folder behind.
    QProcess ended;
    ended.start(QStringLiteral("true"), {});
    ASSERT_TRUE(ended.waitForFinished(5000));
    const QString dead = root + QStringLiteral("/run-%1").arg(ended.processId());
    ASSERT_TRUE(zova::test::writeFile(dead + "/zova-export-1A2B3C4D-video.mp4", "partial"));
    ASSERT_TRUE(zova::test::writeFile(root + "/stray.part", "x"));
    ASSERT_TRUE(zova::test::writeFile(mine + "/in-use.part", "x"));

    TemporaryFiles::clearStale();
    EXPECT_FALSE(QFileInfo::exists(dead));
    EXPECT_FALSE(QFileInfo::exists(root + "/stray.part"));
    EXPECT_TRUE(QFileInfo::exists(mine + "/in-use.part"));
    QFile::remove(mine + "/in-use.part");
}

TEST(TemporaryFilesTest, WritesReplaceThePathItselfAndLeaveNothingBehind)
{
    QTemporaryDir dir;
    const QString target = dir.filePath("target.txt");
    const QString link = dir.filePath("link.txt");
    ASSERT_TRUE(zova::test::writeFile(target, "keep me"));
    ASSERT_TRUE(QFile::link(target, link));
    const QString readOnly = dir.filePath("read-only.txt");
    ASSERT_TRUE(zova::test::writeFile(readOnly, "old"));
    QFile::setPermissions(readOnly, QFileDevice::ReadOwner);

    ASSERT_TRUE(TemporaryFiles::replaceFile(link, "new").hasValue());
    EXPECT_FALSE(QFileInfo(link).isSymLink());
    EXPECT_EQ(zova::test::readFile(link), "new");
    EXPECT_EQ(zova::test::readFile(target), "keep me");
    ASSERT_TRUE(TemporaryFiles::copyFile(target, readOnly).hasValue());
    EXPECT_EQ(zova::test::readFile(readOnly), "keep me");

    // Failures: a folder in the way, a missing source; the staged file goes either way.
    QDir().mkpath(dir.filePath("folder/inside"));
    EXPECT_FALSE(TemporaryFiles::replaceFile(dir.filePath("folder"), "x").hasValue());
    EXPECT_FALSE(TemporaryFiles::copyFile(dir.filePath("absent"), dir.filePath("copy")).hasValue());
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("copy")));
    EXPECT_TRUE(QDir(TemporaryFiles::directory()).isEmpty());
}
