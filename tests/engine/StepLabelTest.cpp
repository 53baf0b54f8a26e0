#include "engine/VisionService.h"

#include "support/TestSupport.h"

#include <QFont>
#include <QImage>
#include <QMap>
#include <QPainter>
#include <QThread>
#include <QThreadPool>

#include <gtest/gtest.h>

#include <memory>

namespace zova {
namespace {

const QChar openQuote(0x2018);
const QChar closeQuote(0x2019);
const QChar ellipsis(0x2026);

QString quoted(const QString& text) { return QStringLiteral("Click ") + openQuote + text + closeQuote; }

struct FormatCase {
    const char* name;
    QString text;
    std::optional<QString> label;
};

class FormatLabelTest : public ::testing::TestWithParam<FormatCase> { };

TEST_P(FormatLabelTest, FormsTheClickLabel)
{
    const FormatCase& c = GetParam();
    const std::optional<QString> label = VisionService::formatLabel(c.text);
    ASSERT_EQ(label.has_value(), c.label.has_value());
    if (label) {
        EXPECT_EQ(label->toStdU32String(), c.label->toStdU32String());
    }
}

const QString fortyOne = QStringLiteral("abcdefghijklmnopqrstuvwxyz0123456789ABCDE");
// "é" written as e and a combining acute accent: one character, two code units.
const QString eAcute = QStringLiteral("e\u0301");

INSTANTIATE_TEST_SUITE_P(Texts, FormatLabelTest,
    ::testing::Values(FormatCase { "plainWord", QStringLiteral("Save"), quoted("Save") },
        FormatCase { "trimmed", QStringLiteral(" \t Save\n"), quoted("Save") },
        FormatCase { "twoLinesJoined", QStringLiteral("Save\nAll"), quoted("Save All") },
        FormatCase { "blank", QStringLiteral(" \n\t "), std::nullopt }, FormatCase { "empty", QString(), std::nullopt },
        FormatCase { "fortyKept", fortyOne.left(40), quoted(fortyOne.left(40)) },
        FormatCase { "fortyOneCut", fortyOne, quoted(fortyOne.left(37) + ellipsis) },
        FormatCase { "fiftyCut", QString(50, QLatin1Char('x')), quoted(QString(37, QLatin1Char('x')) + ellipsis) },
        FormatCase { "fortyCombinedKept", eAcute.repeated(40), quoted(eAcute.repeated(40)) },
        FormatCase { "fortyOneCombinedCut", eAcute.repeated(41), quoted(eAcute.repeated(37) + ellipsis) },
        FormatCase { "flagsCutWhole", QStringLiteral("\U0001F1E9\U0001F1EA").repeated(45),
            quoted(QStringLiteral("\U0001F1E9\U0001F1EA").repeated(37) + ellipsis) }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FormatLabel, FiftyCharactersGiveALabelOfFortySix)
{
    const std::optional<QString> label = VisionService::formatLabel(QString(50, QLatin1Char('x')));
    ASSERT_TRUE(label);
    EXPECT_EQ(label->size(), 46);
}

ocr::TextLine line(double x, double y, double w, double h, const char* text)
{
    return { QRectF(x, y, w, h), QString::fromUtf8(text) };
}

struct PickCase {
    const char* name;
    QList<ocr::TextLine> lines;
    QPointF click; // pixels of a 1000 x 500 image
    std::optional<QString> label;
};

class PickLineTest : public ::testing::TestWithParam<PickCase> { };

TEST_P(PickLineTest, NamesTheStepAfterTheRightLine)
{
    const PickCase& c = GetParam();
    const std::optional<QString> label = VisionService::labelFromLines(c.lines, c.click, QSize(1000, 500));
    ASSERT_EQ(label.has_value(), c.label.has_value()) << (label ? label->toStdString() : "no label");
    if (label) {
        EXPECT_EQ(label->toStdString(), quoted(*c.label).toStdString());
    }
}

INSTANTIATE_TEST_SUITE_P(Lines, PickLineTest,
    ::testing::Values(PickCase { "noLines", {}, { 500, 250 }, std::nullopt },
        PickCase { "clickInsideBox", { line(0.1, 0.1, 0.1, 0.05, "Far"), line(0.4, 0.4, 0.2, 0.1, "Inside") },
            { 500, 220 }, QStringLiteral("Inside") },
        // A box that holds the click beats a nearer centre.
        PickCase { "insideBeatsNearerCentre",
            { line(0.49, 0.49, 0.02, 0.02, "Tiny"), line(0.0, 0.48, 0.495, 0.04, "Wide") }, { 490, 240 },
            QStringLiteral("Wide") },
        PickCase { "overlappingTakesFirst", { line(0.4, 0.4, 0.3, 0.2, "First"), line(0.45, 0.45, 0.1, 0.1, "Second") },
            { 500, 250 }, QStringLiteral("First") },
        PickCase { "nearestCentre", { line(0.58, 0.5, 0.1, 0.1, "Farther"), line(0.52, 0.5, 0.1, 0.1, "Nearer") },
            { 500, 275 }, QStringLiteral("Nearer") },
        PickCase { "equalDistanceTakesEarlier",
            { line(0.5625, 0.5, 0.125, 0.125, "Right"), line(0.3125, 0.5, 0.125, 0.125, "Left") }, { 500, 281.25 },
            QStringLiteral("Right") },
        // Centre (0.6, 0.55), click (0.451, 0.55): 0.149 away.
        PickCase { "justWithinThreshold", { line(0.55, 0.5, 0.1, 0.1, "Near") }, { 451, 275 }, QStringLiteral("Near") },
        PickCase { "atThreshold", { line(0.55, 0.5, 0.1, 0.1, "Edge") }, { 450, 275 }, std::nullopt },
        PickCase { "fifthAway", { line(0.65, 0.5, 0.1, 0.1, "Away") }, { 500, 275 }, std::nullopt },
        // Distances are measured in fractions of each side: 0.1 of the height is 50 px.
        PickCase { "verticalFractions", { line(0.45, 0.7, 0.1, 0.1, "Below") }, { 500, 325 }, QStringLiteral("Below") },
        // Box right and bottom edges are outside the box: the centre distance applies.
        PickCase { "rightEdgeIsOutside", { line(0.3, 0.45, 0.2, 0.1, "Edge"), line(0.5, 0.45, 0.05, 0.1, "Next") },
            { 500, 250 }, QStringLiteral("Next") },
        PickCase {
            "lineBreaksJoined", { line(0.4, 0.4, 0.2, 0.2, "Save\nAll\n") }, { 500, 250 }, QStringLiteral("Save All") },
        PickCase { "blankNearestGivesNone", { line(0.4, 0.4, 0.2, 0.2, "  \n"), line(0.45, 0.6, 0.1, 0.05, "Other") },
            { 500, 250 }, std::nullopt }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PickLine, ClickRowsCountFromTheTop)
{
    // A line near the top of the image; clicks near the top find it, the mirrored
    // position near the bottom does not.
    const QList<ocr::TextLine> lines = { line(0.4, 0.05, 0.2, 0.05, "Top") };
    EXPECT_EQ(VisionService::labelFromLines(lines, { 500, 40 }, { 1000, 500 }), quoted("Top"));
    EXPECT_EQ(VisionService::labelFromLines(lines, { 500, 460 }, { 1000, 500 }), std::nullopt);
}

TEST(PickLine, EmptyImageGivesNone)
{
    const QList<ocr::TextLine> lines = { line(0, 0, 1, 1, "All") };
    EXPECT_EQ(VisionService::labelFromLines(lines, { 0, 0 }, { 0, 10 }), std::nullopt);
}

TEST(RecognitionRegion, HoldsEveryLineWithinTheThreshold)
{
    const QSize size(1920, 1080);
    for (const QPointF click : { QPointF(960, 540), QPointF(5, 5), QPointF(1915, 1075) }) {
        const QRect region = VisionService::recognitionRegion(size, click);
        EXPECT_TRUE(QRect(QPoint(0, 0), size).contains(region));
        // The rectangle of centres closer than the threshold, with room beside it.
        const QRectF reach(click.x() - 0.15 * 1920, click.y() - 0.15 * 1080, 0.3 * 1920, 0.3 * 1080);
        EXPECT_TRUE(QRectF(region).contains(reach.intersected(QRectF(0, 0, 1920, 1080))));
        EXPECT_LT(region.width() * region.height(), 1920 * 1080 / 4);
    }
}

// Texts drawn in DejaVu Sans of `pixelSize`, dark on a light image of `size`,
// each from its baseline's origin.
QImage imageWithTexts(QSize size, int pixelSize, const QList<QPair<QPoint, QString>>& texts)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(245, 245, 247));
    QPainter p(&image);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    p.setFont(font);
    p.setPen(QColor(20, 20, 20));
    for (const auto& [origin, text] : texts)
        p.drawText(origin, text);
    return image;
}

// Large words on a 1920 x 1080 screen.
QImage screenWithWords(const QList<QPair<QPoint, QString>>& words) { return imageWithTexts({ 1920, 1080 }, 48, words); }

TEST(RecognizeStepLabel, ReadsTheWordAtTheClick)
{
    const QImage screen = screenWithWords({ { { 200, 200 }, QStringLiteral("Settings") },
        { { 1200, 700 }, QStringLiteral("Export") }, { { 1250, 820 }, QStringLiteral("Cancel") } });
    const VisionService vision;
    EXPECT_EQ(vision.recognizeStepLabel({ 1270, 685 }, screen), quoted("Export"));
    EXPECT_EQ(vision.recognizeStepLabel({ 1300, 805 }, screen), quoted("Cancel"));
    // Near, not on, a word.
    EXPECT_EQ(vision.recognizeStepLabel({ 300, 260 }, screen), quoted("Settings"));
    EXPECT_EQ(vision.recognizeStepLabel({ 700, 500 }, screen), std::nullopt);
}

TEST(RecognizeStepLabel, ReadsALongLineWhole)
{
    // The line runs far beyond the part of the screen around the click.
    const QString text = QStringLiteral("Open the quarterly report for the northern region today");
    const QImage screen = screenWithWords({ { { 40, 500 }, text } });
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(48);
    const int advance = QFontMetrics(font).horizontalAdvance(text);
    ASSERT_GT(advance, 1200);
    // Near the line's end, far from its centre: only the whole line holds the click.
    const std::optional<QString> label = VisionService().recognizeStepLabel({ 40 + 0.95 * advance, 485 }, screen);
    ASSERT_TRUE(label);
    EXPECT_EQ(label->toStdString(), quoted(text.left(37) + ellipsis).toStdString());
}

TEST(RecognizeStepLabel, ReadsTheClickedLineOfADenseBlock)
{
    // Lines 58 px apart, each far wider than the area just around the click.
    const QStringList texts
        = { QStringLiteral("Alpha report for the month of May"), QStringLiteral("Beta invoices waiting for review"),
              QStringLiteral("Gamma notes from the last meeting"), QStringLiteral("Delta plans for the coming year") };
    QList<QPair<QPoint, QString>> words;
    for (int i = 0; i < texts.size(); ++i)
        words.append({ QPoint(300, 400 + 58 * i), texts[i] });
    const QImage screen = screenWithWords(words);
    const VisionService vision;
    for (int i = 0; i < texts.size(); ++i) {
        // Left part, middle and far end of each line, on its letters.
        for (const int x : { 340, 700, 1050 }) {
            const std::optional<QString> label = vision.recognizeStepLabel({ double(x), 385.0 + 58 * i }, screen);
            ASSERT_TRUE(label) << "line " << i << " at x " << x;
            EXPECT_EQ(label->toStdString(), quoted(texts[i]).toStdString()) << "line " << i << " at x " << x;
        }
    }
}

struct BesideCase {
    const char* name;
    QPointF click;
    std::optional<QString> label;
};

class ClickBesideWordsTest : public ::testing::TestWithParam<BesideCase> { };

// A column of short words 60 px apart, a long line beside it and a word far off.
TEST_P(ClickBesideWordsTest, NamesTheNearestWord)
{
    static const QImage screen = screenWithWords({ { { 40, 200 }, QStringLiteral("Home") },
        { { 40, 260 }, QStringLiteral("Files") }, { { 40, 320 }, QStringLiteral("Share") },
        { { 480, 620 }, QStringLiteral("Print the whole document now") }, { { 1500, 900 }, QStringLiteral("Help") } });
    const BesideCase& c = GetParam();
    const std::optional<QString> label = VisionService().recognizeStepLabel(c.click, screen);
    ASSERT_EQ(label.has_value(), c.label.has_value()) << (label ? label->toStdString() : "no label");
    if (label) {
        EXPECT_EQ(label->toStdString(), quoted(*c.label).toStdString());
    }
}

INSTANTIATE_TEST_SUITE_P(Clicks, ClickBesideWordsTest,
    ::testing::Values(BesideCase { "rightOfWord", { 215, 245 }, QStringLiteral("Files") },
        BesideCase { "onBaseline", { 90, 260 }, QStringLiteral("Files") },
        BesideCase { "leftOfWordAtImageEdge", { 10, 305 }, QStringLiteral("Share") },
        BesideCase { "belowTheColumn", { 90, 345 }, QStringLiteral("Share") },
        BesideCase { "aboveALongLine", { 900, 570 }, QStringLiteral("Print the whole document now") },
        BesideCase { "farFromAll", { 1000, 330 }, std::nullopt },
        BesideCase { "besideAFarWord", { 1680, 885 }, QStringLiteral("Help") }),
    [](const auto& info) { return std::string(info.param.name); });

// Small interface text on a window: a sidebar of items 38 px apart beside a page
// of long lines 24 px apart.
QImage windowWithPage(QSize size)
{
    QList<QPair<QPoint, QString>> texts;
    for (int i = 0; i < 24; ++i)
        texts.append({ QPoint(24, 90 + 38 * i), QStringLiteral("Sidebar item %1").arg(i + 1) });
    for (int i = 0; i < 40; ++i)
        texts.append({ QPoint(320, 90 + 24 * i),
            QStringLiteral("Paragraph line %1 with a few more words to read across the page").arg(i + 1) });
    return imageWithTexts(size, 15, texts);
}

// The texts of the lines of `words`, in the order of their numbers.
QStringList linesOf(const QList<ocr::TextWord>& words)
{
    QMap<int, QStringList> wordsOfLine;
    for (const ocr::TextWord& w : words)
        wordsOfLine[w.line] << w.text.trimmed();
    QStringList lines;
    for (const QStringList& line : std::as_const(wordsOfLine))
        lines << line.join(QLatin1Char(' '));
    return lines;
}

TEST(ReadWords, ReadsATallRegionOrAWideBandInPartsWithEveryLineOnceAndWhole)
{
    // Lines of running text, one of them across the region's middle row.
    QStringList texts;
    QList<QPair<QPoint, QString>> lines;
    for (int i = 0; i < 16; ++i) {
        texts << QStringLiteral("Row %1 of the report lists the totals").arg(i + 1);
        // Row 8 has its ink on about the rows 205 to 219.
        lines.append({ QPoint(20, 48 + 24 * i), texts.last() });
    }
    const QImage page = imageWithTexts({ 800, 420 }, 15, lines);
    const auto pageWords = VisionService::readWords(
        page, page.rect(), 1, ocr::TextRecognizer::Contrast::Global, ocr::TextRecognizer::Layout::Sparse);
    ASSERT_TRUE(pageWords);
    EXPECT_EQ(linesOf(*pageWords).join(QLatin1Char('\n')).toStdString(), texts.join(QLatin1Char('\n')).toStdString());

    // One long line in a band, parted between two of its words, not inside one.
    const QString text = QStringLiteral("Paragraph line 20 with a few more words to read across the page");
    const QImage band = imageWithTexts({ 900, 26 }, 15, { { QPoint(20, 18), text } });
    const auto bandWords = VisionService::readWords(
        band, band.rect(), 2, ocr::TextRecognizer::Contrast::Global, ocr::TextRecognizer::Layout::Sparse);
    ASSERT_TRUE(bandWords);
    EXPECT_EQ(linesOf(*bandWords).join(QLatin1Char('\n')).toStdString(), text.toStdString());
}

TEST(RecognizeStepLabel, NamesNothingBesideTheEndsOfLinesWhoseCentresAreFar)
{
    // The region around a click beside the page shows only the ends of its lines,
    // which read alone would lie near the click.
    const QImage window = windowWithPage({ 1280, 760 });
    const VisionService vision;
    for (const QPointF click : { QPointF(850, 354), QPointF(1000, 546) })
        EXPECT_EQ(
            vision.recognizeStepLabel(click, window).value_or(QStringLiteral("no label")).toStdString(), "no label");
    // Between the sidebar and the page the nearest whole line is the sidebar's,
    // read whole where the region cuts it.
    EXPECT_EQ(vision.recognizeStepLabel({ 260, 614 }, window).value_or(QStringLiteral("no label")).toStdString(),
        quoted("Sidebar item 15").toStdString());
}

TEST(RecognizeStepLabel, HandsTheResultToTheGuiThreadWhileTheReceiverLives)
{
    const QImage screen = screenWithWords({ { { 200, 200 }, QStringLiteral("Settings") } });
    QThread* const gui = QThread::currentThread();
    QObject receiver;
    std::optional<QString> got;
    bool called = false;
    VisionService().recognizeStepLabel({ 300, 185 }, screen, &receiver, [&](std::optional<QString> label) {
        EXPECT_EQ(QThread::currentThread(), gui);
        got = std::move(label);
        called = true;
    });
    ASSERT_TRUE(test::waitUntil([&] { return called; }, 20000));
    EXPECT_EQ(got, quoted("Settings"));

    // A receiver that is gone before the answer arrives hears nothing.
    auto gone = std::make_unique<QObject>();
    bool lateCall = false;
    VisionService().recognizeStepLabel(
        { 300, 185 }, screen, gone.get(), [&](std::optional<QString>) { lateCall = true; });
    gone.reset();
    VisionService::recognitionPool()->waitForDone();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_FALSE(lateCall);
}

} // namespace
} // namespace zova
