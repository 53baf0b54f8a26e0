#include "engine/VisionService.h"

#include "engine/VisibleArea.h"
#include "engine/VisionLog.h"

#include <QCoreApplication>
#include <QHash>
#include <QPointer>
#include <QTextBoundaryFinder>
#include <QThreadPool>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <functional>
#include <latch>
#include <limits>
#include <memory>
#include <mutex>
#include <semaphore>
#include <vector>

namespace zova {

namespace {

constexpr int ringDistance = 35;
constexpr int discRadius = 30;
constexpr double feather = 5.0;
constexpr int maxLabelCharacters = 40;
constexpr int cutLabelCharacters = 37;
constexpr int recognitionThreads = 2;
// Cut lines read whole, at most, when each one read moves away from the click.
constexpr int maxWholeReads = 3;

constexpr int ring[8][2] = { { 1, 0 }, { -1, 0 }, { 0, 1 }, { 0, -1 }, { 1, 1 }, { 1, -1 }, { -1, 1 }, { -1, -1 } };

struct Rgb {
    int r = 0, g = 0, b = 0;
};

bool isBrightNeutral(Rgb c)
{
    const int hi = std::max({ c.r, c.g, c.b });
    const int lo = std::min({ c.r, c.g, c.b });
    return hi >= 181 && hi - lo <= 23;
}

// Pixel of an RGBA8888 bitmap; outside the image reads as black.
Rgb pixelAt(const QImage& bitmap, int x, int y)
{
    if (x < 0 || y < 0 || x >= bitmap.width() || y >= bitmap.height())
        return {};
    const uchar* p = bitmap.constScanLine(y) + 4 * x;
    return { p[0], p[1], p[2] };
}

// The half-open containment of a box: its top and left edges are inside, the
// bottom and right edges are not.
bool boxContains(const QRectF& box, QPointF p)
{
    return p.x() >= box.left() && p.x() < box.right() && p.y() >= box.top() && p.y() < box.bottom();
}

} // namespace

QImage VisionService::removeMirroringPointer(const QImage& image, QPointF clickPixel) const
{
    const int width = image.width();
    const int height = image.height();
    const double rx = std::round(clickPixel.x());
    const double ry = std::round(clickPixel.y());
    if (!std::isfinite(rx) || !std::isfinite(ry) || rx < 0 || ry < 0 || rx >= width || ry >= height)
        return image;
    const int cx = int(rx);
    const int cy = int(ry);

    QImage bitmap = image.convertToFormat(QImage::Format_RGBA8888_Premultiplied);
    if (bitmap.isNull() || bitmap.size() != image.size())
        return image;
    // A format that already matched shares its pixels with the caller's image.
    bitmap.detach();
    if (!bitmap.bits())
        return image;

    if (!isBrightNeutral(pixelAt(bitmap, cx, cy)))
        return image;

    Rgb sum;
    int count = 0;
    for (const auto& dir : ring) {
        const Rgb c = pixelAt(bitmap, cx + ringDistance * dir[0], cy + ringDistance * dir[1]);
        if (isBrightNeutral(c))
            continue;
        sum.r += c.r;
        sum.g += c.g;
        sum.b += c.b;
        ++count;
    }
    if (count < 3)
        return image;
    const int fill[3] = { sum.r / count, sum.g / count, sum.b / count };

    const int y0 = std::max(0, cy - discRadius), y1 = std::min(height - 1, cy + discRadius);
    const int x0 = std::max(0, cx - discRadius), x1 = std::min(width - 1, cx + discRadius);
    for (int y = y0; y <= y1; ++y) {
        uchar* row = bitmap.scanLine(y);
        const int oy = y - cy;
        for (int x = x0; x <= x1; ++x) {
            const int ox = x - cx;
            const double d = std::sqrt(double(ox * ox + oy * oy));
            if (d > discRadius)
                continue;
            const double w = std::min(1.0, (discRadius - d) / feather);
            uchar* p = row + 4 * x;
            for (int ch = 0; ch < 3; ++ch)
                p[ch] = uchar(w * fill[ch] + (1.0 - w) * p[ch]);
        }
    }
    return bitmap;
}

std::optional<QString> VisionService::formatLabel(const QString& text)
{
    QString line = text.trimmed();
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (line.isEmpty())
        return std::nullopt;

    // Count and cut in user-perceived characters, never inside one.
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, line);
    int count = 0;
    qsizetype cut = -1;
    while (graphemes.toNextBoundary() != -1) {
        ++count;
        if (count == cutLabelCharacters)
            cut = graphemes.position();
    }
    if (count > maxLabelCharacters)
        line = line.left(cut) + QChar(0x2026);
    return QStringLiteral("Click ") + QChar(0x2018) + line + QChar(0x2019);
}

