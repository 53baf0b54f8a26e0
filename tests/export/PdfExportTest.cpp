#include "Destinations.h"
#include "ExportFixture.h"

#include "model/TemporaryFiles.h"
#include "platform/pdf/HtmlPdfRenderer.h"

#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThreadPool>

#include <limits>
#include <memory>
#include <optional>

using namespace zova;
using Kind = StepAnnotation::Kind;

namespace {

struct PdfInfo {
    int pages = 0;
    double width = 0;
    double height = 0;
};

QString run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

PdfInfo pdfInfo(const QString& path)
{
    const QString out = run(QStringLiteral("pdfinfo"), { path });
    PdfInfo info;
    const auto pages = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(out);
    const auto size = QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+) pts")).match(out);
    if (pages.hasMatch())
        info.pages = pages.captured(1).toInt();
    if (size.hasMatch()) {
        info.width = size.captured(1).toDouble();
        info.height = size.captured(2).toDouble();
    }
    return info;
}

QString pdfText(const QString& path)
{
    return run(QStringLiteral("pdftotext"), { QStringLiteral("-layout"), path, QStringLiteral("-") });
}

} // namespace

class PdfExportTest : public ExportFixture {
protected:
    ExportService::Result exportPdf(Guide* guide, const QString& to, ExportService::Options options = {})
    {
        // Shared so that an answer after a time-out lands in a live object, not a gone frame.
        auto result = std::make_shared<std::optional<ExportService::Result>>();
        m_service.exportPDF(*guide, to, options, nullptr, [result](const ExportService::Result& r) { *result = r; });
        EXPECT_TRUE(test::waitUntil([&] { return result->has_value(); }, 300000));
        return result->value_or(unexpected(ExportError::file(QStringLiteral("timed out"))));
    }

    static pdf::RenderResult renderUrl(const QUrl& url, const pdf::RenderTiming& timing = {})
    {
        auto result = std::make_shared<std::optional<pdf::RenderResult>>();
        pdf::renderUrlToPdf(
            url, nullptr, [result](const pdf::RenderResult& r) { *result = r; }, timing);
        EXPECT_TRUE(test::waitUntil([&] { return result->has_value(); }, 300000));
        return result->value_or(unexpected(pdf::RenderFailure { pdf::RenderFailure::Kind::Render, "timed out" }));
    }

    static pdf::RenderResult renderHtml(const QString& html, const pdf::RenderTiming& timing = {})
    {
        auto result = std::make_shared<std::optional<pdf::RenderResult>>();
        pdf::renderHtmlToPdf(
            html, nullptr, [result](const pdf::RenderResult& r) { *result = r; }, timing);
        EXPECT_TRUE(test::waitUntil([&] { return result->has_value(); }, 300000));
        return result->value_or(unexpected(pdf::RenderFailure { pdf::RenderFailure::Kind::Render, "timed out" }));
    }

    QString target(const QString& name = QStringLiteral("guide.pdf")) const { return m_out.path() + '/' + name; }
    QTemporaryDir m_out;
};

TEST_F(PdfExportTest, ShortGuideIsOneMinimumPageWithEveryText)
{
    Guide* guide = makeGuide(QStringLiteral("Rename a printer"));
    const QStringList descriptions = { "Open the Settings panel", "Choose Printers", "Type the new name" };
    for (int i = 0; i < descriptions.size(); ++i) {
        Step* step = addStep(guide, i, saveSolid(160, 24, QColor::fromHsv(i * 90, 160, 230)), 0.3, 0.6);
        step->setUserDescription(descriptions[i]);
    }
    const auto result = exportPdf(guide, target());
    ASSERT_TRUE(result.hasValue()) << result.error().description().toStdString();
    const PdfInfo info = pdfInfo(target());
    EXPECT_EQ(info.pages, 1);
    EXPECT_DOUBLE_EQ(info.width, 768);
    // Layout of at least 768 px, plus the 2 px that keep it on one page.
    EXPECT_GE(info.height, 0.75 * (768 + 2));
    const QString text = pdfText(target());
    EXPECT_TRUE(text.contains("Rename a printer")) << text.toStdString();
    for (const QString& d : descriptions)
        EXPECT_TRUE(text.contains(d)) << d.toStdString();
    EXPECT_TRUE(text.contains("3 steps"));
    EXPECT_TRUE(text.contains("Made with"));
}

