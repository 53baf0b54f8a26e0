// HTML folder of 100 steps and PDF of 20 steps, both with 1920x1080
// screenshots; the PDF side by side with headless Chromium printing the same
// page. With --docs DIR it writes a rendered PDF page of a three-step guide
// with every kind of mark to DIR/export-pdf-page.png and exits.
#include "Bench.h"

#include "export/ExportService.h"
#include "model/Guide.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/Step.h"
#include "model/StepAnnotation.h"
#include "model/StorageService.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFont>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

using namespace zova;
using Kind = StepAnnotation::Kind;

namespace {

// The screenshot folder of the default store, as the application makes it.
StorageService& screenshotFolder()
{
    static StorageService folder(StorageService::folderBeside(ModelContainer::defaultStorePath()));
    return folder;
}

QFont pixelFont(int px, int weight = QFont::Normal)
{
    QFont f(QStringLiteral("Inter"));
    f.setPixelSize(px);
    f.setWeight(QFont::Weight(weight));
    return f;
}

// A settings window as a user would record it: title bar, side bar, a form
// with an e-mail address and a key, and a button.
QImage screen(int seed, int width = 1920, int height = 1080)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(0xea, 0xec, 0xf1));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = width / 1920.0;
    p.scale(s, s);
    p.fillRect(0, 0, 1920, 56, QColor(0x2b, 0x2d, 0x3a));
    p.setPen(Qt::white);
    p.setFont(pixelFont(22, QFont::DemiBold));
    p.drawText(QRect(24, 0, 1200, 56), Qt::AlignVCenter, QStringLiteral("Mail Settings — Accounts (%1)").arg(seed));
    p.fillRect(0, 56, 360, 1024, QColor(0xf6, 0xf7, 0xfa));
    p.setPen(QColor(0x33, 0x36, 0x44));
    p.setFont(pixelFont(20));
    const QStringList side
        = { "General", "Accounts", "Signatures", "Rules", "Junk mail", "Privacy", "Fonts", "Advanced" };
    for (int i = 0; i < side.size(); ++i) {
        if (i == 1)
            p.fillRect(12, 80 + i * 56, 336, 48, QColor(0xd8, 0xe4, 0xff));
        p.drawText(QRect(36, 80 + i * 56, 300, 48), Qt::AlignVCenter, side[i]);
    }
    p.setFont(pixelFont(34, QFont::Bold));
    p.drawText(QPoint(420, 140), QStringLiteral("Account details"));
    const QStringList labels = { "Full name", "E-mail address", "Incoming server", "Password", "API key" };
    const QStringList values = { "Alex Morgan", QStringLiteral("alex.morgan%1@example.org").arg(seed),
        "imap.example.org", "••••••••••••", QStringLiteral("sk-%1-9f3a-44be-a71c").arg(seed * 7919) };
    for (int i = 0; i < labels.size(); ++i) {
        const int y = 200 + i * 110;
        p.setFont(pixelFont(20, QFont::Medium));
        p.setPen(QColor(0x55, 0x58, 0x66));
        p.drawText(QPoint(420, y), labels[i]);
        p.setPen(QColor(0xc4, 0xc7, 0xd2));
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(420, y + 14, 900, 56), 8, 8);
        p.setPen(QColor(0x1a, 0x1c, 0x26));
        p.setFont(pixelFont(22));
        p.drawText(QRect(440, y + 14, 860, 56), Qt::AlignVCenter, values[i]);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x25, 0x63, 0xeb));
    p.drawRoundedRect(QRectF(1120, 780, 200, 60), 10, 10);
    p.setPen(Qt::white);
    p.setFont(pixelFont(22, QFont::DemiBold));
    p.drawText(QRect(1120, 780, 200, 60), Qt::AlignCenter, QStringLiteral("Save"));
    p.setPen(QColor(0x88, 0x8b, 0x99));
    p.setFont(pixelFont(16));
    for (int line = 0; line < 6; ++line)
        p.drawText(QPoint(1400, 220 + line * 40),
            QStringLiteral("Last synced %1:%2 — folder %3 of 12")
                .arg(9 + line)
                .arg((seed * 13 + line * 7) % 60, 2, 10, QLatin1Char('0'))
                .arg(line + 1));
    return image;
}

StepAnnotation mark(
    Kind kind, double x, double y, double w, double h, const QString& color, std::optional<QString> text = std::nullopt)
{
    StepAnnotation a;
    a.kind = kind;
    a.x = x, a.y = y, a.width = w, a.height = h;
    a.colorHex = color;
    a.text = std::move(text);
    return a;
}

