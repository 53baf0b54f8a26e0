#include "platform/ocr/TextRecognizer.h"

#include "platform/ocr/OcrLog.h"

#include <tesseract/baseapi.h>
#include <tesseract/resultiterator.h>

#include <omp.h>

#include <memory>
#include <string>

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
constexpr int kScreenDpi = 96;

Engine startEngine()
{
    // Parallel regions inside the engine would only compete with the other
    // workers of the pool: keep every region of this thread on one thread.
    omp_set_dynamic(0);
    omp_set_num_threads(1);
    omp_set_max_active_levels(0);

    Engine api(new tesseract::TessBaseAPI);
    if (api->Init(nullptr, "eng", tesseract::OEM_LSTM_ONLY) != 0) {
        qCWarning(lcOcr) << "Tesseract could not start with the English model";
        return nullptr;
    }
    api->SetVariable("user_defined_dpi", std::to_string(kScreenDpi).c_str());
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

} // namespace

bool TextRecognizer::isAvailable() { return threadEngine() != nullptr; }

std::optional<QList<TextLine>> TextRecognizer::recognize(const QImage& image, const QRect& region, double minLineHeight)
{
    const QRect area = region.intersected(image.rect());
    if (area.isEmpty())
        return std::nullopt;
    tesseract::TessBaseAPI* api = threadEngine();
    if (!api)
        return std::nullopt;

    // The engine works on grey levels; converting only the region keeps the copy small.
    const QImage grey = image.copy(area).convertToFormat(QImage::Format_Grayscale8);
    if (grey.isNull())
        return std::nullopt;
    api->SetImage(grey.constBits(), grey.width(), grey.height(), 1, int(grey.bytesPerLine()));
    api->SetSourceResolution(kScreenDpi);
    if (api->Recognize(nullptr) != 0) {
        api->Clear();
        qCWarning(lcOcr) << "Tesseract failed to recognise a region of" << area.size();
        return std::nullopt;
    }

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