TEST_F(PdfExportTest, EmptyGuideGivesTheMinimumPage)
{
    Guide* guide = makeGuide(QStringLiteral("Nothing yet"));
    ASSERT_TRUE(exportPdf(guide, target()).hasValue());
    const PdfInfo info = pdfInfo(target());
    EXPECT_EQ(info.pages, 1);
    EXPECT_DOUBLE_EQ(info.width, 768);
    EXPECT_NEAR(info.height, 577.5, 1.0); // Chromium rounds the paper size slightly
}

TEST_F(PdfExportTest, VeryTallGuideStaysOnOnePage)
{
    Guide* guide = makeGuide(QStringLiteral("Tall"));
    // 100 x 3500 shown 856 px wide: nearly 30,000 px of image.
    addStep(guide, 0, saveSolid(100, 3500, Qt::darkCyan))->setUserDescription(QStringLiteral("Top of the guide"));
    addStep(guide, 1, saveSolid(160, 24, Qt::yellow))->setUserDescription(QStringLiteral("Bottom of the guide"));
    ASSERT_TRUE(exportPdf(guide, target()).hasValue());
    const PdfInfo info = pdfInfo(target());
    EXPECT_EQ(info.pages, 1);
    EXPECT_DOUBLE_EQ(info.width, 768);
    EXPECT_GT(info.height, 0.75 * 30000);
    EXPECT_LT(info.height, 0.75 * 32000);
    const QString text = pdfText(target());
    EXPECT_TRUE(text.contains("Top of the guide"));
    EXPECT_TRUE(text.contains("Bottom of the guide"));
}

TEST_F(PdfExportTest, MissingImageStillGivesAPdf)
{
    Guide* guide = makeGuide(QStringLiteral("Lost screenshot"));
    addStep(guide, 0, QStringLiteral("missing.png"))->setUserDescription(QStringLiteral("Still described"));
    const auto result = exportPdf(guide, target());
    ASSERT_TRUE(result.hasValue()) << result.error().description().toStdString();
    EXPECT_EQ(pdfInfo(target()).pages, 1);
    EXPECT_TRUE(pdfText(target()).contains("Still described"));
}

TEST_F(PdfExportTest, ExportLeavesNoTemporaryFiles)
{
    Guide* guide = makeGuide(QStringLiteral("Tidy"));
    addStep(guide, 0, saveSolid(160, 90, Qt::darkGreen));
    ASSERT_TRUE(test::writeFile(target("blocker"), "file"));
    for (const QString& to : { target(), target("blocker/guide.pdf") }) {
        std::optional<bool> clean;
        std::optional<ExportService::Result> result;
        m_service.exportPDF(*guide, to, {}, nullptr, [&](const ExportService::Result& r) {
            result = r;
            clean = QDir(TemporaryFiles::directory()).isEmpty();
        });
        ASSERT_TRUE(test::waitUntil([&] { return result.has_value(); }, 300000));
        EXPECT_EQ(result->hasValue(), to == target());
        EXPECT_TRUE(*clean) << qPrintable(to) << ": "
                            << QDir(TemporaryFiles::directory()).entryList().join(' ').toStdString();
    }
}

TEST_F(PdfExportTest, WriteFailureKeepsNoPartialFile)
{
    Guide* guide = makeGuide(QStringLiteral("Nowhere"));
    ASSERT_TRUE(test::writeFile(target("blocker"), "file"));
    const auto result = exportPdf(guide, target("blocker/guide.pdf"));
    ASSERT_FALSE(result.hasValue());
    EXPECT_EQ(result.error().kind, ExportError::Kind::File);
    // An earlier PDF of that name is replaced by the complete new one only.
    ASSERT_TRUE(test::writeFile(target(), "earlier"));
    ASSERT_TRUE(exportPdf(guide, target()).hasValue());
    EXPECT_TRUE(test::readFile(target()).startsWith("%PDF"));
    EXPECT_EQ(QDir(m_out.path()).entryList(QDir::Files).size(), 2) << "no temporary file left";
}

TEST_F(PdfExportTest, FailedLoadGivesTheLoadsError)
{
    const auto result = renderUrl(QUrl::fromLocalFile(m_out.path() + "/no/such/page.html"));
    ASSERT_FALSE(result.hasValue());
    EXPECT_EQ(result.error().kind, pdf::RenderFailure::Kind::Load);
    EXPECT_FALSE(result.error().message.isEmpty());
}

TEST_F(PdfExportTest, LoadThatNeverFinishesTimesOut)
{
    QTcpServer server; // accepts and never answers
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    QList<QTcpSocket*> held;
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        while (server.hasPendingConnections())
            held << server.nextPendingConnection();
    });
    pdf::RenderTiming timing;
    timing.loadTimeoutMs = 1500;
    const auto result = renderUrl(QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(server.serverPort())), timing);
    ASSERT_FALSE(result.hasValue());
    EXPECT_EQ(result.error().kind, pdf::RenderFailure::Kind::Load);
    EXPECT_TRUE(result.error().message.contains("within")) << result.error().message.toStdString();
}