std::optional<qsizetype> VisionService::nearestLine(
    const QList<ocr::TextLine>& lines, QPointF clickPixel, QSize imageSize)
{
    if (imageSize.width() < 1 || imageSize.height() < 1)
        return std::nullopt;
    const QPointF click(clickPixel.x() / imageSize.width(), clickPixel.y() / imageSize.height());

    double bestDistance = std::numeric_limits<double>::max();
    std::optional<qsizetype> best;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QRectF& box = lines[i].box;
        const QPointF centre = box.center();
        const double distance
            = boxContains(box, click) ? -1.0 : std::hypot(centre.x() - click.x(), centre.y() - click.y());
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    if (!best || !(bestDistance < proximityThreshold))
        return std::nullopt;
    return best;
}

std::optional<QString> VisionService::labelFromLines(
    const QList<ocr::TextLine>& lines, QPointF clickPixel, QSize imageSize)
{
    const std::optional<qsizetype> best = nearestLine(lines, clickPixel, imageSize);
    return best ? formatLabel(lines[*best].text) : std::nullopt;
}

QRect VisionService::recognitionRegion(QSize imageSize, QPointF clickPixel)
{
    // Every line whose centre lies within the threshold of the click, with room
    // for the half of such a line that reaches beyond it.
    const double reachX = (proximityThreshold + 0.03) * imageSize.width();
    const double reachY = (proximityThreshold + 0.02) * imageSize.height();
    const QRectF area(clickPixel.x() - reachX, clickPixel.y() - reachY, 2 * reachX, 2 * reachY);
    return area.toAlignedRect().intersected(QRect(QPoint(0, 0), imageSize));
}

