// What a blur mark covers must be gone from every exported pixel: the same guide
// with two different secrets under the same marks exports the same pixels, in the
// HTML folder's asset, the image embedded in the PDF and the MP4's frames.
#include "ExportFixture.h"

#include "FakeSynthesizer.h"
#include "RedactionCases.h"
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

using namespace zova::test::redaction;

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
        d.storage = &zova::test::storage();
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