// A receiver that goes while the page loads or is checked drops the render: the
// call back never comes, and the render ends, its page folder with it.
TEST_F(PdfExportTest, GoneReceiverHearsNothing)
{
    QTemporaryDir work;
    bool called = false;
    int probes = 0;
    auto receiver = std::make_unique<QObject>();
    pdf::RenderTiming timing;
    timing.probed = [&](bool) {
        ++probes;
        receiver.reset();
    };
    pdf::renderHtmlToPdf(
        QStringLiteral("<p>Closed panel</p>"), receiver.get(), [&](const pdf::RenderResult&) { called = true; }, timing,
        work.path());
    ASSERT_TRUE(test::waitUntil([&] { return probes > 0; }, 120000)) << "the page was never checked";
    ASSERT_TRUE(test::waitUntil([&] { return QDir(work.path()).isEmpty(); }, 120000)) << "the render never ended";
    QCoreApplication::processEvents();
    EXPECT_FALSE(called);
    EXPECT_EQ(probes, 1) << "the render went on after its receiver had gone";

    // Gone before the page was even written: nothing is heard, nothing is left.
    Guide* guide = makeGuide(QStringLiteral("Closed panel"));
    auto early = std::make_unique<QObject>();
    m_service.exportPDF(*guide, target(), {}, early.get(), [&](const ExportService::Result&) { called = true; });
    early.reset();
    ASSERT_TRUE(test::waitUntil([&] { return QDir(TemporaryFiles::directory()).isEmpty(); }, 120000));
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
    EXPECT_FALSE(called);
    EXPECT_FALSE(QFileInfo::exists(target()));
}

// However a render ends, its page and whatever the page refers to are gone by the
// time the caller hears of it; a dropped render clears them as it stops.
TEST_F(PdfExportTest, PageFilesGoWhenTheRenderEnds)
{
    struct Case {
        const char* name;
        pdf::PageWriter write;
        int printTimeoutMs;
        bool succeeds;
    };
    const auto pageWithPicture = [](const QString& folder) -> Expected<QString, QString> {
        QImage picture(40, 30, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        if (!picture.save(folder + QStringLiteral("/picture.png"))
            || !test::writeFile(folder + QStringLiteral("/page.html"), "<p>Page</p><img src=\"picture.png\">"))
            return unexpected(QStringLiteral("could not write"));
        return QStringLiteral("page.html");
    };
    const Case cases[] = {
        { "printed", pageWithPicture, 300000, true },
        { "print that never finishes", pageWithPicture, 1, false },
        { "page that is not there",
            [](const QString&) -> Expected<QString, QString> { return QStringLiteral("gone.html"); }, 300000, false },
        { "page that could not be written",
            [](const QString& folder) -> Expected<QString, QString> {
                test::writeFile(folder + QStringLiteral("/half.html"), "<p>");
                return unexpected(QStringLiteral("disk full"));
            },
            300000, false },
    };
    for (const Case& c : cases) {
        QTemporaryDir work;
        std::optional<bool> succeeded;
        std::optional<bool> clearedFirst;
        pdf::RenderTiming timing;
        timing.printTimeoutMs = c.printTimeoutMs;
        pdf::renderPageToPdf(
            c.write, nullptr,
            [&](const pdf::RenderResult& r) {
                succeeded = r.hasValue();
                clearedFirst = QDir(work.path()).isEmpty();
            },
            timing, work.path());
        ASSERT_TRUE(test::waitUntil([&] { return succeeded.has_value(); }, 300000)) << c.name;
        EXPECT_EQ(*succeeded, c.succeeds) << c.name;
        EXPECT_TRUE(*clearedFirst) << c.name << ": the page's files were still there";
    }
}

// An image that can never load counts as settled: the wait ends on a ready answer
// after a check or two, never by running out of checks.
TEST_F(PdfExportTest, ImagesThatCannotLoadDoNotHoldUpThePrint)
{
    Guide* guide = makeGuide(QStringLiteral("Lost screenshot"));
    addStep(guide, 0, QStringLiteral("missing.png"))->setUserDescription(QStringLiteral("Still described"));
    addStep(guide, 1, saveSolid(160, 90, Qt::darkGreen));
    const struct {
        const char* name;
        QString html;
    } pages[] = {
        { "missing screenshot", m_service.generateHTML(*guide, ExportService::ImageMode::Printed, {}) },
        { "file not there", QStringLiteral("<p>x</p><img src=\"nowhere/shot.png\">") },
        { "bytes that are no image", QStringLiteral("<p>x</p><img src=\"data:image/png;base64,AAAAAAAA\">") },
    };
    for (const auto& page : pages) {
        QList<bool> answers;
        pdf::RenderTiming timing;
        timing.probed = [&](bool ready) { answers << ready; };
        const auto result = renderHtml(page.html, timing);
        ASSERT_TRUE(result.hasValue()) << page.name;
        ASSERT_FALSE(answers.isEmpty()) << page.name;
        EXPECT_TRUE(answers.last()) << page.name << ": the wait ran out after " << answers.size() << " checks";
        EXPECT_LT(answers.size(), 5) << page.name;
    }
}

TEST(PdfPageTest, HeightFollowsTheMeasurement)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const QList<std::pair<QVariant, double>> table = {
        { QVariant(500), 768 },
        { QVariant(768), 768 },
        { QVariant(2000.4), 2001 },
        { QVariant(qlonglong(30000)), 30000 },
        { QVariant(uint(1635)), 1635 },
        { QVariant(2000.0), 2000 },
        { QVariant(nan), 768 },
        { QVariant(inf), 768 },
        { QVariant(-5), 768 },
        { QVariant(QStringLiteral("2000")), 768 },
        { QVariant(), 768 },
        { QVariant(true), 768 },
    };
    for (const auto& [measured, expected] : table)
        EXPECT_DOUBLE_EQ(pdf::pageHeightPx(measured), expected) << measured.toString().toStdString();
    // 1024 CSS px to the 768 pt width, two px of slack below the content.
    EXPECT_EQ(pdf::pdfPageSize(2001), QSizeF(768, 0.75 * 2003));
}

