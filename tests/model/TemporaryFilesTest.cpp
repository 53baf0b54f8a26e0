#include "model/TemporaryFiles.h"
#include "model/StagedFiles.h"
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

TEST(StagedFilesTest, CommitPutsEveryFileInPlaceAndLeavesNothingBehind)
{
    QTemporaryDir dir;
    QDir().mkpath(dir.filePath("assets"));
    const QString target = dir.filePath("outside.txt");
    ASSERT_TRUE(zova::test::writeFile(target, "keep me"));
    ASSERT_TRUE(QFile::link(target, dir.filePath("assets/a.png")));
    ASSERT_TRUE(zova::test::writeFile(dir.filePath("index.html"), "earlier"));
    QFile::setPermissions(dir.filePath("index.html"), QFileDevice::ReadOwner);
    {
        StagedFiles staged;
        ASSERT_TRUE(staged.add(dir.filePath("assets/a.png"), "first").hasValue());
        ASSERT_TRUE(staged.add(dir.filePath("assets/b.png"), QByteArray(300000, 'b')).hasValue());
        ASSERT_TRUE(staged.add(dir.filePath("index.html"), "page").hasValue());
        // Nothing shows at the destination before the commit.
        EXPECT_FALSE(QFileInfo::exists(dir.filePath("assets/b.png")));
        EXPECT_EQ(zova::test::readFile(dir.filePath("index.html")), "earlier");
        ASSERT_TRUE(staged.commit().hasValue());
    }
    EXPECT_FALSE(QFileInfo(dir.filePath("assets/a.png")).isSymLink());
    EXPECT_EQ(zova::test::readFile(dir.filePath("assets/a.png")), "first");
    EXPECT_EQ(zova::test::readFile(dir.filePath("assets/b.png")), QByteArray(300000, 'b'));
    EXPECT_EQ(zova::test::readFile(dir.filePath("index.html")), "page");
    EXPECT_EQ(zova::test::readFile(target), "keep me");
    EXPECT_TRUE(QDir(TemporaryFiles::directory()).isEmpty());
}

TEST(StagedFilesTest, FailedOrAbandonedSetsLeaveNoStagedFile)
{
    QTemporaryDir dir;
    {
        StagedFiles abandoned;
        ASSERT_TRUE(abandoned.add(dir.filePath("never.txt"), "x").hasValue());
    }
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("never.txt")));
    EXPECT_TRUE(QDir(TemporaryFiles::directory()).isEmpty());

    // The second destination cannot be taken (a folder is in the way): the first is
    // in place, the error is reported, the third never lands, nothing is left staged.
    QDir().mkpath(dir.filePath("folder/inside"));
    {
        StagedFiles staged;
        ASSERT_TRUE(staged.add(dir.filePath("first.txt"), "1").hasValue());
        ASSERT_TRUE(staged.add(dir.filePath("folder"), "2").hasValue());
        ASSERT_TRUE(staged.add(dir.filePath("third.txt"), "3").hasValue());
        const auto committed = staged.commit();
        ASSERT_FALSE(committed.hasValue());
        EXPECT_FALSE(committed.error().isEmpty());
    }
    EXPECT_EQ(zova::test::readFile(dir.filePath("first.txt")), "1");
    EXPECT_TRUE(QFileInfo(dir.filePath("folder")).isDir());
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("third.txt")));
    EXPECT_TRUE(QDir(TemporaryFiles::directory()).isEmpty());
}
