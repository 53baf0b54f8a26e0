#include "model/StorageService.h"
#include "support/TestStorage.h"
#include "support/TestSupport.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

using namespace zova;

namespace {

QImage pattern()
{
    QImage img(37, 23, QImage::Format_ARGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, qRgba(x * 7, y * 11, (x * y) & 255, 255 - x));
    return img;
}

bool setModified(const QString& path, const QDateTime& when)
{
    QFile file(path);
    return file.open(QIODevice::ReadWrite) && file.setFileTime(when, QFileDevice::FileModificationTime);
}

} // namespace

TEST(StorageServiceTest, FolderLivesUnderDataHome)
{
    EXPECT_EQ(zova::test::storage().screenshotsDirectory(), zova::test::testHome() + "/data/ZOVA/screenshots");
    EXPECT_TRUE(QDir(zova::test::storage().screenshotsDirectory()).exists());
}

TEST(StorageServiceTest, SavesFreshUpperCaseNamesAndRoundTripsLosslessly)
{
    auto& storage = zova::test::storage();
    const QImage img = pattern();
    const auto a = storage.saveScreenshot(img);
    const auto b = storage.saveScreenshot(img);
    ASSERT_TRUE(a.hasValue());
    ASSERT_TRUE(b.hasValue());
    EXPECT_NE(*a, *b);
    static const QRegularExpression name("^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\.png$");
    EXPECT_TRUE(name.match(*a).hasMatch()) << a->toStdString();
    const QImage back = storage.loadScreenshot(*a);
    ASSERT_FALSE(back.isNull());
    EXPECT_EQ(back.convertToFormat(QImage::Format_ARGB32), img);
    EXPECT_TRUE(zova::test::readFile(*storage.pathFor(*a)).startsWith("\x89PNG"));
}

TEST(StorageServiceTest, DeleteIsIdempotent)
{
    auto& storage = zova::test::storage();
    const auto a = storage.saveScreenshot(pattern());
    ASSERT_TRUE(a.hasValue());
    storage.deleteScreenshot(*a);
    EXPECT_FALSE(QFile::exists(*storage.pathFor(*a)));
    storage.deleteScreenshot(*a);
    EXPECT_TRUE(storage.loadScreenshot(*a).isNull());
}

TEST(StorageServiceTest, NonBareNamesNeverReachTheDisk)
{
    auto& storage = zova::test::storage();
    // A file outside the folder that a traversal would reach.
    const QString outside = zova::test::testHome() + "/data/ZOVA/victim.png";
    pattern().save(outside, "png");
    for (const QString& bad : { QString(), QStringLiteral("../victim.png"), QStringLiteral(".."), QStringLiteral("."),
             outside, QStringLiteral("sub/x.png"), QStringLiteral("a\\b.png") }) {
        EXPECT_FALSE(StorageService::isBareFileName(bad)) << bad.toStdString();
        EXPECT_TRUE(storage.loadScreenshot(bad).isNull());
        storage.deleteScreenshot(bad);
        EXPECT_FALSE(storage.pathFor(bad).has_value());
    }
    EXPECT_TRUE(QFile::exists(outside));
    EXPECT_TRUE(StorageService::isBareFileName(QStringLiteral("a..b.png")));
}

TEST(StorageServiceTest, FailedWriteLeavesNoFileAndSaysWhy)
{
    auto& storage = zova::test::storage();
    const QStringList before = QDir(storage.screenshotsDirectory()).entryList(QDir::Files | QDir::Hidden);
    EXPECT_FALSE(storage.saveScreenshot(QImage()).hasValue());
    // A folder that cannot be written: put a regular file where it must be.
    const QString dir = storage.screenshotsDirectory();
    const QString moved = dir + ".moved";
    ASSERT_TRUE(QDir().rename(dir, moved));
    ASSERT_TRUE(zova::test::writeFile(dir, "not a folder"));
    const auto failed = storage.saveScreenshot(pattern());
    QFile::remove(dir);
    ASSERT_TRUE(QDir().rename(moved, dir));
    ASSERT_FALSE(failed.hasValue());
    // The system's own words say why.
    EXPECT_EQ(describe(failed.error()),
        QStringLiteral("The screenshot could not be written: ") + QString::fromLocal8Bit(std::strerror(ENOTDIR)));
    EXPECT_EQ(describe(storage.saveScreenshot(QImage()).error()), "The screenshot could not be saved as a PNG file.");
    EXPECT_EQ(QDir(dir).entryList(QDir::Files | QDir::Hidden), before);
}

TEST(StorageServiceTest, ScreenshotsNoStepNamesAreRemovedAndOthersKept)
{
    auto& storage = zova::test::storage();
    const auto kept = storage.saveScreenshot(pattern());
    const auto orphan = storage.saveScreenshot(pattern());
    ASSERT_TRUE(kept && orphan);
    const QString folder = storage.screenshotsDirectory();
    const QString halfWritten = *kept + QStringLiteral(".a1B2c3"); // a write that never finished
    const QString foreign = QStringLiteral("notes.txt");
    ASSERT_TRUE(zova::test::writeFile(folder + "/" + halfWritten, "partial"));
    ASSERT_TRUE(zova::test::writeFile(folder + "/" + foreign, "not ours"));

    // Written while the sweep runs: newer than its cut-off, so kept though no step names it yet.
    const QDateTime cutOff = QDateTime::currentDateTimeUtc().addSecs(-60);
    const auto fresh = storage.saveScreenshot(pattern());
    ASSERT_TRUE(fresh);
    for (const QString& name : { *kept, *orphan, halfWritten, foreign })
        ASSERT_TRUE(setModified(folder + "/" + name, cutOff.addSecs(-60)));

    storage.removeUnreferenced({ *kept, QStringLiteral("missing.png") }, cutOff);
    EXPECT_TRUE(QFile::exists(folder + "/" + *kept));
    EXPECT_FALSE(QFile::exists(folder + "/" + *orphan));
    EXPECT_FALSE(QFile::exists(folder + "/" + halfWritten));
    EXPECT_TRUE(QFile::exists(folder + "/" + foreign));
    EXPECT_TRUE(QFile::exists(folder + "/" + *fresh));
    QFile::remove(folder + "/" + foreign);
    storage.deleteScreenshot(*fresh);
}