TEST_F(PdfExportTest, RenderProcessThatDiesEndsTheExport)
{
    const auto result = renderUrl(QUrl(QStringLiteral("chrome://crash")));
    ASSERT_FALSE(result.hasValue());
    EXPECT_NE(result.error().kind, pdf::RenderFailure::Kind::File);
    EXPECT_FALSE(result.error().message.isEmpty());
}

TEST_F(PdfExportTest, NoFileNameFailsWithoutRendering)
{
    Guide* guide = makeGuide(QStringLiteral("Unnamed"));
    bool returned = false;
    std::optional<ExportService::Result> result;
    m_service.exportPDF(*guide, QString(), {}, nullptr, [&](const ExportService::Result& r) {
        EXPECT_TRUE(returned) << "heard only after the call";
        result = r;
    });
    returned = true;
    ASSERT_TRUE(test::waitUntil([&] { return result.has_value(); }, 5000));
    ASSERT_FALSE(result->hasValue());
    EXPECT_EQ(result->error().kind, ExportError::Kind::File);
}

TEST_F(PdfExportTest, OccupiedDestinationIsReplacedNeverWrittenThrough)
{
    Guide* guide = makeGuide(QStringLiteral("Replace"));
    addStep(guide, 0, saveSolid(40, 30, Qt::green));
    // Unreadable: the step is kept without its image, as everywhere.
    addStep(guide, 1, QStringLiteral("gone.png"));
    addStep(guide, 2, QStringLiteral("../outside.png"));
    for (auto o : destinations::occupants) {
        destinations::occupy(target(), target("outside"), o);
        ASSERT_TRUE(exportPdf(guide, target()).hasValue()) << destinations::nameOf(o);
        destinations::expectReplaced(target(), target("outside"), "%PDF", o);
    }
}

namespace {

// A window-like screenshot: small text in light and dark panels, sharp edges.
QImage interfaceScreenshot(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(0xf4, 0xf4, 0xf6));
    QPainter p(&image);
    p.fillRect(0, 0, width, 32, QColor(0x2b, 0x2d, 0x33));
    p.fillRect(0, 32, 220, height - 32, QColor(0xe6, 0xe7, 0xea));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(12, 21, QStringLiteral("File   Edit   View   Help"));
    p.setPen(QColor(0x20, 0x20, 0x24));
    for (int row = 0; row < 20; ++row) {
        p.drawText(16, 60 + row * 22, QStringLiteral("Sidebar entry %1").arg(row + 1));
        p.drawText(240, 60 + row * 22, QStringLiteral("The quick brown fox %1 jumps over the lazy dog.").arg(row));
    }
    p.fillRect(width - 180, height - 60, 150, 32, QColor(0x35, 0x84, 0xe4));
    p.setPen(Qt::white);
    p.drawText(QRect(width - 180, height - 60, 150, 32), Qt::AlignCenter, QStringLiteral("Continue"));
    return image;
}

