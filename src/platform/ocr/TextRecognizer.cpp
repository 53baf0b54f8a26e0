#include "platform/ocr/TextRecognizer.h"

#include "platform/ocr/OcrLog.h"

#include <leptonica/allheaders.h>
#include <tesseract/baseapi.h>
#include <tesseract/resultiterator.h>

#include <omp.h>

#include <algorithm>
#include <array>
#include <cstdlib>
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
void eraseFrames(QImage& grey, int background)
{
    constexpr int contrast = 32;
    constexpr int sameLevel = 12;
    constexpr int longestRow = 28;
    constexpr int longestColumn = 22;
    constexpr int thickest = 3;
    const int width = grey.width();
    const int height = grey.height();
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
            width, [&](int x) { return int(grey.constScanLine(y)[x]); }, sameStandingLevel,
            [&](int a, int b) {
                if (b - a >= longestRow)
                    for (int x = a; x < b; ++x)
                        set(rows, x, y, 1);
            });
    for (int x = 0; x < width; ++x)
        runs(
            height, [&](int y) { return int(grey.constScanLine(y)[x]); }, sameStandingLevel,
            [&](int a, int b) {
                if (b - a >= longestColumn)
                    for (int y = a; y < b; ++y)
                        set(columns, x, y, 1);
            });
    // Long rows that are thin across, and long columns that are thin across,
    // counting every pixel that stands out beside them: the soft edge of a
    // thick stroke is one level along its length, but not thin.
    const auto standing = [&](int x, int y) { return std::abs(int(grey.constScanLine(y)[x]) - background) > contrast; };
    std::vector<uchar> frame(rows.size(), 0);
    for (int x = 0; x < width; ++x)
        runs(
            height, [&](int y) { return int(at(rows, x, y)); }, marked,
            [&](int a, int b) {
                while (a > 0 && standing(x, a - 1))
                    --a;
                while (b < height && standing(x, b))
                    ++b;
                if (b - a <= thickest)
                    for (int y = a; y < b; ++y)
                        set(frame, x, y, 1);
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
                    for (int x = a; x < b; ++x)
                        set(frame, x, y, 1);
            });
    for (int y = 0; y < height; ++y) {
        uchar* row = grey.scanLine(y);
        for (int x = 0; x < width; ++x)
            if (at(frame, x, y))
                row[x] = uchar(background);
    }
}

// The region as the engine reads screen text best: grey, dark text on a light
// background, without frames, enlarged.
QImage screenText(const QImage& image, const QRect& area, int scale)
{
    QImage grey = image.copy(area).convertToFormat(QImage::Format_Grayscale8);
    if (grey.isNull())
        return grey;
    int background = backgroundLevel(grey);
    if (background < 128) {
        grey.invertPixels();
        background = 255 - background;
    }
    eraseFrames(grey, background);
    if (scale > 1)
        grey = grey.scaled(grey.size() * scale, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return grey;
}

// Runs this thread's engine over `grey`: the engine holding the results, which
// the caller clears, or null.
tesseract::TessBaseAPI* recognizeGrey(const QImage& grey, int dpi)
{
    tesseract::TessBaseAPI* api = threadEngine();
    if (!api || grey.isNull())
        return nullptr;
    api->SetImage(grey.constBits(), grey.width(), grey.height(), 1, int(grey.bytesPerLine()));
    api->SetSourceResolution(dpi);
    if (api->Recognize(nullptr) != 0) {
        api->Clear();
        qCWarning(lcOcr) << "Tesseract failed to recognise a region of" << grey.size();
        return nullptr;
    }
    return api;
}

} // namespace

std::optional<QList<TextWord>> TextRecognizer::recognizeWords(const QImage& image, const QRect& region, int scale)
{
    const QRect area = region.intersected(image.rect());
    if (area.isEmpty() || scale < 1)
        return std::nullopt;
    if (!threadEngine())
        return std::nullopt;
    tesseract::TessBaseAPI* api = recognizeGrey(screenText(image, area, scale), screenDpi * scale);
    if (!api)
        return std::nullopt;

    QList<TextWord> words;
    const double width = image.width();
    const double height = image.height();
    int line = 0;
    std::unique_ptr<tesseract::ResultIterator> it(api->GetIterator());
    if (it) {
        do {
            if (it->Empty(tesseract::RIL_WORD))
                continue;
            if (it->IsAtBeginningOf(tesseract::RIL_TEXTLINE))
                ++line;
            int left = 0, top = 0, right = 0, bottom = 0;
            if (!it->BoundingBox(tesseract::RIL_WORD, &left, &top, &right, &bottom))
                continue;
            std::unique_ptr<char, TextDeleter> utf8(it->GetUTF8Text(tesseract::RIL_WORD));
            if (!utf8)
                continue;
            const QRectF box((area.x() + double(left) / scale) / width, (area.y() + double(top) / scale) / height,
                (right - left) / (scale * width), (bottom - top) / (scale * height));
            words.append({ box, QString::fromUtf8(utf8.get()), it->Confidence(tesseract::RIL_WORD), line });
        } while (it->Next(tesseract::RIL_WORD));
    }
    api->Clear();
    return words;
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
