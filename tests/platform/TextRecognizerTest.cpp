#include "platform/ocr/TextRecognizer.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QtConcurrent>

#include <gtest/gtest.h>

namespace zova::ocr {
namespace {

struct Word {
    QPoint origin;
    QString text;
    int pixelSize = 48;
};

QImage screenWithWords(const QList<Word>& words, QSize size = { 1280, 720 })
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    for (const Word& w : words) {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(w.pixelSize);
        p.setFont(font);
        p.setPen(Qt::black);
        p.drawText(w.origin, w.text);
    }
    return image;
}

// The word's ink in fractions of the image.
QRectF inkBox(const Word& w, QSize size)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(w.pixelSize);
    const QRect r = QFontMetrics(font).tightBoundingRect(w.text).translated(w.origin);
    return QRectF(double(r.x()) / size.width(), double(r.y()) / size.height(), double(r.width()) / size.width(),
        double(r.height()) / size.height());
}

bool near(const QRectF& a, const QRectF& b, double slack)
{
    return std::abs(a.left() - b.left()) < slack && std::abs(a.top() - b.top()) < slack
        && std::abs(a.right() - b.right()) < slack && std::abs(a.bottom() - b.bottom()) < slack;
}

TEST(TextRecognizer, ReadsLinesWithBoxesInFractionsOfTheWholeImage)
{
    const QSize size(1280, 720);
    const Word settings { { 100, 150 }, QStringLiteral("Settings") };
    const Word export_ { { 800, 500 }, QStringLiteral("Export") };
    const QImage image = screenWithWords({ settings, export_ }, size);

    // Only the region's lines come back, placed in the whole image.
    const auto lines = TextRecognizer::recognize(image, QRect(600, 350, 680, 370));
    ASSERT_TRUE(lines);
    ASSERT_EQ(lines->size(), 1);
    EXPECT_EQ(lines->front().text.trimmed(), QStringLiteral("Export"));
    EXPECT_TRUE(near(lines->front().box, inkBox(export_, size), 0.01)) << lines->front().box.x();

    const auto all = TextRecognizer::recognize(image, image.rect());
    ASSERT_TRUE(all);
    QStringList texts;
    for (const TextLine& l : *all)
        texts << l.text.trimmed();
    EXPECT_EQ(texts, QStringList({ "Settings", "Export" }));
}

TEST(TextRecognizer, LeavesOutLinesBelowTheMinimumHeight)
{
    const QImage image
        = screenWithWords({ { { 100, 200 }, QStringLiteral("Large"), 48 }, { { 100, 400 }, "small words", 14 } });
    const auto all = TextRecognizer::recognize(image, image.rect());
    ASSERT_TRUE(all);
    EXPECT_EQ(all->size(), 2);
    const auto large = TextRecognizer::recognize(image, image.rect(), 0.03);
    ASSERT_TRUE(large);
    ASSERT_EQ(large->size(), 1);
    EXPECT_EQ(large->front().text.trimmed(), QStringLiteral("Large"));
}

TEST(TextRecognizer, EmptyRegionGivesNoValue)
{
    const QImage image = screenWithWords({});
    EXPECT_FALSE(TextRecognizer::recognize(image, QRect(2000, 2000, 10, 10)));
    EXPECT_FALSE(TextRecognizer::recognize(QImage(), QRect(0, 0, 10, 10)));
    const auto blank = TextRecognizer::recognize(image, image.rect());
    ASSERT_TRUE(blank);
    EXPECT_TRUE(blank->isEmpty());
}

// Two keys that touch frame to frame and a plain caption, in interface sizes.
QImage keysAndCaption(QColor window, QColor frame, QColor text)
{
    QImage image(320, 120, QImage::Format_RGB32);
    image.fill(window);
    QPainter p(&image);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(13);
    p.setFont(font);
    for (int i = 0; i < 2; ++i) {
        const QRect key(20 + 44 * i, 20, 42, 26);
        p.setPen(frame);
        p.drawRect(key.adjusted(0, 0, -1, -1));
        p.setPen(text);
        p.drawText(key, Qt::AlignCenter, i == 0 ? QStringLiteral("sin") : QStringLiteral("cos"));
    }
    p.drawText(20, 90, QStringLiteral("Add note"));
    return image;
}

