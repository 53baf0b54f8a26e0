#include "model/ScreenshotCache.h"
#include "model/StorageService.h"
#include "support/TestStorage.h"

#include <QDir>
#include <QImage>
#include <QSignalSpy>
#include <QUuid>

#include <gtest/gtest.h>

using namespace zova;

namespace {

QString saveShot(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(40, 120, 200));
    auto saved = zova::test::storage().saveScreenshot(image);
    EXPECT_TRUE(saved.hasValue());
    return saved ? saved.value() : QString();
}

QString unusedName() { return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper() + QStringLiteral(".png"); }

} // namespace

TEST(ScreenshotCache, GivesEachBoxItsSizeScaledDownOnly)
{
    const struct {
        const char* name;
        QSize image;
        QSize box;
        QSize expected;
    } rows[] = {
        { "whole", { 1920, 1080 }, QSize(), { 1920, 1080 } },
        { "a row's box: the width meets it, the height covers it", { 1920, 1080 }, { 206, 64 }, { 206, 116 } },
        { "a very wide shot: the height meets it", { 3840, 1080 }, { 206, 64 }, { 228, 64 } },
        { "a tall shot", { 1080, 1920 }, { 206, 64 }, { 206, 366 } },
        { "a free height", { 1920, 1080 }, { 640, 0 }, { 640, 360 } },
        { "smaller than the box: never scaled up", { 400, 300 }, { 640, 0 }, { 400, 300 } },
    };
    ScreenshotCache cache(zova::test::storage());
    for (const auto& row : rows) {
        const QString name = saveShot(row.image);
        EXPECT_EQ(cache.lookup(name, row.box).status, ScreenshotCache::Status::Loading) << row.name;
        cache.waitForIdle();
        const ScreenshotCache::Entry entry = cache.lookup(name, row.box);
        EXPECT_EQ(entry.status, ScreenshotCache::Status::Ready) << row.name;
        EXPECT_EQ(entry.image.size(), row.expected) << row.name;
        EXPECT_EQ(cache.image(name, row.box).size(), row.expected) << row.name << " (read at once)";
    }
}

TEST(ScreenshotCache, KeepsEachSizeAndReadsOnlyBareNames)
{
    ScreenshotCache cache(zova::test::storage());
    QSignalSpy loaded(&cache, &ScreenshotCache::loaded);
    const QString shot = saveShot({ 800, 500 });
    cache.lookup(shot, { 100, 0 });
    cache.lookup(shot, QSize());
    EXPECT_EQ(cache.lookup(shot, { 100, 0 }).status, ScreenshotCache::Status::Loading) << "asked for once";
    cache.waitForIdle();
    EXPECT_EQ(loaded.size(), 2) << "one decode per size";
    EXPECT_EQ(cache.lookup(shot, { 100, 0 }).image.size(), QSize(100, 63));
    EXPECT_EQ(cache.lookup(shot, QSize()).image.size(), QSize(800, 500));

    for (const QString& name : { QString(), QStringLiteral("../escape.png"), QStringLiteral("a/b.png") }) {
        EXPECT_EQ(cache.lookup(name, { 100, 0 }).status, ScreenshotCache::Status::Missing) << name.toStdString();
        EXPECT_TRUE(cache.isMissing(name)) << name.toStdString();
        EXPECT_TRUE(cache.image(name, { 100, 0 }).isNull()) << name.toStdString();
    }
    cache.waitForIdle();
    EXPECT_EQ(loaded.size(), 2) << "a name that is not bare is never read";

    cache.clear();
    EXPECT_EQ(cache.lookup(shot, { 100, 0 }).status, ScreenshotCache::Status::Loading) << "forgotten";
}

TEST(ScreenshotCache, AMissIsReadAgainOnceItIsOldEnough)
{
    qint64 now = 1000;
    ScreenshotCache cache(zova::test::storage(), [&] { return now; });
    QSignalSpy loaded(&cache, &ScreenshotCache::loaded);
    const QString name = unusedName();
    const QSize box(100, 0);
    EXPECT_FALSE(cache.isMissing(name)) << "not known before it is asked for";
    EXPECT_EQ(cache.lookup(name, box).status, ScreenshotCache::Status::Loading);
    cache.waitForIdle();
    EXPECT_EQ(cache.lookup(name, box).status, ScreenshotCache::Status::Missing);
    EXPECT_TRUE(cache.isMissing(name));
    EXPECT_EQ(loaded.size(), 1);

    // The file appears under that name; a fresh miss is not read again at every paint.
    QImage image(300, 200, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(QDir(zova::test::storage().screenshotsDirectory()).filePath(name), "PNG"));
    const struct {
        qint64 at;
        ScreenshotCache::Status status;
    } ticks[] = {
        { 1000 + ScreenshotCache::missRetryMs - 1, ScreenshotCache::Status::Missing },
        { 1000 + ScreenshotCache::missRetryMs, ScreenshotCache::Status::Loading },
    };
    for (const auto& tick : ticks) {
        now = tick.at;
        EXPECT_EQ(cache.lookup(name, box).status, tick.status) << "at " << tick.at;
        cache.waitForIdle();
    }
    EXPECT_EQ(loaded.size(), 2);
    EXPECT_FALSE(cache.isMissing(name));
    EXPECT_EQ(cache.lookup(name, box).image.size(), QSize(100, 67));
    zova::test::storage().deleteScreenshot(name);
}

TEST(ScreenshotCache, GoingAwayWhileDecodingDeliversNothing)
{
    QList<QString> names;
    for (int i = 0; i < 6; ++i)
        names << saveShot({ 1920, 1080 });
    auto cache = std::make_unique<ScreenshotCache>(zova::test::storage());
    QSignalSpy loaded(cache.get(), &ScreenshotCache::loaded);
    for (const QString& name : names)
        cache->lookup(name, QSize());
    cache.reset();
    QCoreApplication::processEvents();
    EXPECT_TRUE(loaded.isEmpty());
}