QImage rasterised(const QString& pdf, const QString& stem)
{
    QProcess p;
    p.start(QStringLiteral("pdftoppm"), { "-r", "96", "-png", "-singlefile", pdf, stem });
    p.waitForFinished(120000);
    return QImage(stem + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
}

// The encodings of a PDF's images, in page order.
QStringList imageEncodings(const QString& pdf)
{
    QStringList encodings;
    const QStringList lines = run(QStringLiteral("pdfimages"), { QStringLiteral("-list"), pdf }).split('\n');
    for (const QString& line : lines) {
        const QStringList cols = line.simplified().split(' ');
        if (cols.size() > 8 && cols.at(2) == QLatin1String("image"))
            encodings.append(cols.at(8));
    }
    return encodings;
}

} // namespace

// The PDF draws the page's blurred shadows as sharp layers and embeds the screenshots
// as JPEG; next to the page printed with its own shadows and PNGs it must look the same.
TEST_F(PdfExportTest, PrintedPageLooksLikeThePageItPrints)
{
    Guide* guide = makeGuide(QStringLiteral("Looks the same"));
    const QString shot = saved(interfaceScreenshot(1280, 720));
    addStep(guide, 0, shot, 0.2, 0.1)->setUserDescription(QStringLiteral("Open the View menu"));
    addStep(guide, 1, shot, 0.85, 0.9)
        ->setAnnotations({ annotation(Kind::Highlight, 0.18, 0.07, 0.4, 0.1, QStringLiteral("ffd60a")),
            annotation(Kind::Text, 0.5, 0.5, 0, 0, QStringLiteral("3584e4")),
            annotation(Kind::Arrow, 0.6, 0.2, 0.2, 0.3, QStringLiteral("ff3d8a")) });
    addStep(guide, 2, shot, 0.5, 0.5)->setAnnotations({ annotation(Kind::Blur, 0.3, 0.3, 0.3, 0.2) });

    ASSERT_TRUE(exportPdf(guide, target()).hasValue());
    const auto reference = renderHtml(m_service.generateHTML(*guide, ExportService::ImageMode::Embedded, {}));
    ASSERT_TRUE(reference.hasValue());
    ASSERT_TRUE(test::writeFile(target("page.pdf"), reference.value()));

    const PdfInfo ours = pdfInfo(target());
    const PdfInfo page = pdfInfo(target("page.pdf"));
    EXPECT_EQ(ours.pages, 1);
    EXPECT_DOUBLE_EQ(ours.width, 768);
    EXPECT_DOUBLE_EQ(ours.height, page.height);
    const QStringList encodings = imageEncodings(target());
    EXPECT_EQ(encodings.count(QStringLiteral("jpeg")), 3) << encodings.join(' ').toStdString();
    EXPECT_FALSE(encodings.contains(QStringLiteral("smask"))) << "a blurred shadow is still an image";

    const QImage a = rasterised(target(), m_out.path() + QStringLiteral("/ours"));
    const QImage b = rasterised(target("page.pdf"), m_out.path() + QStringLiteral("/page"));
    ASSERT_FALSE(a.isNull());
    ASSERT_EQ(a.size(), b.size());
    qint64 total = 0;
    qint64 off = 0;
    int worst = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* la = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* lb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            const int d = std::max({ std::abs(qRed(la[x]) - qRed(lb[x])), std::abs(qGreen(la[x]) - qGreen(lb[x])),
                std::abs(qBlue(la[x]) - qBlue(lb[x])) });
            total += d;
            off += d > 16;
            worst = std::max(worst, d);
        }
    }
    const double pixels = double(a.width()) * a.height();
    EXPECT_LT(total / pixels, 0.5) << "mean difference per pixel";
    EXPECT_LT(off / pixels, 0.002) << "share of pixels more than 16 levels apart; worst " << worst;
}

TEST_F(PdfExportTest, PrintThatNeverFinishesFails)
{
    pdf::RenderTiming timing;
    timing.printTimeoutMs = 1;
    const auto result = renderHtml(QStringLiteral("<p>Hello</p>"), timing);
    ASSERT_FALSE(result.hasValue());
    EXPECT_EQ(result.error().kind, pdf::RenderFailure::Kind::Render);
    EXPECT_EQ(result.error().message, QStringLiteral("the page could not be printed within 0.001 seconds"));
}
