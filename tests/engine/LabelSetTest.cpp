#include "engine/LabelSet.h"
#include "engine/VisibleArea.h"
#include "engine/VisionService.h"

#include "support/TestSupport.h"

#include <QDir>
#include <QFont>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace zova {
namespace {

TEST(LabelSets, BothSetsLoadAndEveryClickLandsWhereItsWindowShows)
{
    for (const char* folder : { ZOVA_LABEL_SET_DIR, ZOVA_HELDOUT_LABEL_SET_DIR }) {
        SCOPED_TRACE(folder);
        const labelset::Set set = labelset::load(QString::fromUtf8(folder));
        ASSERT_TRUE(set.error.isEmpty()) << set.error.toStdString();
        for (const labelset::Click& click : set.clicks) {
            const QImage& image = set.images.value(click.image);
            if (image.size() == QSize(1920, 1080)) {
                EXPECT_TRUE(set.windows.contains(click.image))
                    << "screen capture without windows: " << click.image.toStdString();
            }
            EXPECT_TRUE(set.visibleArea(click).contains(click.point.toPoint()))
                << click.image.toStdString() << " " << click.point.x() << "," << click.point.y();
        }
    }
    const labelset::Set heldOut = labelset::load(QStringLiteral(ZOVA_HELDOUT_LABEL_SET_DIR));
    EXPECT_GE(heldOut.clicks.size(), 100);
    const qsizetype noLabel = std::count_if(
        heldOut.clicks.begin(), heldOut.clicks.end(), [](const labelset::Click& c) { return c.text.isEmpty(); });
    EXPECT_GE(noLabel, 20) << "clicks whose right answer is no label";
    EXPECT_GE(heldOut.windows.size(), 4) << "screen captures";
}

// Writes a set into a folder of its own: one 200 × 100 image and the given files.
QString writeSet(const QTemporaryDir& dir, const QByteArray& clicks, const QByteArray& windows = {})
{
    QImage image(200, 100, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.save(dir.filePath(QStringLiteral("shot.png")));
    test::writeFile(dir.filePath(QStringLiteral("clicks.tsv")), clicks);
    if (!windows.isEmpty())
        test::writeFile(dir.filePath(QStringLiteral("windows.tsv")), windows);
    return dir.path();
}

struct FileCase {
    const char* name;
    QByteArray clicks;
    QByteArray windows;
    QString error; // empty: loads
};

class LabelSetFileTest : public ::testing::TestWithParam<FileCase> { };

TEST_P(LabelSetFileTest, ReadsWhatIsWellFormedAndSaysWhatIsNot)
{
    const FileCase& c = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const labelset::Set set = labelset::load(writeSet(dir, c.clicks, c.windows));
    EXPECT_EQ(set.error.toStdString(), c.error.toStdString());
}

INSTANTIATE_TEST_SUITE_P(Files, LabelSetFileTest,
    ::testing::Values(
        FileCase { "textAndNoLabel", "# a comment\nshot.png\t10\t20\tSave\nshot.png\t30\t40\t\n", {}, {} },
        FileCase { "missingTruthColumn", "shot.png\t10\t20\n", {}, QStringLiteral("bad line 1 in clicks.tsv") },
        FileCase { "pointNotANumber", "shot.png\tten\t20\tSave\n", {}, QStringLiteral("bad line 1 in clicks.tsv") },
        FileCase { "pointOutsideTheImage", "shot.png\t200\t20\tSave\n", {},
            QStringLiteral("line 1 of clicks.tsv lies outside its image") },
        FileCase { "missingImage", "other.png\t10\t20\tSave\n", {}, QStringLiteral("cannot read other.png") },
        FileCase { "windows", "shot.png\t10\t20\tSave\n", "shot.png\t0\t0\t50\t50\t1\t1\t20\t5\n", {} },
        FileCase { "windowWithoutArea", "shot.png\t10\t20\tSave\n", "shot.png\t0\t0\t0\t50\t0\t0\t0\t0\n",
            QStringLiteral("bad line 1 in windows.tsv") },
        FileCase { "windowWithoutDecoration", "shot.png\t10\t20\tSave\n", "shot.png\t0\t0\t50\t50\n",
            QStringLiteral("bad line 1 in windows.tsv") }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LabelSets, AnEmptyTruthMeansNoLabel)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const labelset::Set set = labelset::load(writeSet(dir, "shot.png\t30\t40\t\n"));
    ASSERT_EQ(set.clicks.size(), 1);
    EXPECT_EQ(VisionService::formatLabel(set.clicks[0].text), std::nullopt);
}

struct AreaCase {
    const char* name;
    QPoint click;
    QRegion area;
};

class VisibleAreaTest : public ::testing::TestWithParam<AreaCase> { };

// Three windows on a 200 × 100 screen, topmost first: a dialog over an editor
// over a browser, each but the browser with a title bar of 10 and borders of 1.
labelset::Set desk()
{
    labelset::Set set;
    set.images.insert(QStringLiteral("desk.png"), QImage(200, 100, QImage::Format_RGB32));
    set.windows.insert(QStringLiteral("desk.png"),
        { { QRect(100, 40, 60, 40), QMargins(1, 10, 1, 1) }, { QRect(40, 20, 100, 50), QMargins(1, 10, 1, 1) },
            { QRect(0, 0, 80, 100), QMargins() } });
    return set;
}

TEST_P(VisibleAreaTest, IsTheClickedWindowLessWhatLiesAboveIt)
{
    const AreaCase& c = GetParam();
    const labelset::Set set = desk();
    EXPECT_EQ(set.visibleArea({ QStringLiteral("desk.png"), c.click, {} }), c.area);
}

INSTANTIATE_TEST_SUITE_P(Clicks, VisibleAreaTest,
    ::testing::Values(AreaCase { "topmost", { 120, 60 }, QRegion(100, 40, 60, 40) },
        AreaCase { "coveredWithItsTitleBar", { 50, 30 }, QRegion(40, 20, 100, 50) - QRegion(99, 30, 62, 51) },
        AreaCase { "bottom", { 10, 10 }, QRegion(0, 0, 80, 100) - QRegion(39, 10, 102, 61) - QRegion(99, 30, 62, 51) },
        AreaCase { "desktop", { 190, 10 },
            QRegion(0, 0, 200, 100) - QRegion(0, 0, 80, 100) - QRegion(39, 10, 102, 61) - QRegion(99, 30, 62, 51) }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LabelSets, AWindowCaptureShowsWhole)
{
    labelset::Set set;
    set.images.insert(QStringLiteral("window.png"), QImage(300, 200, QImage::Format_RGB32));
    EXPECT_EQ(set.visibleArea({ QStringLiteral("window.png"), QPointF(5, 5), {} }), QRegion(0, 0, 300, 200));
}

// A grey window whose blank face lies right beside a white window's button
// caption: the screen a click on that face sees.
QImage twoWindows()
{
    QImage screen(800, 300, QImage::Format_RGB32);
    screen.fill(QColor(0x3c, 0x3c, 0x3c));
    QPainter p(&screen);
    p.fillRect(QRect(0, 0, 400, 300), Qt::white);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(16);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QRect(300, 130, 90, 40), Qt::AlignCenter, QStringLiteral("Export"));
    return screen;
}

TEST(VisibleArea, TextOfAnotherWindowIsNotRead)
{
    const QImage screen = twoWindows();
    const QPointF blank(430, 150);
    const QRegion clicked(400, 0, 400, 300);
    // The whole screen names the neighbour's caption: what the area is for.
    ASSERT_EQ(VisionService().recognizeStepLabel(blank, screen), VisionService::formatLabel(QStringLiteral("Export")));
    EXPECT_EQ(VisionService().recognizeStepLabel(blank, screen, clicked), std::nullopt);
    // Inside the white window the caption is still read.
    EXPECT_EQ(VisionService().recognizeStepLabel({ 345, 150 }, screen, QRegion(0, 0, 400, 300)),
        VisionService::formatLabel(QStringLiteral("Export")));
}

TEST(VisibleArea, PaintsTheRestInTheColourAroundTheClick)
{
    const QImage screen = twoWindows();
    const QImage shown = showOnlyVisibleArea(screen, QRegion(400, 0, 400, 300), { 430, 150 });
    EXPECT_EQ(shown.pixel(345, 150), screen.pixel(430, 150)) << "the caption is painted over";
    EXPECT_EQ(shown.pixel(10, 10), screen.pixel(430, 150));
    EXPECT_EQ(shown.pixel(600, 150), screen.pixel(600, 150)) << "the visible area is kept";
    const QImage whole = showOnlyVisibleArea(screen, QRegion(screen.rect()), { 430, 150 });
    EXPECT_EQ(whole.constBits(), screen.constBits()) << "nothing to hide: the image itself";
}

} // namespace
} // namespace zova
