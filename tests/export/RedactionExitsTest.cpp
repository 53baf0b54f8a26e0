// What a blur mark covers must be gone from every exported pixel: the same guide
// with two different secrets under the same marks exports the same pixels, in the
// HTML folder's asset, the image embedded in the PDF and the MP4's frames.
#include "ExportFixture.h"

#include "FakeSynthesizer.h"
#include "export/VideoExportService.h"

#include <QDir>
#include <QFont>
#include <QFontMetricsF>
#include <QProcess>

#include <algorithm>
#include <cmath>
#include <memory>

using namespace zova;
using Kind = StepAnnotation::Kind;

namespace {

struct Case {
    const char* name;
    QSize size;
    int textPx;
    // The mark in fractions of the image; empty takes the text's box with a margin.
    QRectF mark;
    double rotation = 0;
    bool hides = true; // false: the mark is off the secret, which stays readable
};

const QList<Case>& cases()
{
    static const QList<Case> table = {
        { "window capture, 48 px digits", { 400, 300 }, 48, {} },
        { "1080p, 300 px text", { 1920, 1080 }, 300, {} },
        { "4K, 200 px text", { 3840, 2160 }, 200, {} },
        { "rotated mark", { 400, 300 }, 48, {}, 45 },
        { "absurd width through the text", { 1920, 1080 }, 120, QRectF(-1e9, 0.3, 2e9, 0.4) },
        { "reaches far past every edge", { 800, 600 }, 64, QRectF(-50, -50, 100, 100) },
        // Last, so that the visible secret cannot reach other steps' video frames.
        { "far off the image", { 400, 300 }, 48, QRectF(5, 5, 0.5, 0.5), 0, false },
    };
    return table;
}

// A light application window with sidebar, lines and a button, and the secret
// written large in its middle.
QImage capture(const Case& c, const QString& secret, QRectF* textBox = nullptr)
{
    const int w = c.size.width(), h = c.size.height();
    QImage img(c.size, QImage::Format_RGB32);
    img.fill(QColor(248, 248, 250));
    QPainter p(&img);
    p.fillRect(0, 0, w, h / 14, QColor(52, 58, 74));
    p.fillRect(0, h / 14, w / 6, h, QColor(230, 233, 240));
    for (int i = 0; i < 10; ++i)
        p.fillRect(w / 5, h / 10 + i * h / 11, w / 2 + (i % 3) * w / 10, std::max(2, h / 90), QColor(200, 204, 214));
    p.fillRect(QRectF(w * 0.72, h * 0.86, w * 0.16, h * 0.08), QColor(40, 110, 220));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(c.textPx);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(20, 20, 30));
    const QFontMetricsF fm(font);
    const QRectF box = fm.boundingRect(secret);
    const QPointF origin((w - box.width()) / 2 - box.left(), (h - box.height()) / 2 - box.top());
    p.drawText(origin, secret);
    if (textBox)
        *textBox = box.translated(origin);
    return img;
}

QRectF markFor(const Case& c, const QRectF& textBox)
{
    if (!c.mark.isEmpty())
        return c.mark;
    const QRectF r = textBox.adjusted(-c.textPx / 4.0, -c.textPx / 4.0, c.textPx / 4.0, c.textPx / 4.0);
    return QRectF(
        r.x() / c.size.width(), r.y() / c.size.height(), r.width() / c.size.width(), r.height() / c.size.height());
}

// The largest difference of any channel of any pixel inside `area`, after the
// 0.5 % most different pixels are set aside (lossy codecs move a few).
int difference(const QImage& a, const QImage& b, const QRect& area)
{
    if (a.size() != b.size())
        return 256;
    const QImage x = a.convertToFormat(QImage::Format_RGB32), y = b.convertToFormat(QImage::Format_RGB32);
    std::vector<int> diffs;
    const QRect r = area.intersected(x.rect());
    diffs.reserve(size_t(r.width()) * size_t(r.height()));
    for (int row = r.top(); row <= r.bottom(); ++row) {
        const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
        const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
        for (int col = r.left(); col <= r.right(); ++col)
            diffs.push_back(std::max({ std::abs(qRed(p[col]) - qRed(q[col])), std::abs(qGreen(p[col]) - qGreen(q[col])),
                std::abs(qBlue(p[col]) - qBlue(q[col])) }));
    }
    if (diffs.empty())
        return 0;
    const auto keep = diffs.begin() + std::ptrdiff_t(double(diffs.size() - 1) * 0.995);
    std::nth_element(diffs.begin(), keep, diffs.end());
    return *keep;
}

QString run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(120000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The images of a folder that a tool wrote, in name order.
QList<QImage> imagesIn(const QString& folder)
{
    QList<QImage> images;
    for (const QString& name : QDir(folder).entryList({ "*.png" }, QDir::Files, QDir::Name))
        images.append(QImage(folder + '/' + name));
    return images;
}

// The colour images embedded in a PDF, in page order; the page's shadows come as
// grey images of their own.
QList<QImage> pdfColourImages(const QString& pdf, const QString& folder)
{
    QDir().mkpath(folder);
    run("pdfimages", { "-png", pdf, folder + "/image" });
    QList<QImage> images;
    for (const QString& line : run("pdfimages", { "-list", pdf }).split('\n')) {
        const QStringList cols = line.simplified().split(' ');
        if (cols.size() > 5 && cols.at(2) == "image" && cols.at(5) == "rgb")
            images.append(
                QImage(QStringLiteral("%1/image-%2.png").arg(folder).arg(cols.at(1).toInt(), 3, 10, QChar('0'))));
    }
    return images;
}

} // namespace

