// Applying a crop through the controller: the cut pixels, the remapped hotspot
// and marks, and the order in which the new file, the store and the old file
// are touched, on success and on each failure.
#include "EditorFixture.h"

#include "annotation/Marks.h"
#include "editor/EditorController.h"

#include <QLineF>

#include <sqlite3.h>

using namespace zova;
using Kind = StepAnnotation::Kind;
using zova::test::mark;

namespace {

// 100 x 100, each pixel's red its column and green its row.
QImage gradient(QSize size = { 100, 100 })
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb(x % 256, y % 256, 77));
    return image;
}

class CropTest : public EditorFixture {
protected:
    Step* open(const QImage& image = gradient())
    {
        m_guide = makeGuide({ 0 }, false);
        Step* step = m_guide->orderedSteps().first();
        auto saved = zova::test::storage().saveScreenshot(image);
        EXPECT_TRUE(saved.hasValue());
        step->setScreenshotFilename(saved.value());
        step->setClickX(0.9);
        step->setClickY(0.9);
        EXPECT_TRUE(context()->save().hasValue());
        m_controller = std::make_unique<EditorController>(m_guide, context(), withTestFiles(hooks));
        return step;
    }
    QImage stored(const Step* step) const { return zova::test::storage().loadScreenshot(step->screenshotFilename()); }
    // The step as the store file holds it.
    std::unique_ptr<ModelContainer> reopened() const
    {
        auto opened = ModelContainer::open(storePath());
        EXPECT_TRUE(opened.hasValue());
        return opened ? std::move(opened).value() : nullptr;
    }

    EditorController::Hooks hooks;
    Guide* m_guide = nullptr;
    std::unique_ptr<EditorController> m_controller;
};

TEST_F(CropTest, CutsThePixelsAndMovesHotspotAndMarksWithThem)
{
    Step* step = open();
    const QString old = step->screenshotFilename();
    StepAnnotation inside = mark(Kind::Highlight, { 0.4, 0.4, 0.2, 0.2 }, "00aaff", QStringLiteral("Note"));
    inside.rotation = 0.3;
    const StepAnnotation straddling = mark(Kind::Blur, { 0.2, 0.4, 0.2, 0.1 });
    const StepAnnotation outside = mark(Kind::Arrow, { 0.7, 0.7, 0.2, 0.2 });
    step->setAnnotations({ inside, straddling, outside });

    m_controller->canvas().applyCrop(step->id(), QRectF(0.333, 0.333, 0.333, 0.333));

    EXPECT_NE(step->screenshotFilename(), old);
    EXPECT_FALSE(fileExists(old)) << "the old screenshot is removed";
    const QImage cut = stored(step);
    ASSERT_EQ(cut.size(), QSize(33, 33)) << "origin 33, size 33";
    EXPECT_EQ(cut.pixel(0, 0), qRgb(33, 33, 77));
    EXPECT_EQ(cut.pixel(32, 32), qRgb(65, 65, 77));
    // The kept pixels are 33..65, fractions 0.33..0.66 of the old image.
    EXPECT_EQ(step->clickX(), 1) << "a hotspot outside the crop sits on its edge";
    EXPECT_EQ(step->clickY(), 1);
    const QList<StepAnnotation> marks = step->annotations();
    ASSERT_EQ(marks.size(), 2) << "the mark wholly outside is dropped";
    EXPECT_EQ(marks[0].id, inside.id);
    EXPECT_NEAR(marks[0].x, (0.4 - 0.33) / 0.33, 1e-9);
    EXPECT_NEAR(marks[0].width, 0.2 / 0.33, 1e-9);
    EXPECT_EQ(marks[0].rotation, 0.3);
    EXPECT_EQ(marks[0].colorHex, QStringLiteral("00aaff"));
    EXPECT_EQ(marks[1].id, straddling.id);
    EXPECT_EQ(marks[1].x, 0) << "cut at the crop's left edge";
    EXPECT_NEAR(marks[1].width, (0.4 - 0.33) / 0.33, 1e-9);

    // Committed: the store file holds the new image and marks.
    auto store = reopened();
    ASSERT_TRUE(store);
    const Step* saved = store->mainContext()->step(step->id());
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->screenshotFilename(), step->screenshotFilename());
    EXPECT_EQ(saved->annotations(), marks);
    EXPECT_FALSE(m_controller->state().alerts.fileOpError);
}

TEST_F(CropTest, TheWholeImageIsANewFileOfTheSamePixels)
{
    Step* step = open(gradient({ 120, 80 }));
    const QString old = step->screenshotFilename();
    const QList<StepAnnotation> marks = { mark(Kind::Arrow, { 0.1, 0.2, 0.3, 0.4 }) };
    step->setAnnotations(marks);
    m_controller->canvas().applyCrop(step->id(), QRectF(0, 0, 1, 1));
    EXPECT_NE(step->screenshotFilename(), old);
    EXPECT_FALSE(fileExists(old));
    EXPECT_EQ(stored(step), gradient({ 120, 80 }).convertToFormat(stored(step).format()));
    EXPECT_EQ(step->clickX(), 0.9);
    const QList<StepAnnotation> after = step->annotations();
    ASSERT_EQ(after.size(), 1);
    EXPECT_EQ(after[0].id, marks[0].id);
    const QRectF before(marks[0].x, marks[0].y, marks[0].width, marks[0].height);
    const QRectF now(after[0].x, after[0].y, after[0].width, after[0].height);
    EXPECT_NEAR(QLineF(now.topLeft(), before.topLeft()).length(), 0, 1e-12);
    EXPECT_NEAR(QLineF(now.bottomRight(), before.bottomRight()).length(), 0, 1e-12);
}

