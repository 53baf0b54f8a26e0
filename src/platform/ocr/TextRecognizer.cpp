#include "platform/ocr/TextRecognizer.h"

#include "platform/ocr/OcrLog.h"

#include <leptonica/allheaders.h>
#include <tesseract/baseapi.h>
#include <tesseract/ocrclass.h>
#include <tesseract/resultiterator.h>

#include <QPainter>

#include <omp.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace zova::ocr {

namespace {

struct EngineDeleter {
    void operator()(tesseract::TessBaseAPI* api) const
    {
        api->End();
        delete api;
    }
};
using Engine = std::unique_ptr<tesseract::TessBaseAPI, EngineDeleter>;

struct TextDeleter {
    void operator()(char* text) const { delete[] text; }
};

// Screenshots are taken at the desktop's nominal resolution.
constexpr int screenDpi = 96;
// The margin of background added around a region, in the image's pixels.
constexpr int textMargin = 6;

Engine startEngine()
{
    // Parallel regions inside the engine would only compete with the other
    // workers of the pool: keep every region of this thread on one thread.
    omp_set_dynamic(0);
    omp_set_num_threads(1);
    omp_set_max_active_levels(0);

    // Leptonica reports boxes it clips on stderr; they are no fault of ours.
    setMsgSeverity(L_SEVERITY_NONE);

    Engine api(new tesseract::TessBaseAPI);
    if (api->Init(nullptr, "eng", tesseract::OEM_LSTM_ONLY) != 0) {
        qCWarning(lcOcr) << "Tesseract could not start with the English model";
        return nullptr;
    }
    api->SetVariable("user_defined_dpi", std::to_string(screenDpi).c_str());
    api->SetVariable("debug_file", "/dev/null");
    // Screens hold scattered labels rather than running text.
    api->SetPageSegMode(tesseract::PSM_SPARSE_TEXT);
    return api;
}

// The calling thread's engine, started on first use; null when it cannot start.
tesseract::TessBaseAPI* threadEngine()
{
    thread_local Engine engine;
    thread_local bool tried = false;
    if (!tried) {
        tried = true;
        engine = startEngine();
    }
    return engine.get();
}

// The most frequent grey level: the background of a piece of interface.
int backgroundLevel(const QImage& grey)
{
    std::array<int, 256> histogram {};
    for (int y = 0; y < grey.height(); ++y) {
        const uchar* row = grey.constScanLine(y);
        for (int x = 0; x < grey.width(); ++x)
            ++histogram[row[x]];
    }
    return int(std::max_element(histogram.begin(), histogram.end()) - histogram.begin());
}

// A thin line of one level that stands out from the background for longer than
// any stroke of interface text is the frame of a button, field or pane, or a
// separator: the engine reads such lines as letters, so they are painted in the
// background's level. Strokes of large text are long too, but thick.
struct Frames {
    // Masks of the region's pixels: thin lines painted out, upright and across.
    std::vector<uchar> upright, across;
};

Frames eraseFrames(QImage& grey, int background)
{
    constexpr int contrast = 32;
    constexpr int sameLevel = 12;
    constexpr int longestRow = 28;
    constexpr int longestColumn = 22;
    constexpr int thickest = 3;
    const int width = grey.width();
    const int height = grey.height();
    const uchar* bits = grey.constBits();
    const qsizetype stride = grey.bytesPerLine();
    const auto level = [&](int x, int y) { return int(bits[y * stride + x]); };
    const auto at = [&](const std::vector<uchar>& mask, int x, int y) -> uchar {
        return mask[size_t(y) * size_t(width) + size_t(x)];
    };
    const auto set = [&](std::vector<uchar>& mask, int x, int y, uchar value) {
        mask[size_t(y) * size_t(width) + size_t(x)] = value;
    };
    // Calls `run(start, end)` for each run of pixels along a row or column
    // (`count` long, read through `value`) for which `joins(first, current)` holds.
    const auto runs = [](int count, const auto& value, const auto& joins, const auto& run) {
        for (int i = 0; i < count;) {
            int end = i;
            while (end < count && joins(value(i), value(end)))
                ++end;
            if (end > i)
                run(i, end);
            i = std::max(end, i + 1);
        }
    };
    const auto sameStandingLevel = [&](int first, int current) {
        return std::abs(current - background) > contrast && std::abs(current - first) <= sameLevel;
    };
    const auto marked = [](int, int current) { return current != 0; };

    std::vector<uchar> rows(size_t(width) * size_t(height), 0);
    std::vector<uchar> columns(rows.size(), 0);
    for (int y = 0; y < height; ++y)
        runs(
            width, [&](int x) { return level(x, y); }, sameStandingLevel,
            [&](int a, int b) {
                if (b - a >= longestRow)
                    for (int x = a; x < b; ++x)
                        set(rows, x, y, 1);
            });
    for (int x = 0; x < width; ++x)
        runs(
            height, [&](int y) { return level(x, y); }, sameStandingLevel,
            [&](int a, int b) {
                if (b - a >= longestColumn)
                    for (int y = a; y < b; ++y)
                        set(columns, x, y, 1);
            });
    // Long rows that are thin across, and long columns that are thin across,
    // counting every pixel that stands out beside them: the soft edge of a
    // thick stroke is one level along its length, but not thin.
    const auto standing = [&](int x, int y) { return std::abs(level(x, y) - background) > contrast; };
    std::vector<uchar> frame(rows.size(), 0);
    Frames lines { std::vector<uchar>(rows.size(), 0), std::vector<uchar>(rows.size(), 0) };
    for (int x = 0; x < width; ++x)
        runs(
            height, [&](int y) { return int(at(rows, x, y)); }, marked,
            [&](int a, int b) {
                while (a > 0 && standing(x, a - 1))
                    --a;
                while (b < height && standing(x, b))
                    ++b;
                if (b - a <= thickest)
                    for (int y = a; y < b; ++y) {
                        set(frame, x, y, 1);
                        set(lines.across, x, y, 1);
                    }
            });
    for (int y = 0; y < height; ++y)
        runs(
            width, [&](int x) { return int(at(columns, x, y)); }, marked,
            [&](int a, int b) {
                while (a > 0 && standing(a - 1, y))
                    --a;
                while (b < width && standing(b, y))
                    ++b;
                if (b - a <= thickest)
                    for (int x = a; x < b; ++x) {
                        set(frame, x, y, 1);
                        set(lines.upright, x, y, 1);
                    }
            });
    for (int y = 0; y < height; ++y) {
        uchar* row = grey.scanLine(y);
        for (int x = 0; x < width; ++x)
            if (at(frame, x, y))
                row[x] = uchar(background);
    }
    return lines;
}

// Stretches the levels so that the darkest ink is black and the background white.
void stretchContrast(QImage& grey, int background)
{
    std::array<int, 256> histogram {};
    for (int y = 0; y < grey.height(); ++y) {
        const uchar* row = grey.constScanLine(y);
        for (int x = 0; x < grey.width(); ++x)
            ++histogram[row[x]];
    }
    // The level below which the darkest 1/500 of the pixels lie.
    const qint64 few = qint64(grey.width()) * grey.height() / 500;
    int dark = 0;
    for (qint64 seen = 0; dark < background && seen + histogram[size_t(dark)] <= few; ++dark)
        seen += histogram[size_t(dark)];
    if (background - dark < 16)
        return;
    std::array<uchar, 256> map {};
    for (int level = 0; level < 256; ++level)
        map[size_t(level)] = uchar(std::clamp((level - dark) * 255 / (background - dark), 0, 255));
    for (int y = 0; y < grey.height(); ++y) {
        uchar* row = grey.scanLine(y);
        for (int x = 0; x < grey.width(); ++x)
            row[x] = map[row[x]];
    }
}

// The level most pixels around each pixel have, the median of the square of
// 2 * `radius` + 1 pixels (clipped to the image): the local background.
std::vector<uchar> localBackground(const QImage& grey, int radius)
{
    const int width = grey.width();
    const int height = grey.height();
    const uchar* bits = grey.constBits();
    const qsizetype stride = grey.bytesPerLine();
    std::vector<uchar> median(size_t(width) * size_t(height), 0);
    for (int y = 0; y < height; ++y) {
        const int top = std::max(0, y - radius);
        const int bottom = std::min(height - 1, y + radius);
        std::array<int, 256> histogram {};
        int count = 0;
        // The median so far, and how many pixels of the square lie below it: the
        // square moves one column at a time, so the median moves little.
        int level = 0;
        int below = 0;
        const auto addColumn = [&](int x, int delta) {
            for (int row = top; row <= bottom; ++row) {
                const uchar v = bits[row * stride + x];
                histogram[v] += delta;
                if (v < level)
                    below += delta;
            }
            count += delta * (bottom - top + 1);
        };
        for (int x = 0; x <= std::min(width - 1, radius); ++x)
            addColumn(x, 1);
        for (int x = 0; x < width; ++x) {
            if (x > 0) {
                if (x + radius < width)
                    addColumn(x + radius, 1);
                if (x - radius - 1 >= 0)
                    addColumn(x - radius - 1, -1);
            }
            // The lowest level at or below which half the square lies.
            while (2 * (below + histogram[size_t(level)]) < count)
                below += histogram[size_t(level++)];
            while (level > 0 && 2 * below >= count)
                below -= histogram[size_t(--level)];
            median[size_t(y) * size_t(width) + size_t(x)] = uchar(level);
        }
    }
    return median;
}

// Dark where a pixel differs from its surroundings, whichever way, white where it
// does not: text in any colour on any face comes out dark on white. Differences
// below `floor`, the shading of faces and gradients, count as none.
void toLocalContrast(QImage& grey)
{
    constexpr int radius = 7;
    constexpr int floor = 48;
    const std::vector<uchar> background = localBackground(grey, radius);
    int strongest = floor + 32;
    for (int y = 0; y < grey.height(); ++y) {
        const uchar* row = grey.constScanLine(y);
        for (int x = 0; x < grey.width(); ++x)
            strongest
                = std::max(strongest, std::abs(int(row[x]) - background[size_t(y) * size_t(grey.width()) + size_t(x)]));
    }
    for (int y = 0; y < grey.height(); ++y) {
        uchar* row = grey.scanLine(y);
        for (int x = 0; x < grey.width(); ++x) {
            const int difference = std::abs(int(row[x]) - background[size_t(y) * size_t(grey.width()) + size_t(x)]);
            row[x] = uchar(255 - std::clamp((difference - floor) * 255 / (strongest - floor), 0, 255));
        }
    }
}

struct ScreenText {
    QImage grey;
    // The upright frames and separators painted out, in the region's pixels.
    std::vector<uchar> frames;
};

// The region as the engine reads screen text best: grey, dark text on a light
// background, without frames, at full contrast, enlarged.
ScreenText screenText(const QImage& image, const QRect& area, int scale, TextRecognizer::Contrast contrast)
{
    QImage grey = image.copy(area).convertToFormat(QImage::Format_Grayscale8);
    if (grey.isNull())
        return {};
    std::vector<uchar> frames;
    if (contrast == TextRecognizer::Contrast::Local) {
        toLocalContrast(grey);
        frames = eraseFrames(grey, 255).upright;
    } else {
        int background = backgroundLevel(grey);
        if (background < 128) {
            grey.invertPixels();
            background = 255 - background;
        }
        frames = eraseFrames(grey, background).upright;
        stretchContrast(grey, background);
    }
    if (scale > 1)
        grey = grey.scaled(grey.size() * scale, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return { grey, std::move(frames) };
}

// Whether a row of the prepared region holds text: a pixel that differs from the
// row's most frequent level. Rows of a plain face, whatever its shade, hold none.
bool rowHoldsText(const QImage& grey, int y)
{
    constexpr int contrast = 32;
    std::array<int, 256> histogram {};
    const uchar* row = grey.constScanLine(y);
    for (int x = 0; x < grey.width(); ++x)
        ++histogram[row[x]];
    const int level = int(std::max_element(histogram.begin(), histogram.end()) - histogram.begin());
    for (int x = 0; x < grey.width(); ++x)
        if (std::abs(int(row[x]) - level) > contrast)
            return true;
    return false;
}

// Paints the rows from the top side of the prepared region (`fromTop`) or from
// its bottom to the first row without text in the level of the region's
// background, when they are fewer than `fewerThan`, do not reach `keepRow` (rows
// of the prepared image) and a row without text ends them. The rows painted.
int paintCutLine(QImage& grey, bool fromTop, int keepRow, int fewerThan)
{
    const int height = grey.height();
    int rows = 0;
    while (rows < height && rows < fewerThan && rowHoldsText(grey, fromTop ? rows : height - 1 - rows))
        ++rows;
    const int first = fromTop ? 0 : height - rows;
    if (rows == 0 || rows >= fewerThan || (keepRow >= first && keepRow < first + rows))
        return 0;
    const int background = backgroundLevel(grey);
    for (int y = first; y < first + rows; ++y)
        std::memset(grey.scanLine(y), background, size_t(grey.width()));
    return rows;
}

// Runs this thread's engine over `grey`, ending early once `stop` is set: the
// engine holding the results, which the caller clears, or null.
tesseract::TessBaseAPI* recognizeGrey(const QImage& grey, int dpi, const std::atomic_bool* stop = nullptr)
{
    tesseract::TessBaseAPI* api = threadEngine();
    if (!api || grey.isNull() || (stop && *stop))
        return nullptr;
    api->SetImage(grey.constBits(), grey.width(), grey.height(), 1, int(grey.bytesPerLine()));
    api->SetSourceResolution(dpi);
    tesseract::ETEXT_DESC monitor;
    if (stop) {
        monitor.cancel = [](void* flag, int) { return static_cast<const std::atomic_bool*>(flag)->load(); };
        monitor.cancel_this = const_cast<std::atomic_bool*>(stop);
    }
    if (api->Recognize(stop ? &monitor : nullptr) != 0 || (stop && *stop)) {
        api->Clear();
        if (!(stop && *stop))
            qCWarning(lcOcr) << "Tesseract failed to recognise a region of" << grey.size();
        return nullptr;
    }
    return api;
}

} // namespace

std::optional<QList<TextWord>> TextRecognizer::recognizeWords(const QImage& image, const QRect& region, int scale,
    TextRecognizer::Contrast contrast, TextRecognizer::Layout layout, std::optional<CutRemains> leaveOut,
    const std::atomic_bool* stop)
{
    const QRect area = region.intersected(image.rect());
    if (area.isEmpty() || scale < 1)
        return std::nullopt;
    tesseract::TessBaseAPI* engine = threadEngine();
    if (!engine)
        return std::nullopt;
    ScreenText text = screenText(image, area, scale, contrast);
    if (leaveOut && !text.grey.isNull()) {
        const int keep = (leaveOut->keepRow - area.top()) * scale;
        const int fewer = int(std::ceil(leaveOut->lowerThan * scale));
        const auto leaveOutAt = [&](bool fromTop) {
            const int rows = paintCutLine(text.grey, fromTop, keep, fewer);
            if (rows == 0 || !leaveOut->leftOut)
                return;
            const double top = fromTop ? area.top() : area.top() + double(text.grey.height() - rows) / scale;
            leaveOut->leftOut->append(QRectF(double(area.left()) / image.width(), top / image.height(),
                double(area.width()) / image.width(), double(rows) / scale / image.height()));
        };
        // A side on the image's edge cuts nothing.
        if (leaveOut->top && area.top() > 0)
            leaveOutAt(true);
        if (leaveOut->bottom && area.bottom() < image.height() - 1)
            leaveOutAt(false);
    }
    // The engine needs a margin of background around text; a caption fills its
    // face to the frame, and a region's side may run close to a word.
    const int margin = textMargin * scale;
    QImage page = text.grey;
    if (!page.isNull()) {
        page = QImage(text.grey.size() + QSize(2 * margin, 2 * margin), QImage::Format_Grayscale8);
        page.fill(backgroundLevel(text.grey));
        QPainter(&page).drawImage(margin, margin, text.grey);
    }
    engine->SetPageSegMode(layout == Layout::Line ? tesseract::PSM_SINGLE_LINE : tesseract::PSM_SPARSE_TEXT);
    tesseract::TessBaseAPI* api = recognizeGrey(page, screenDpi * scale, stop);
    engine->SetPageSegMode(tesseract::PSM_SPARSE_TEXT);
    if (!api)
        return std::nullopt;
    // Whether a frame stands between the columns [left, right) over most of the
    // rows [top, bottom) (region pixels). Words are searched from their middles:
    // the engine's box of a word beside a frame may reach over it.
    const auto frameBetween = [&](int left, int right, int top, int bottom) {
        top = std::max(top, 0);
        bottom = std::min(bottom, area.height());
        for (int x = std::max(left, 0); x < std::min(right, area.width()); ++x) {
            int rows = 0;
            for (int y = top; y < bottom; ++y)
                rows += text.frames[size_t(y) * size_t(area.width()) + size_t(x)];
            if (bottom > top && 2 * rows >= bottom - top)
                return true;
        }
        return false;
    };

    QList<TextWord> words;
    const double width = image.width();
    const double height = image.height();
    int line = 0;
    QRect previous; // the last word on the line, region pixels
    std::unique_ptr<tesseract::ResultIterator> it(api->GetIterator());
    if (it) {
        do {
            if (it->Empty(tesseract::RIL_WORD))
                continue;
            if (it->IsAtBeginningOf(tesseract::RIL_TEXTLINE)) {
                ++line;
                previous = QRect();
            }
            int left = 0, top = 0, right = 0, bottom = 0;
            if (!it->BoundingBox(tesseract::RIL_WORD, &left, &top, &right, &bottom))
                continue;
            left = std::max(0, left - margin);
            right = std::max(left, right - margin);
            top = std::max(0, top - margin);
            bottom = std::max(top, bottom - margin);
            std::unique_ptr<char, TextDeleter> utf8(it->GetUTF8Text(tesseract::RIL_WORD));
            if (!utf8)
                continue;
            const QRectF box((area.x() + double(left) / scale) / width, (area.y() + double(top) / scale) / height,
                (right - left) / (scale * width), (bottom - top) / (scale * height));
            const QRect pixels(QPoint(left / scale, top / scale), QPoint((right - 1) / scale, (bottom - 1) / scale));
            const bool afterFrame = !previous.isNull()
                && frameBetween(previous.center().x(), pixels.center().x(), std::max(previous.top(), pixels.top()),
                    std::min(previous.bottom(), pixels.bottom()) + 1);
            previous = pixels;
            words.append({ box, QString::fromUtf8(utf8.get()), it->Confidence(tesseract::RIL_WORD), line, afterFrame });
        } while (it->Next(tesseract::RIL_WORD));
    }
    api->Clear();
    return words;
}

QRect TextRecognizer::frameAround(const QImage& image, QPoint point, QSize largest)
{
    const QRect area = QRect(point - QPoint(largest.width(), largest.height()), largest * 2).intersected(image.rect());
    if (!area.contains(point))
        return {};
    QImage grey = image.copy(area).convertToFormat(QImage::Format_Grayscale8);
    if (grey.isNull())
        return {};
    const Frames frames = eraseFrames(grey, backgroundLevel(grey));
    const int width = area.width();
    const auto upright = [&](int x, int y) { return frames.upright[size_t(y) * size_t(width) + size_t(x)] != 0; };
    const auto across = [&](int x, int y) { return frames.across[size_t(y) * size_t(width) + size_t(x)] != 0; };
    const QPoint p = point - area.topLeft();
    int left = p.x(), right = p.x(), top = p.y(), bottom = p.y();
    while (left >= 0 && !upright(left, p.y()))
        --left;
    while (right < area.width() && !upright(right, p.y()))
        ++right;
    while (top >= 0 && !across(p.x(), top))
        --top;
    while (bottom < area.height() && !across(p.x(), bottom))
        ++bottom;
    // A side missing, or the point on a frame itself.
    if (left < 0 || top < 0 || right >= area.width() || bottom >= area.height() || left == p.x() || top == p.y())
        return {};
    const QRect inside(QPoint(left + 1, top + 1), QPoint(right - 1, bottom - 1));
    if (inside.width() > largest.width() || inside.height() > largest.height())
        return {};
    return inside.translated(area.topLeft());
}

bool TextRecognizer::isAvailable() { return threadEngine() != nullptr; }

std::optional<QList<TextLine>> TextRecognizer::recognize(const QImage& image, const QRect& region, double minLineHeight)
{
    const QRect area = region.intersected(image.rect());
    if (area.isEmpty())
        return std::nullopt;
    if (!threadEngine())
        return std::nullopt;
    // The engine works on grey levels; converting only the region keeps the copy small.
    tesseract::TessBaseAPI* api = recognizeGrey(image.copy(area).convertToFormat(QImage::Format_Grayscale8), screenDpi);
    if (!api)
        return std::nullopt;

    QList<TextLine> lines;
    const double width = image.width();
    const double height = image.height();
    std::unique_ptr<tesseract::ResultIterator> it(api->GetIterator());
    if (it) {
        do {
            if (it->Empty(tesseract::RIL_TEXTLINE))
                continue;
            int left = 0, top = 0, right = 0, bottom = 0;
            if (!it->BoundingBox(tesseract::RIL_TEXTLINE, &left, &top, &right, &bottom))
                continue;
            std::unique_ptr<char, TextDeleter> utf8(it->GetUTF8Text(tesseract::RIL_TEXTLINE));
            if (!utf8)
                continue;
            const QRectF box(
                (area.x() + left) / width, (area.y() + top) / height, (right - left) / width, (bottom - top) / height);
            if (box.height() < minLineHeight)
                continue;
            lines.append({ box, QString::fromUtf8(utf8.get()) });
        } while (it->Next(tesseract::RIL_TEXTLINE));
    }
    api->Clear();
    return lines;
}

} // namespace zova::ocr