class RedactionExitsTest : public ExportFixture {
protected:
    struct Exported {
        QList<QImage> html, pdf, video;
    };

    void SetUp() override
    {
        ExportFixture::SetUp();
        VideoExportService::Dependencies d;
        for (int i = 0; i < 3; ++i)
            d.pool[size_t(i)] = std::make_unique<FakeSynthesizer>(nullptr, i, true);
        d.narratorVoice = [] { return std::optional<speech::SpeechVoice>(); };
        m_video = std::make_unique<VideoExportService>(std::move(d));
    }

    // One guide holding a step for every case, each with the given secret.
    Exported exportAll(const QString& secret, const QString& tag)
    {
        Guide* guide = makeGuide(tag);
        qint64 order = 0;
        for (const Case& c : cases()) {
            QRectF text;
            const QImage shot = capture(c, secret, &text);
            const QRectF m = markFor(c, text);
            StepAnnotation blur = annotation(Kind::Blur, m.x(), m.y(), m.width(), m.height());
            blur.rotation = c.rotation;
            addStep(guide, order++, saved(shot))->setAnnotations({ blur });
        }
        Exported out;
        const QString base = m_out.path() + '/' + tag;

        EXPECT_TRUE(m_service.exportHTMLFolder(*guide, base + "-html", {}).hasValue());
        for (const Step* step : guide->orderedSteps())
            out.html.append(QImage(base + "-html/assets/screenshots/" + step->screenshotFilename()));

        std::optional<ExportService::Result> pdf;
        m_service.exportPDF(*guide, base + ".pdf", {}, nullptr, [&](const ExportService::Result& r) { pdf = r; });
        EXPECT_TRUE(test::waitUntil([&] { return pdf.has_value(); }, 300000));
        EXPECT_TRUE(pdf && pdf->hasValue());
        out.pdf = pdfColourImages(base + ".pdf", base + "-pdfimages");

        VideoExportOptions options;
        options.narrateSteps = false;
        options.fps = 1;
        options.minSecondsPerStep = 1;
        std::optional<VideoExportService::Result> video;
        m_video->exportMP4(guide, base + ".mp4", options, [&](const VideoExportService::Result& r) { video = r; });
        EXPECT_TRUE(test::waitUntil([&] { return video.has_value(); }, 300000));
        EXPECT_TRUE(video && video->hasValue());
        QDir().mkpath(base + "-frames");
        run("ffmpeg", { "-v", "error", "-i", base + ".mp4", base + "-frames/frame-%03d.png" });
        out.video = imagesIn(base + "-frames");
        return out;
    }

    QTemporaryDir m_out;
    std::unique_ptr<VideoExportService> m_video;
};

TEST_F(RedactionExitsTest, TwoSecretsUnderTheSameMarkExportTheSamePixels)
{
    const Exported a = exportAll(QStringLiteral("4827 1930"), "a");
    const Exported b = exportAll(QStringLiteral("6153 0472"), "b");
    const auto n = cases().size();
    ASSERT_EQ(a.html.size(), n);
    ASSERT_EQ(a.pdf.size(), n) << "one embedded image per step";
    ASSERT_EQ(a.video.size(), n) << "one frame per step";
    ASSERT_EQ(b.pdf.size(), n);
    ASSERT_EQ(b.video.size(), n);

    // A lossless exit may differ by nothing; the video's codec moves a few levels.
    constexpr int losslessTolerance = 2;
    constexpr int videoTolerance = 6;
    // The PDF embeds its screenshots as fine JPEG.
    constexpr int printedTolerance = 8;
    // Where the secrets differ, a readable text differs by far more.
    constexpr int readable = 60;
    for (qsizetype i = 0; i < n; ++i) {
        const Case& c = cases().at(i);
        SCOPED_TRACE(c.name);
        QRectF textA, textB;
        const QImage originalA = capture(c, QStringLiteral("4827 1930"), &textA);
        capture(c, QStringLiteral("6153 0472"), &textB);
        const QRect secret = textA.united(textB).toAlignedRect();
        ASSERT_EQ(a.html.at(i).size(), c.size);
        ASSERT_EQ(a.pdf.at(i).size(), c.size) << "the PDF embeds the whole screenshot";
        const QRect frame = a.video.at(i).rect();
        if (c.hides) {
            EXPECT_LE(difference(a.html.at(i), b.html.at(i), secret), losslessTolerance) << "HTML asset";
            EXPECT_LE(difference(a.pdf.at(i), b.pdf.at(i), secret), printedTolerance) << "PDF image";
            EXPECT_LE(difference(a.video.at(i), b.video.at(i), frame), videoTolerance) << "MP4 frame";
        } else {
            EXPECT_GT(difference(a.html.at(i), b.html.at(i), secret), readable) << "HTML asset";
            EXPECT_GT(difference(a.pdf.at(i), b.pdf.at(i), secret), readable) << "PDF image";
            EXPECT_GT(difference(a.video.at(i), b.video.at(i), frame), readable) << "MP4 frame";
            // A mark that covers nothing changes nothing.
            EXPECT_EQ(difference(a.html.at(i), originalA, originalA.rect()), 0) << "HTML asset";
            EXPECT_LE(difference(a.pdf.at(i), originalA, originalA.rect()), printedTolerance) << "PDF image";
        }
    }
}