TEST_F(CropTest, RectanglesPastTheEdgesAreCutAtThem)
{
    struct Row {
        const char* name;
        QRectF rect;
        QSize size;
        QRgb topLeft;
    };
    const QList<Row> rows = {
        { "past the right and bottom", { 0.5, 0.6, 0.9, 0.9 }, { 50, 40 }, qRgb(50, 60, 77) },
        { "a negative origin moves to 0, the size fitted from there", { -0.2, -0.5, 0.5, 2 }, { 50, 100 },
            qRgb(0, 0, 77) },
    };
    for (const Row& row : rows) {
        Step* step = open();
        m_controller->canvas().applyCrop(step->id(), row.rect);
        const QImage cut = stored(step);
        EXPECT_EQ(cut.size(), row.size) << row.name;
        EXPECT_EQ(cut.pixel(0, 0), row.topLeft) << row.name;
    }
}

TEST_F(CropTest, NothingHappensWithoutPixelsToKeep)
{
    Step* step = open();
    const QString old = step->screenshotFilename();
    m_controller->canvas().applyCrop(step->id(), QRectF(0.5, 0.5, 0.001, 0.5)); // under a pixel wide
    EXPECT_EQ(step->screenshotFilename(), old);
    EXPECT_TRUE(fileExists(old));

    step->setScreenshotFilename(QStringLiteral("gone.png"));
    m_controller->canvas().applyCrop(step->id(), QRectF(0, 0, 0.5, 0.5));
    EXPECT_EQ(step->screenshotFilename(), QStringLiteral("gone.png"));
    EXPECT_EQ(step->clickX(), 0.9);
    EXPECT_FALSE(m_controller->state().alerts.fileOpError) << "a missing file is not reported";
}

TEST_F(CropTest, APngThatCantBeWrittenLeavesTheStepAsItWas)
{
    int removed = 0;
    hooks.files.save = [](const QImage&) -> Expected<QString, StorageError> { return unexpected(StorageError {}); };
    hooks.files.remove = [&](const QString&) { ++removed; };
    Step* step = open();
    const QString old = step->screenshotFilename();
    step->setAnnotations({ mark(Kind::Highlight, { 0.6, 0.6, 0.2, 0.2 }) });
    const std::optional<QByteArray> marks = step->annotationsData();

    m_controller->canvas().applyCrop(step->id(), QRectF(0, 0, 0.5, 0.5));

    EXPECT_EQ(m_controller->state().alerts.fileOpError,
        QStringLiteral("Couldn't save the cropped screenshot: ") + describe(StorageError {}));
    EXPECT_EQ(step->screenshotFilename(), old);
    EXPECT_TRUE(fileExists(old));
    EXPECT_EQ(step->clickX(), 0.9);
    EXPECT_EQ(step->annotationsData(), marks);
    EXPECT_EQ(removed, 0);
}

TEST_F(CropTest, ACommitThatFailsPutsEverythingBackAndRemovesTheNewFile)
{
    QStringList written;
    hooks.files.save = [&](const QImage& image) {
        auto saved = zova::test::storage().saveScreenshot(image);
        if (saved)
            written << saved.value();
        return saved;
    };
    Step* step = open();
    const QString old = step->screenshotFilename();
    // Marks stored by a later version: unreadable here, but they must survive a failed crop.
    const QByteArray foreign = R"([{"id":"6f1c7a1e-0000-4000-8000-000000000001","kind":"ellipse","x":0.1}])";
    step->setAnnotationsData(foreign);
    ASSERT_TRUE(context()->save().hasValue());

    context()->setBusyTimeout(0);
    // Another connection holds the write lock: the commit fails.
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(storePath().toUtf8().constData(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    m_controller->canvas().applyCrop(step->id(), QRectF(0, 0, 0.5, 0.5));
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);

    ASSERT_EQ(written.size(), 1);
    EXPECT_FALSE(fileExists(written.first())) << "the new file is removed";
    EXPECT_TRUE(fileExists(old)) << "the old file stays";
    EXPECT_EQ(step->screenshotFilename(), old);
    EXPECT_EQ(step->clickX(), 0.9);
    EXPECT_EQ(step->clickY(), 0.9);
    EXPECT_EQ(step->annotationsData(), foreign);
    const std::optional<QString> alert = m_controller->state().alerts.fileOpError;
    ASSERT_TRUE(alert);
    EXPECT_TRUE(alert->startsWith(QStringLiteral("Couldn't save the cropped screenshot: "))) << alert->toStdString();

    // Whatever the store writes later is the step as it was.
    ASSERT_TRUE(context()->save().hasValue());
    auto store = reopened();
    ASSERT_TRUE(store);
    const Step* saved = store->mainContext()->step(step->id());
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->screenshotFilename(), old);
    EXPECT_EQ(saved->annotationsData(), foreign);
}

} // namespace