namespace {

// The area first read around a click: the control under it and a word or two
// on each side, in pixels so that small interface text is covered alike in a
// window and on a whole screen.
QRect clickRegion(QSize imageSize, QPointF clickPixel)
{
    const double reachX = std::max(160.0, 0.05 * imageSize.width());
    const double reachY = std::max(28.0, 0.02 * imageSize.height());
    const QRectF area(clickPixel.x() - reachX, clickPixel.y() - reachY, 2 * reachX, 2 * reachY);
    return area.toAlignedRect().intersected(QRect(QPoint(0, 0), imageSize));
}

// Words of one line are one phrase, as a person reads one control, while the
// space between them stays below this many of their average character widths
// (a space in monospaced text takes about 1.2); a wider space parts two menu
// items, a caption from the next control, a key from a key. Widths hold where
// heights mislead: a mnemonic's underline makes a word's box taller.
constexpr double phraseGap = 1.45;
// Enlarged regions cost the square of the scale: an area of at most this many
// pixels after enlarging keeps a reading well within a click's time.
constexpr double enlargedPixels = 300000;
constexpr int maxScale = 3;
// The largest inside of a frame that is one control, a button or a key.
constexpr QSize largestFace(320, 64);
// The engine reads words best at about this height in pixels; enlarged far
// beyond it, large text is misread.
constexpr double readingHeight = 36;

bool isWordCharacter(QChar c) { return c.isLetterOrNumber(); }

// A reading of a radio mark, a check box or a frame's remains: one or two marks
// without a letter or digit.
bool isMark(const ocr::TextWord& word)
{
    const QString text = word.text.trimmed();
    return text.size() <= 2 && std::none_of(text.begin(), text.end(), isWordCharacter);
}

// The word's text, a doubled reading of one glyph ("Cc" for a key's "C") made
// single: two letters that differ only in case in a box too narrow for two.
QString singleGlyph(const ocr::TextWord& word, QSize imageSize)
{
    const QString text = word.text.trimmed();
    const double width = word.box.width() * imageSize.width();
    const double height = word.box.height() * imageSize.height();
    if (text.size() == 2 && text[0] != text[1] && text[0].toLower() == text[1].toLower() && width < height)
        return text.left(1);
    return text;
}

// The words grouped into phrases, each with the box around its words. A mark
// beside words parts them and is left out; a mark alone (a key's "+") stays.
QList<ocr::TextLine> phrasesOf(QList<ocr::TextWord> words, QSize imageSize)
{
    std::stable_sort(words.begin(), words.end(), [](const ocr::TextWord& a, const ocr::TextWord& b) {
        return a.line != b.line ? a.line < b.line : a.box.left() < b.box.left();
    });
    QList<QList<ocr::TextWord>> groups;
    for (const ocr::TextWord& word : words) {
        if (word.text.trimmed().isEmpty())
            continue;
        if (!groups.isEmpty()) {
            const ocr::TextWord& last = groups.last().last();
            const double gap = (word.box.left() - last.box.right()) * imageSize.width();
            const double characterWidth = (word.box.width() + last.box.width()) * imageSize.width()
                / double(word.text.trimmed().size() + last.text.trimmed().size());
            if (last.line == word.line && !word.afterFrame && gap <= phraseGap * characterWidth) {
                groups.last().append(word);
                continue;
            }
        }
        groups.append({ word });
    }
    QList<QList<ocr::TextWord>> parted;
    for (const QList<ocr::TextWord>& group : groups) {
        if (std::all_of(group.begin(), group.end(), isMark)) {
            parted.append(group);
            continue;
        }
        parted.append(QList<ocr::TextWord>());
        for (const ocr::TextWord& word : group) {
            if (!isMark(word))
                parted.last().append(word);
            else if (!parted.last().isEmpty())
                parted.append(QList<ocr::TextWord>());
        }
        if (parted.last().isEmpty())
            parted.removeLast();
    }
    QList<ocr::TextLine> phrases;
    for (const QList<ocr::TextWord>& group : parted) {
        ocr::TextLine phrase { group.first().box, QString() };
        for (const ocr::TextWord& w : group) {
            phrase.box = phrase.box.united(w.box);
            phrase.text += (phrase.text.isEmpty() ? QString() : QStringLiteral(" ")) + singleGlyph(w, imageSize);
        }
        if (phrase.box.height() >= VisionService::minimumTextHeight)
            phrases.append(phrase);
    }
    return phrases;
}

using Contrast = ocr::TextRecognizer::Contrast;

// A region at least this tall, and of this many pixels once enlarged, is read in
// two parts at once; a smaller one costs too little to share.
constexpr int splitHeight = 160;
constexpr double splitPixels = 100000;
// A band lower than that is read in two parts side by side from this width on,
// once enlarged.
constexpr int splitWidth = 1400;
// The least space between two words, in text heights: more than any between two
// letters of a word.
constexpr double wordSpace = 0.35;
// A row free of text: no more pixels than the thin frames of panes crossing it
// differ from its level by more than this.
constexpr int inkContrast = 16;
constexpr int blankRowInk = 3;

// The row (or column) of `area` where to part it for two readings, in image
// pixels: one that no text crosses, nearest the line with as much ink before it
// as after it, within a sixth of the rows (or columns) that text crosses.
// A column parts words only amid a space between them, the middle of blank
// columns as many as `wordSpace` of the rows text crosses.
std::optional<int> blankLineNearMiddle(const QImage& image, const QRect& area, Qt::Orientation across)
{
    const QImage grey = image.copy(area).convertToFormat(QImage::Format_Grayscale8);
    if (grey.isNull())
        return std::nullopt;
    // The pixels of each row (or column) that differ from its most frequent level.
    const auto inkOfLines = [&](bool rows) {
        const int length = rows ? grey.width() : grey.height();
        std::vector<int> ink(size_t(rows ? grey.height() : grey.width()), 0);
        for (int i = 0; i < int(ink.size()); ++i) {
            const auto level = [&](int j) { return int(rows ? grey.constScanLine(i)[j] : grey.constScanLine(j)[i]); };
            std::array<int, 256> histogram {};
            for (int j = 0; j < length; ++j)
                ++histogram[size_t(level(j))];
            const int most = int(std::max_element(histogram.begin(), histogram.end()) - histogram.begin());
            for (int j = 0; j < length; ++j)
                ink[size_t(i)] += std::abs(level(j) - most) > inkContrast ? 1 : 0;
        }
        return ink;
    };
    const auto blankOf = [](const std::vector<int>& ink) {
        std::vector<bool> blank(ink.size(), false);
        for (size_t i = 0; i < ink.size(); ++i)
            blank[i] = ink[i] <= blankRowInk;
        return blank;
    };
    const bool rows = across == Qt::Horizontal;
    const std::vector<int> ink = inkOfLines(rows);
    const std::vector<bool> blank = blankOf(ink);
    const int count = int(blank.size());
    const int crossed = int(std::count(blank.begin(), blank.end(), false));
    if (crossed == 0)
        return std::nullopt;
    // Where as much ink lies before as after: about as much for each reading to do.
    qint64 total = 0;
    for (int i = 0; i < count; ++i)
        total += blank[size_t(i)] ? 0 : ink[size_t(i)];
    int middle = 0;
    for (qint64 seen = 0; middle < count && 2 * seen < total; ++middle)
        seen += blank[size_t(middle)] ? 0 : ink[size_t(middle)];
    // A column that parts words lies amid a run of blank columns at least this long.
    int space = 1;
    if (!rows) {
        const std::vector<bool> blankRows = blankOf(inkOfLines(true));
        space = int(std::ceil(wordSpace * double(std::count(blankRows.begin(), blankRows.end(), false))));
    }
    std::vector<bool> parting(size_t(count), false);
    for (int i = 0; i < count;) {
        int end = i;
        while (end < count && blank[size_t(end)])
            ++end;
        if (end - i >= space)
            parting[size_t((i + end) / 2)] = true;
        i = std::max(end, i + 1);
    }
    const auto parts
        = [&](int i) { return i >= 0 && i < count && (rows ? bool(blank[size_t(i)]) : bool(parting[size_t(i)])); };
    const int start = rows ? area.top() : area.left();
    for (int offset = 0; offset <= crossed / 6; ++offset) {
        if (parts(middle - offset))
            return start + middle - offset;
        if (parts(middle + offset))
            return start + middle + offset;
    }
    return std::nullopt;
}

// Work handed to the other engine of the recognition pool when that is free, and
// else done where it is waited for, so that no reading ever waits for a thread
// of the pool. The work is told to stop when it is no longer wanted, and always
// ends before the object goes.
class Alongside {
public:
    explicit Alongside(std::function<void(const std::atomic_bool& stop)> work)
        : m_work(std::move(work))
    {
        m_shared = VisionService::recognitionPool()->tryStart([this] {
            m_work(m_stop);
            m_done.release();
        });
    }
    Alongside(const Alongside&) = delete;
    Alongside& operator=(const Alongside&) = delete;
    ~Alongside() { drop(); }