TEST(TextRecognizer, ReadsSmallScreenTextInEitherThemeAndTellsWhereFramesPartWords)
{
    for (const bool dark : { false, true }) {
        const QImage image = dark ? keysAndCaption(QColor(43, 43, 43), QColor(20, 20, 20), QColor(230, 230, 230))
                                  : keysAndCaption(QColor(239, 239, 239), QColor(120, 120, 120), QColor(30, 30, 30));
        for (const auto contrast : { TextRecognizer::Contrast::Global, TextRecognizer::Contrast::Local }) {
            const auto words = TextRecognizer::recognizeWords(image, image.rect(), 3, contrast);
            ASSERT_TRUE(words);
            QStringList texts;
            for (const TextWord& w : *words)
                texts << w.text.trimmed();
            ASSERT_EQ(texts, QStringList({ "sin", "cos", "Add", "note" })) << "dark " << dark;
            // Keys are parted by their frames: read on one line, the second word
            // says so. The caption's words are one line with nothing between them.
            const QList<TextWord>& w = *words;
            EXPECT_TRUE(w[1].line != w[0].line || w[1].afterFrame) << "dark " << dark;
            EXPECT_EQ(w[3].line, w[2].line);
            EXPECT_FALSE(w[3].afterFrame);
            // Boxes in fractions of the whole image, on the words' ink.
            const QRectF add = words->at(2).box;
            EXPECT_NEAR(add.left() * image.width(), 20, 2);
            EXPECT_NEAR(add.bottom() * image.height(), 90, 2);
        }
    }
}

// Lines of running text 24 pixels apart, as in an editor.
QImage pageOfLines(int count)
{
    QList<Word> words;
    for (int i = 0; i < count; ++i)
        words.append({ { 20, 40 + 24 * i }, QStringLiteral("Paragraph line %1 with a few words").arg(i + 1), 15 });
    return screenWithWords(words, { 480, 40 + 24 * count });
}

TEST(TextRecognizer, LeavesOutTheRemainsOfLinesCutByTheTopOrBottomSide)
{
    // Line n has its ink on about the rows 4 + 24 * n to 20 + 24 * n.
    const QImage image = pageOfLines(6);
    struct Row {
        const char* what;
        QRect region;
        std::optional<TextRecognizer::CutRemains> leaveOut;
        bool remainsRead; // whether words come back outside the whole lines
    };
    // The region shows the lowest 7 rows of line 2 and the top 7 of line 5.
    const QRect cutting(QPoint(0, 62), QPoint(479, 130));
    const TextRecognizer::CutRemains remains { 100, 9 };
    const Row rows[] = {
        { "read as they are", cutting, std::nullopt, true },
        { "left out", cutting, remains, false },
        { "kept where the row to keep lies", cutting, TextRecognizer::CutRemains { 64, 9 }, true },
        { "kept when taller than the lowest text", cutting, TextRecognizer::CutRemains { 100, 4 }, true },
    };
    for (const Row& r : rows) {
        const auto words = TextRecognizer::recognizeWords(
            image, r.region, 2, TextRecognizer::Contrast::Global, TextRecognizer::Layout::Sparse, r.leaveOut);
        ASSERT_TRUE(words) << r.what;
        QStringList whole;
        bool outside = false;
        for (const TextWord& w : *words) {
            const double middle = w.box.center().y() * image.height();
            if (middle > 77 && middle < 125)
                whole << w.text.trimmed();
            else
                outside = true;
        }
        // Lines 3 and 4 read alike either way.
        EXPECT_EQ(whole.join(QLatin1Char(' ')),
            QStringLiteral("Paragraph line 3 with a few words Paragraph line 4 with a few words"))
            << r.what;
        EXPECT_EQ(outside, r.remainsRead) << r.what;
    }
}

TEST(TextRecognizer, FindsTheInsideOfTheFrameAroundAPoint)
{
    const QImage image = keysAndCaption(QColor(239, 239, 239), QColor(120, 120, 120), QColor(30, 30, 30));
    // The second key's frame runs from (64, 20) to (105, 45).
    EXPECT_EQ(TextRecognizer::frameAround(image, { 80, 28 }, { 320, 64 }), QRect(QPoint(65, 21), QPoint(104, 44)));
    // On the caption outside any frame, on a frame itself, or in a frame larger than allowed.
    EXPECT_TRUE(TextRecognizer::frameAround(image, { 40, 86 }, { 320, 64 }).isNull());
    EXPECT_TRUE(TextRecognizer::frameAround(image, { 64, 30 }, { 320, 64 }).isNull());
    EXPECT_TRUE(TextRecognizer::frameAround(image, { 80, 28 }, { 30, 64 }).isNull());
}

TEST(TextRecognizer, WorkerThreadsEachReadWithTheirOwnEngine)
{
    const QImage image = screenWithWords({ { { 100, 150 }, QStringLiteral("Settings") } });
    QThreadPool pool;
    pool.setMaxThreadCount(3);
    QList<int> runs(6);
    std::iota(runs.begin(), runs.end(), 0);
    const QList<QString> texts = QtConcurrent::blockingMapped(&pool, runs, [&](int) {
        const auto lines = TextRecognizer::recognize(image, image.rect());
        return lines && lines->size() == 1 ? lines->front().text.trimmed() : QString();
    });
    for (const QString& t : texts)
        EXPECT_EQ(t, QStringLiteral("Settings"));
}

} // namespace
} // namespace zova::ocr