Guide* makeGuide(ModelContext* context, const QString& title, int steps, bool marks)
{
    auto* guide = new Guide(title);
    context->insert(guide);
    for (int i = 0; i < steps; ++i) {
        const auto name = screenshotFolder().saveScreenshot(screen(i + 1));
        if (!name) {
            std::fprintf(stderr, "could not save a screenshot\n");
            std::exit(1);
        }
        auto* step = new Step(i, name.value(), 0.61, 0.75);
        step->setUserDescription(QStringLiteral("Step %1: fill in the account form and press Save").arg(i + 1));
        step->setGuide(guide);
        if (marks)
            step->setAnnotations({ mark(Kind::Blur, 0.21, 0.57, 0.48, 0.07, "000000") });
    }
    (void)context->save();
    return guide;
}

// Runs the PDF export to its end; the elapsed milliseconds, or a negative value on failure.
double exportPdf(const ExportService& service, const Guide& guide, const QString& to)
{
    std::optional<ExportService::Result> result;
    QElapsedTimer t;
    t.start();
    service.exportPDF(guide, to, {}, nullptr, [&](const ExportService::Result& r) { result = r; });
    while (!result)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    if (!result->hasValue()) {
        std::fprintf(stderr, "PDF export failed: %s\n", qPrintable(result->error().description()));
        return -1;
    }
    return double(t.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

int writeDocs(ModelContext* context, const QString& dir)
{
    auto* guide = new Guide(QStringLiteral("Connect a mail account"));
    context->insert(guide);
    struct Shot {
        const char* description;
        double clickX, clickY;
        QList<StepAnnotation> marks;
    };
    const QList<Shot> shots = {
        { "Open Accounts in the side bar", 0.09, 0.148,
            { mark(Kind::Highlight, 0.005, 0.12, 0.18, 0.056, "ffd60a"),
                mark(Kind::Text, 0.20, 0.125, 0, 0, "3b82f6", QStringLiteral("Start here")) } },
        { "Enter your e-mail address; the API key stays private", 0.45, 0.33,
            { mark(Kind::Blur, 0.225, 0.595, 0.46, 0.05, "000000"),
                mark(Kind::Arrow, 0.58, 0.12, 0.1, 0.16, "ff3d8a") } },
        { "Press Save", 0.635, 0.75,
            { mark(Kind::Highlight, 0.578, 0.715, 0.11, 0.07, "34c759"),
                mark(Kind::Arrow, 0.48, 0.58, 0.09, 0.13, "ff3d8a"),
                mark(Kind::Text, 0.70, 0.73, 0, 0, "a855f7", QStringLiteral("Saves & syncs")) } },
    };
    for (int i = 0; i < shots.size(); ++i) {
        const auto name = screenshotFolder().saveScreenshot(screen(i + 1, 1440, 810));
        if (!name)
            return 1;
        auto* step = new Step(i, name.value(), shots[i].clickX, shots[i].clickY);
        step->setUserDescription(QString::fromUtf8(shots[i].description));
        step->setAnnotations(shots[i].marks);
        step->setGuide(guide);
    }
    (void)context->save();
    QDir().mkpath(dir);
    QTemporaryDir work;
    const QString pdf = work.filePath(QStringLiteral("page.pdf"));
    if (exportPdf(ExportService(screenshotFolder()), *guide, pdf) < 0)
        return 1;
    const QString png = QDir(dir).filePath(QStringLiteral("export-pdf-page"));
    const int rc = QProcess::execute(QStringLiteral("pdftoppm"), { "-png", "-r", "60", "-singlefile", pdf, png });
    if (rc != 0)
        return 1;
    std::printf("wrote %s.png\n", qPrintable(png));
    return 0;
}

} // namespace

// --pdf-child HOME STORE TITLE OUT: exports the stored guide of that title as a PDF
// and exits, for timing a cold export as a process of its own.
int pdfChild(int argc, char** argv)
{
    zova::bench::useHome(QString::fromLocal8Bit(argv[2]));
    QApplication app(argc, argv);
    auto opened = ModelContainer::open(QString::fromLocal8Bit(argv[3]));
    if (!opened)
        return 1;
    auto store = std::move(opened).value();
    for (Guide* guide : store->mainContext()->guides())
        if (guide->title() == QString::fromLocal8Bit(argv[4]))
            return exportPdf(ExportService(screenshotFolder()), *guide, QString::fromLocal8Bit(argv[5])) < 0 ? 1 : 0;
    return 1;
}

int main(int argc, char** argv)
{
    if (argc == 6 && std::strcmp(argv[1], "--pdf-child") == 0)
        return pdfChild(argc, argv);
    QTemporaryDir home;
    zova::bench::useHome(home.path());
    QApplication app(argc, argv);

    QTemporaryDir storeDir;
    auto opened = ModelContainer::open(storeDir.path() + "/ZOVA.store");
    if (!opened)
        return 1;
    auto store = std::move(opened).value();
    ModelContext* context = store->mainContext();

    const QStringList args = app.arguments();
    if (const qsizetype i = args.indexOf(QStringLiteral("--docs")); i >= 0 && i + 1 < args.size())
        return writeDocs(context, args[i + 1]);

    const ExportService service(screenshotFolder());
    QTemporaryDir out;

    Guide* hundred = makeGuide(context, QStringLiteral("Hundred steps"), 100, false);
    int run = 0;
    const double folderMs = bench::measure(
        "HTML folder, 100 steps of 1920x1080", 5,
        [&] {
            if (!service.exportHTMLFolder(*hundred, out.filePath(QStringLiteral("folder%1").arg(run++)), {}))
                std::fprintf(stderr, "HTML folder export failed\n");
        },
        1000);
    bool copied = true;
    const double copyMs = bench::measure(
        "HTML folder peer: cp -r of the same folder", 5,
        [&] {
            copied = QProcess::execute(QStringLiteral("cp"),
                         { QStringLiteral("-r"), out.filePath(QStringLiteral("folder0")),
                             out.filePath(QStringLiteral("copy%1").arg(run++)) })
                    == 0
                && copied;
        },
        0);
    if (!copied)
        std::fprintf(stderr, "cp -r of the exported folder failed\n");
    bench::row(
        "HTML folder, 100 steps, vs cp -r", folderMs, "ms", copied ? std::optional(copyMs) : std::nullopt, "< 1000 ms");
    Guide* blurred = makeGuide(context, QStringLiteral("Hundred blurred steps"), 100, true);
    bench::measure(
        "HTML folder, 100 steps of 1920x1080, each with a blur", 3,
        [&] {
            if (!service.exportHTMLFolder(*blurred, out.filePath(QStringLiteral("folder%1").arg(run++)), {}))
                std::fprintf(stderr, "HTML folder export failed\n");
        },
        10000);

    Guide* twenty = makeGuide(context, QStringLiteral("Twenty steps"), 20, false);
    const QString html = service.generateHTML(*twenty, ExportService::ImageMode::Embedded, {});
    bench::figure("PDF page size (embedded HTML)", html.size() / 1e6, "MB");
    exportPdf(service, *twenty, out.filePath(QStringLiteral("warm-up.pdf"))); // starts QtWebEngine once
    std::vector<double> warm;
    for (int i = 0; i < 3; ++i)
        warm.push_back(exportPdf(service, *twenty, out.filePath(QStringLiteral("warm%1.pdf").arg(i))));
    bench::figure("PDF, 20 steps of 1920x1080, QtWebEngine already running (median of 3)", median(warm), "ms");

    const QString chromium = QStandardPaths::findExecutable(QStringLiteral("chromium"));
    if (chromium.isEmpty()) {
        std::printf("chromium is not installed: no comparison\n");
        bench::row("PDF, 20 steps, warm, no chromium to compare", median(warm), "ms", std::nullopt, "<= 1 x");
        return 0;
    }
    const QString page = out.filePath(QStringLiteral("page.html"));
    {
        QFile f(page);
        if (!f.open(QIODevice::WriteOnly) || f.write(html.toUtf8()) < 0)
            return 1;
    }
    // Cold against cold, alternated: a fresh process of ours exporting the stored
    // guide, then chromium printing the same page.
    auto timed = [](const QString& program, const QStringList& arguments) {
        QElapsedTimer t;
        t.start();
        QProcess p;
        p.start(program, arguments);
        if (!p.waitForFinished(300000) || p.exitCode() != 0) {
            std::fprintf(stderr, "%s failed\n", qPrintable(program));
            return -1.0;
        }
        return double(t.nsecsElapsed()) / 1e6;
    };
    std::vector<double> ours;
    std::vector<double> theirs;
    for (int i = 0; i < 3; ++i) {
        ours.push_back(timed(app.applicationFilePath(),
            { QStringLiteral("--pdf-child"), home.path(), store->path(), twenty->title(),
                out.filePath(QStringLiteral("ours%1.pdf").arg(i)) }));
        theirs.push_back(timed(chromium,
            { "--headless", "--no-sandbox", "--disable-gpu", "--no-pdf-header-footer",
                "--print-to-pdf=" + out.filePath(QStringLiteral("chromium%1.pdf").arg(i)),
                QUrl::fromLocalFile(page).toString() }));
    }
    const double oursMs = median(ours);
    const double theirsMs = median(theirs);
    bench::figure("PDF, 20 steps of 1920x1080, our export as a fresh process (median of 3)", oursMs, "ms");
    bench::figure("PDF, 20 steps: chromium --headless --print-to-pdf (median of 3)", theirsMs, "ms");
    bench::figure("PDF ratio ours / chromium, cold (target <= 1)", oursMs / theirsMs, "x");
    bench::row("PDF, 20 steps, cold, vs chromium --print-to-pdf", oursMs, "ms",
        oursMs > 0 && theirsMs > 0 ? std::optional(theirsMs) : std::nullopt, "<= 1 x");
    return 0;
}