    // Waits for the work to end, doing it here when no thread took it.
    void finish()
    {
        if (m_ended)
            return;
        m_ended = true;
        if (m_shared)
            m_done.acquire();
        else
            m_work(m_stop);
    }
    // Stops the work and waits for it to end, without doing it here.
    void drop()
    {
        if (m_ended)
            return;
        m_ended = true;
        m_stop = true;
        if (m_shared)
            m_done.acquire();
    }

private:
    std::function<void(const std::atomic_bool&)> m_work;
    std::atomic_bool m_stop = false;
    std::binary_semaphore m_done { 0 };
    bool m_shared = false;
    bool m_ended = false;
};

} // namespace

std::optional<QList<ocr::TextWord>> VisionService::readWords(const QImage& image, const QRect& region, int scale,
    Contrast contrast, ocr::TextRecognizer::Layout layout, std::optional<ocr::TextRecognizer::CutRemains> leaveOut,
    const std::atomic_bool* stop)
{
    const QRect area = region.intersected(image.rect());
    const bool sparse = layout == ocr::TextRecognizer::Layout::Sparse;
    const bool tall = area.height() >= splitHeight;
    std::optional<int> split;
    if (sparse && tall && double(area.width()) * area.height() * scale * scale >= splitPixels)
        split = blankLineNearMiddle(image, area, Qt::Horizontal);
    else if (sparse && !tall && area.width() * scale >= splitWidth)
        split = blankLineNearMiddle(image, area, Qt::Vertical);
    if (!split)
        return ocr::TextRecognizer::recognizeWords(image, area, scale, contrast, layout, leaveOut, stop);

    // Both parts hold the blank row or column, so every line lies whole in one of
    // them, or each word of it does; the sides where rows part cut nothing.
    const QRect first(area.topLeft(), tall ? QPoint(area.right(), *split) : QPoint(*split, area.bottom()));
    const QRect second(tall ? QPoint(area.left(), *split) : QPoint(*split, area.top()), area.bottomRight());
    std::optional<ocr::TextRecognizer::CutRemains> firstLeaveOut = leaveOut, secondLeaveOut = leaveOut;
    QList<QRectF> secondLeftOut;
    if (leaveOut) {
        if (tall) {
            firstLeaveOut->bottom = false;
            secondLeaveOut->top = false;
        }
        if (leaveOut->leftOut)
            secondLeaveOut->leftOut = &secondLeftOut;
    }
    // The second part goes to the other engine.
    std::optional<QList<ocr::TextWord>> secondWords;
    Alongside readSecond([&](const std::atomic_bool& stopSecond) {
        if (!(stop && *stop))
            secondWords = ocr::TextRecognizer::recognizeWords(
                image, second, scale, contrast, layout, secondLeaveOut, stop ? stop : &stopSecond);
    });
    std::optional<QList<ocr::TextWord>> words
        = ocr::TextRecognizer::recognizeWords(image, first, scale, contrast, layout, firstLeaveOut, stop);
    readSecond.finish();
    if (!words || !secondWords)
        return std::nullopt;
    if (leaveOut && leaveOut->leftOut)
        leaveOut->leftOut->append(secondLeftOut);
    // Lines of the second part follow those of the first; beside them, a line
    // goes on the first part's line it shares most of its rows with.
    QHash<int, QRectF> firstLines, secondLines;
    int lines = 0;
    for (const ocr::TextWord& w : *words) {
        firstLines[w.line] = firstLines.value(w.line, w.box).united(w.box);
        lines = std::max(lines, w.line);
    }
    for (const ocr::TextWord& w : *secondWords)
        secondLines[w.line] = secondLines.value(w.line, w.box).united(w.box);
    QHash<int, int> renumbered;
    for (auto it = secondLines.cbegin(); it != secondLines.cend(); ++it) {
        int joined = 0;
        double shared = 0;
        for (auto f = firstLines.cbegin(); !tall && f != firstLines.cend(); ++f) {
            const double rows = std::min(it->bottom(), f->bottom()) - std::max(it->top(), f->top());
            if (rows > shared && 2 * rows > std::min(it->height(), f->height())) {
                shared = rows;
                joined = f.key();
            }
        }
        renumbered[it.key()] = joined ? joined : lines + it.key();
    }
    for (ocr::TextWord w : *secondWords) {
        w.line = renumbered.value(w.line);
        words->append(w);
    }
    return words;
}

namespace {

// The phrases inside `region`, read as large as the time allows, telling text by
// `contrast`; that becomes local when a reading by level finds no word at all.
// With `leaveOut`, the remains of lines cut by the region's top or bottom side
// that are too low to count as text are not read.
std::optional<QList<ocr::TextLine>> readPhrases(const QImage& image, const QRect& region, Contrast& contrast,
    ocr::TextRecognizer::Layout layout = ocr::TextRecognizer::Layout::Sparse, int largestScale = maxScale,
    std::optional<ocr::TextRecognizer::CutRemains> leaveOut = std::nullopt, const std::atomic_bool* stop = nullptr)
{
    const double area = double(region.width()) * region.height();
    int scale = std::clamp(largestScale, 1, maxScale);
    while (scale > 1 && area * scale * scale > enlargedPixels)
        --scale;
    const auto read = [&](int atScale) {
        if (leaveOut && leaveOut->leftOut)
            leaveOut->leftOut->clear();
        return VisionService::readWords(image, region, atScale, contrast, layout, leaveOut, stop);
    };
    std::optional<QList<ocr::TextWord>> words = read(scale);
    if (!words)
        return std::nullopt;
    // Faces of buttons that stand out from a window can hide every word from a
    // reading by level; local contrast finds them.
    if (words->isEmpty() && contrast == Contrast::Global) {
        contrast = Contrast::Local;
        words = read(scale);
        if (!words)
            return std::nullopt;
    }
    if (scale > 1 && !words->isEmpty()) {
        // Large text is read again, less enlarged.
        std::vector<double> heights;
        for (const ocr::TextWord& w : *words)
            heights.push_back(w.box.height() * image.height());
        std::nth_element(heights.begin(), heights.begin() + qsizetype(heights.size() / 2), heights.end());
        const int fitting = std::clamp(int(std::lround(readingHeight / heights[heights.size() / 2])), 1, scale);
        if (fitting < scale) {
            words = read(fitting);
            if (!words)
                return std::nullopt;
        }
    }
    if (lcVision().isDebugEnabled()) {
        qCDebug(lcVision) << "Read" << words->size() << "words in" << region << "at scale" << scale;
        for (const ocr::TextWord& w : *words)
            qCDebug(lcVision) << "  word" << w.line << w.text << w.confidence
                              << QRectF(w.box.x() * image.width(), w.box.y() * image.height(),
                                     w.box.width() * image.width(), w.box.height() * image.height());
    }
    return phrasesOf(*words, image.size());
}

// Remains of a line cut by a region's top or bottom side lower than this many
// pixels are left unread: too few rows of a line to read it by.
constexpr double unreadableRemains = 10;

// What of lines cut by a region's top or bottom side is left unread.
ocr::TextRecognizer::CutRemains cutRemains(QPointF clickPixel, QList<QRectF>* leftOut = nullptr)
{
    return { int(std::floor(clickPixel.y())), unreadableRemains, leftOut };
}

struct Cut {
    bool left = false, right = false, top = false, bottom = false;
    bool any() const { return left || right || top || bottom; }
};

// The sides of `region` that cut the line `box`. A left or right side that falls
// in a gap between words hides the rest of the line too: a line that ends within
// a line height of that side counts as cut; a top or bottom side cuts through the
// letters, so a line counts as cut that ends within half a line height of it.
// Sides on the image's edges cut nothing.
Cut cutSides(const QRect& region, const QRectF& box, QSize imageSize)
{
    const double width = imageSize.width();
    const double height = imageSize.height();
    const double lineHeight = box.height() * height;
    Cut cut;
    cut.left = region.left() > 0 && box.left() * width <= region.left() + lineHeight;
    cut.right = region.right() < imageSize.width() - 1 && box.right() * width >= region.right() - lineHeight;
    cut.top = region.top() > 0 && box.top() * height <= region.top() + lineHeight / 2;
    cut.bottom = region.bottom() < imageSize.height() - 1 && box.bottom() * height >= region.bottom() - lineHeight / 2;
    return cut;
}

// Whether no line could lie nearer the click than `distance` (in fractions of the
// image's sides) beyond what the reading of `region` shows: the region holds every
// centre that near, and each line it cuts is farther even by its visible rows.
bool nothingNearerOutside(
    const QRect& region, const QList<ocr::TextLine>& lines, QPointF clickPixel, double distance, QSize imageSize)
{
    const double width = imageSize.width();
    const double height = imageSize.height();
    if ((region.left() > 0 && (clickPixel.x() - region.left()) / width <= distance)
        || (region.right() < imageSize.width() - 1 && (region.right() - clickPixel.x()) / width <= distance)
        || (region.top() > 0 && (clickPixel.y() - region.top()) / height <= distance)
        || (region.bottom() < imageSize.height() - 1 && (region.bottom() - clickPixel.y()) / height <= distance))
        return false;
    for (const ocr::TextLine& line : lines) {
        const Cut cut = cutSides(region, line.box, imageSize);
        if (!cut.any())
            continue;
        // The hidden rows move the centre away from the visible ones only upward
        // past a cut top and downward past a cut bottom.
        const double centreY = line.box.center().y() * height;
        double below = clickPixel.y() - centreY; // how far the click lies below the centre
        if ((cut.top && below < 0) || (cut.bottom && below > 0) || (cut.top && cut.bottom))
            below = 0;
        if (std::abs(below) / height <= distance)
            return false;
    }
    return true;
}

// The number of user-perceived characters of `text`.
int characterCount(const QString& text)
{
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
    int count = 0;
    while (graphemes.toNextBoundary() != -1)
        ++count;
    return count;
}

// When the line `box` is cut by the left or right side of `region`, reads it again
// in a band that widens on its cut sides until the line ends there, or until it
// holds more characters than a label shows and only its end is still hidden, and
// puts the band's phrases in place of the lines of `lines` they overlap, so that
// the line's text and box are those of the full line. The band read, if any.
QRect readWholeLine(const QImage& image, const QRect& region, const QRectF& box, QList<ocr::TextLine>& lines,
    Contrast contrast, const std::atomic_bool* stop = nullptr)
{
    Cut cut = cutSides(region, box, image.size());
    if (!cut.left && !cut.right)
        return {};
    const int top = int(std::floor(box.top() * image.height()));
    const int bottom = int(std::ceil(box.bottom() * image.height()));
    const int pad = std::max(4, (bottom - top) / 4);
    QRect band = QRect(region.left(), top - pad, region.width(), bottom - top + 2 * pad).intersected(image.rect());
    const int step = 2 * region.width();
    // The line's height is known: it is enlarged no more than it needs.
    const int scale = int(std::lround(readingHeight / std::max(1, bottom - top)));
    std::optional<QList<ocr::TextLine>> whole;
    std::optional<ocr::TextLine> reading;
    while (cut.left || cut.right) {
        if (cut.left)
            band.setLeft(std::max(0, band.left() - step));
        if (cut.right)
            band.setRight(std::min(image.width() - 1, band.right() + step));
        // Neighbouring lines the band cuts through are left unread, as are the
        // remains of lines cut by a region's top or bottom.
        whole = readPhrases(image, band, contrast, ocr::TextRecognizer::Layout::Sparse, scale,
            ocr::TextRecognizer::CutRemains { int(std::floor(box.center().y() * image.height())), unreadableRemains },
            stop);
        if (!whole)
            return {};
        // The band's reading of the line: the phrase over the middle of its box.
        const auto line = std::find_if(whole->begin(), whole->end(), [&](const ocr::TextLine& l) {
            return l.box.intersects(box) && l.box.left() <= box.center().x() && l.box.right() >= box.center().x();
        });
        if (line == whole->end()) {
            reading.reset();
            break;
        }
        reading = *line;
        cut = cutSides(band, line->box, image.size());
        if (!cut.left && characterCount(line->text.trimmed()) > maxLabelCharacters)
            break;
    }
    // Besides the line, what reaches the band's top or bottom side is the part it
    // shows of a neighbouring line, whose reading in `lines` is kept.
    whole->removeIf([&](const ocr::TextLine& l) {
        const bool isLine = reading && l.box == reading->box && l.text == reading->text;
        return !isLine
            && ((band.top() > 0 && l.box.top() * image.height() < band.top() + 1)
                || (band.bottom() < image.height() - 1 && l.box.bottom() * image.height() > band.bottom()));
    });
    // The band's phrases take the place of the lines they overlap.
    QList<ocr::TextLine> merged;
    bool inserted = false;
    for (const ocr::TextLine& line : lines) {
        const bool covered = std::any_of(
            whole->begin(), whole->end(), [&](const ocr::TextLine& l) { return l.box.intersects(line.box); });
        if (!covered) {
            merged.append(line);
        } else if (!inserted) {
            merged.append(*whole);
            inserted = true;
        }
    }
    if (!inserted)
        merged.append(*whole);
    lines = merged;
    return band;
}

// The box of `line`, cut by the left or by the right side of `region` alone,
// widened by as much as the phrase runs on beyond that side: across the columns
// outside where ink follows ink with gaps no wider than the spaces that join its
// words. Widening moves the centre away from the click, which lies inside the
// region's other half. A column holds ink where its pixels over the line's rows
// differ, so that a plain face of another colour holds none. Other boxes come
// back as they are.
QRectF extentBeyond(const QImage& image, const QRect& region, const ocr::TextLine& line)
{
    const Cut cut = cutSides(region, line.box, image.size());
    if (cut.left == cut.right || cut.top || cut.bottom)
        return line.box;
    const int top = std::max(0, int(std::floor(line.box.top() * image.height())));
    const int bottom = std::min(image.height(), int(std::ceil(line.box.bottom() * image.height())));
    const int left = std::clamp(int(std::floor(line.box.left() * image.width())), 0, image.width() - 1);
    const int right = std::clamp(int(std::ceil(line.box.right() * image.width())), left + 1, image.width());
    const int characters = characterCount(line.text.trimmed());
    if (bottom <= top || characters < 1)
        return line.box;
    const QImage rows = image.copy(0, top, image.width(), bottom - top).convertToFormat(QImage::Format_Grayscale8);
    if (rows.isNull())
        return line.box;
    const auto inked = [&](int x) {
        int lo = 255, hi = 0;
        for (int y = 0; y < rows.height(); ++y) {
            const int v = rows.constScanLine(y)[x];
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
        return hi - lo > 2 * inkContrast;
    };
    // The widest space between the words of one phrase.
    const double widest = phraseGap * (right - left) / characters;
    const int step = cut.left ? -1 : 1;
    int edge = cut.left ? left : right - 1;
    for (int x = edge + step; x >= 0 && x < image.width() && std::abs(x - edge) <= widest; x += step)
        if (inked(x))
            edge = x;
    QRectF box = line.box;
    if (cut.left)
        box.setLeft(double(edge) / image.width());
    else
        box.setRight(double(edge + 1) / image.width());
    return box;
}

// The caption of the button or key whose frame holds the click, read on its own
// as one line: the face is the control the click named, whatever lies outside.
std::optional<QString> labelOfFace(const QImage& image, QPointF clickPixel)
{
    const QRect face = ocr::TextRecognizer::frameAround(image, clickPixel.toPoint(), largestFace);
    if (face.isNull())
        return std::nullopt;
    Contrast contrast = Contrast::Global;
    const std::optional<QList<ocr::TextLine>> phrases
        = readPhrases(image, face, contrast, ocr::TextRecognizer::Layout::Line);
    if (!phrases || phrases->isEmpty())
        return std::nullopt;
    qCDebug(lcVision) << "Read the face" << face;
    return VisionService::labelFromLines(*phrases, clickPixel, image.size());
}

struct NearLabel {
    QString label;
    // Whether the phrase holds the click, which no other phrase can beat.
    bool holdsClick = false;
};

// The label read from the small area around the click, when that reading settles
// which phrase wins: one that holds the click, or a nearest one when no phrase
// could lie nearer outside the area. Its phrase counts only when the area leaves
// it whole from top to bottom.
// `holding` is called once the phrase holding the click is found, before its
// line is read whole.
std::optional<NearLabel> labelNearClick(const QImage& image, QPointF clickPixel, Contrast& contrast,
    const std::atomic_bool* stop = nullptr, const std::function<void()>& holding = {})
{
    const QSize size = image.size();
    const QPointF click(clickPixel.x() / size.width(), clickPixel.y() / size.height());
    const QRect near = clickRegion(size, clickPixel);
    QList<QRectF> leftOut;
    std::optional<QList<ocr::TextLine>> lines = readPhrases(
        image, near, contrast, ocr::TextRecognizer::Layout::Sparse, maxScale, cutRemains(clickPixel, &leftOut), stop);
    if (!lines)
        return std::nullopt;
    // Remains left unread that a phrase of theirs would have been kept count as
    // cut lines: one nearer than every phrase leaves the reading unsettled.
    for (const QRectF& box : leftOut)
        if (box.height() >= VisionService::minimumTextHeight)
            lines->append({ box, QString() });
    const std::optional<qsizetype> best = VisionService::nearestLine(*lines, clickPixel, size);
    if (!best)
        return std::nullopt;
    const QRectF box = (*lines)[*best].box;
    const Cut cut = cutSides(near, box, size);
    if (cut.top || cut.bottom)
        return std::nullopt;
    std::optional<QString> label;
    if (boxContains(box, click)) {
        if (holding)
            holding();
        readWholeLine(image, near, box, *lines, contrast, stop);
        if (stop && *stop)
            return std::nullopt;
        const std::optional<qsizetype> whole = VisionService::nearestLine(*lines, clickPixel, size);
        if (!whole || !boxContains((*lines)[*whole].box, click))
            return std::nullopt;
        label = VisionService::formatLabel((*lines)[*whole].text);
        return label ? std::optional(NearLabel { *label, true }) : std::nullopt;
    }
    const double distance = std::hypot(box.center().x() - click.x(), box.center().y() - click.y());
    if (cut.any() || !nothingNearerOutside(near, *lines, clickPixel, distance, size))
        return std::nullopt;
    label = VisionService::formatLabel((*lines)[*best].text);
    return label ? std::optional(NearLabel { *label, false }) : std::nullopt;
}

} // namespace

std::optional<QString> VisionService::recognizeStepLabel(QPointF clickPixel, const QImage& image) const
{
    if (image.width() < 1 || image.height() < 1 || !std::isfinite(clickPixel.x()) || !std::isfinite(clickPixel.y()))
        return std::nullopt;
    if (std::optional<QString> label = labelOfFace(image, clickPixel))
        return label;
    // A phrase holding the click beats every other, so a small area is read
    // first. Where that finds no phrase on the click, the area is read again
    // telling text by local contrast, which light text on a dark face needs.
    // That reading starts at once on the other engine and stops as soon as a
    // phrase holds the click, leaving the engine to the reading of the phrase's
    // whole line; it is done again only should that reading lose the click.
    std::optional<NearLabel> local;
    const auto readLocally = [&](const std::atomic_bool* stop) {
        Contrast localContrast = Contrast::Local;
        local = labelNearClick(image, clickPixel, localContrast, stop);
    };
    Alongside readLocal([&](const std::atomic_bool& stop) { readLocally(&stop); });
    bool dropped = false;
    Contrast contrast = Contrast::Global;
    const std::optional<NearLabel> near = labelNearClick(image, clickPixel, contrast, nullptr, [&] {
        readLocal.drop();
        dropped = true;
    });
    if (near && near->holdsClick)
        return near->label;
    // A reading by level that found no word at all was done by local contrast.
    if (contrast == Contrast::Global) {
        readLocal.finish();
        if (dropped)
            readLocally(nullptr);
        if (local && (local->holdsClick || !near))
            return local->label;
    }
    readLocal.drop();
    if (near)
        return near->label;

    // Otherwise every line within reach of the click competes.
    const QRect region = recognitionRegion(image.size(), clickPixel);
    std::optional<QList<ocr::TextLine>> lines
        = readPhrases(image, region, contrast, ocr::TextRecognizer::Layout::Sparse, maxScale, cutRemains(clickPixel));
    if (!lines || lines->isEmpty())
        return std::nullopt;
    // The nearest line is read whole where the area it was read in cuts it; where
    // that moves it away, the next one is. A cut line whose centre lies beyond
    // reach once widened by what the image shows of it beyond that area names
    // nothing, however it reads whole, and is not read.
    const QPointF click(clickPixel.x() / image.width(), clickPixel.y() / image.height());
    QList<QRect> bands;
    // The area a line was read in: the last band read across its middle, else the region.
    const auto readIn = [&](const ocr::TextLine& line) {
        const QPoint middle(int(line.box.center().x() * image.width()), int(line.box.center().y() * image.height()));
        for (qsizetype i = bands.size() - 1; i >= 0; --i)
            if (bands[i].contains(middle))
                return bands[i];
        return region;
    };
    for (int reads = 0;; ++reads) {
        lines->removeIf([&](const ocr::TextLine& line) {
            const QRectF box = extentBeyond(image, readIn(line), line);
            return box != line.box && !boxContains(box, click)
                && !(std::hypot(box.center().x() - click.x(), box.center().y() - click.y()) < proximityThreshold);
        });
        const std::optional<qsizetype> best = nearestLine(*lines, clickPixel, image.size());
        if (!best)
            return std::nullopt;
        if (reads == maxWholeReads)
            break;
        const ocr::TextLine winner = (*lines)[*best];
        const QRect band = readWholeLine(image, readIn(winner), winner.box, *lines, contrast);
        if (band.isNull())
            break;
        bands.append(band);
    }
    qCDebug(lcVision) << "Recognised" << lines->size() << "lines in" << region;
    return labelFromLines(*lines, clickPixel, image.size());
}

QThreadPool* VisionService::recognitionPool()
{
    // Destroyed at exit, which ends its threads and so their engines.
    static QThreadPool pool;
    static const bool configured = [] {
        pool.setMaxThreadCount(recognitionThreads);
        // Keep idle threads: each holds a started engine.
        pool.setExpiryTimeout(-1);
        pool.setObjectName(QStringLiteral("zova.vision"));
        return true;
    }();
    Q_UNUSED(configured);
    return &pool;
}

void VisionService::prepareRecognition()
{
    static std::once_flag once;
    std::call_once(once, [] {
        // Each task holds its thread until every one has started, so each starts
        // the engine of a thread of its own.
        auto started = std::make_shared<std::latch>(recognitionThreads);
        for (int i = 0; i < recognitionThreads; ++i)
            recognitionPool()->start([started] {
                (void)ocr::TextRecognizer::isAvailable();
                started->arrive_and_wait();
            });
    });
}

std::optional<QString> VisionService::recognizeStepLabel(
    QPointF clickPixel, const QImage& image, const QRegion& visibleArea) const
{
    return recognizeStepLabel(clickPixel, showOnlyVisibleArea(image, visibleArea, clickPixel));
}

void VisionService::recognizeStepLabel(
    QPointF clickPixel, const QImage& image, QObject* receiver, std::function<void(std::optional<QString>)> done) const
{
    recognizeStepLabel(clickPixel, image, std::nullopt, receiver, std::move(done));
}

void VisionService::recognizeStepLabel(QPointF clickPixel, const QImage& image,
    const std::optional<QRegion>& visibleArea, QObject* receiver,
    std::function<void(std::optional<QString>)> done) const
{
    QPointer<QObject> guard(receiver);
    recognitionPool()->start([clickPixel, image, visibleArea, guard, done = std::move(done)]() mutable {
        std::optional<QString> label = visibleArea ? VisionService().recognizeStepLabel(clickPixel, image, *visibleArea)
                                                   : VisionService().recognizeStepLabel(clickPixel, image);
        // The application object outlives every receiver; the guard is only read
        // on the GUI thread, where the receiver lives and dies.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [guard, label = std::move(label), done = std::move(done)]() {
                if (guard)
                    done(label);
            },
            Qt::QueuedConnection);
    });
}

} // namespace zova
