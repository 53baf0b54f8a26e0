// Drives the real application binary under Xvfb + openbox through the drawing
// tools: on one step it draws a blur, an arrow, a highlight and a text label with
// the pointer, crops the screenshot with the crop overlay, and exports an HTML
// folder, a PDF and an MP4; then checks that the store, the HTML asset, the PDF
// page and a video frame all carry the marks and the hotspot at their places in
// the cropped image.
#include <QDirIterator>
#include <QImageReader>
#include <QPainter>
#include <QProcess>

#include "model/Guide.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/Step.h"

// Xlib last: it defines None, Bool and the like.
#include "AppSession.h"

#include <X11/keysym.h>

using namespace zova;
using Kind = StepAnnotation::Kind;

namespace {

// The screenshot's own colour, found again in every export.
const QColor screenColour(30, 200, 220);
constexpr QSize shotSize(1600, 1000);
// Where the marks are drawn, in fractions of the screenshot as recorded.
const QRectF blurAt(0.30, 0.30, 0.22, 0.15);
const QRectF arrowAt(0.58, 0.32, 0.20, 0.22);
const QRectF highlightAt(0.35, 0.61, 0.25, 0.17);
const QRectF labelAt(0.74, 0.72, 0.18, 0.08);
const QPointF hotspotAt(0.86, 0.60);
// The crop takes this much off the left and the top.
constexpr double cropLeft = 0.25, cropTop = 0.20;

bool near(QRgb a, const QColor& b, int tolerance)
{
    return std::abs(qRed(a) - b.red()) <= tolerance && std::abs(qGreen(a) - b.green()) <= tolerance
        && std::abs(qBlue(a) - b.blue()) <= tolerance;
}

// The brand magenta that new marks and the hotspot are drawn in, blended or not.
bool magenta(QRgb c) { return qRed(c) > 170 && qGreen(c) < 150 && qRed(c) - qGreen(c) > 90 && qBlue(c) > 80; }

// Whether some pixel within `radius` of `p` is magenta.
bool magentaAround(const QImage& image, QPointF p, int radius)
{
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx) {
            const QPoint q = p.toPoint() + QPoint(dx, dy);
            if (image.rect().contains(q) && magenta(image.pixel(q)))
                return true;
        }
    return false;
}

// The rectangle of the screenshot in a rendered page or frame: the bounds of its colour.
QRect screenshotIn(const QImage& image, int tolerance)
{
    int left = image.width(), top = image.height(), right = -1, bottom = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (near(image.pixel(x, y), screenColour, tolerance)) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

QPointF place(const QRectF& in, QPointF fraction)
{
    return { in.left() + fraction.x() * in.width(), in.top() + fraction.y() * in.height() };
}

QRectF place(const QRectF& in, const QRectF& fraction)
{
    return { place(in, fraction.topLeft()), place(in, fraction.bottomRight()) };
}

// The spread of grey levels inside `r`: high over the secret, low once it is hidden.
int spread(const QImage& image, const QRect& r)
{
    int lo = 255, hi = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const int g = qGray(image.pixel(x, y));
            lo = std::min(lo, g);
            hi = std::max(hi, g);
        }
    return hi - lo;
}

QString run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(120000);
    return QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
}

class MarksSession : public AppSession {
protected:
    void typeText(const QString& text) const
    {
        for (const QChar c : text)
            key(c == ' ' ? XK_space : XStringToKeysym(QString(c).toLatin1()));
    }
    void drag(QPoint from, QPoint to) const
    {
        moveTo(from);
        QThread::msleep(80);
        button(true);
        QThread::msleep(60);
        for (int i = 1; i <= 12; ++i) {
            moveTo(from + (to - from) * i / 12);
            QThread::msleep(15);
        }
        QThread::msleep(60);
        button(false);
        QThread::msleep(150);
    }
    // Draws with a tool over a rectangle of the screenshot as the canvas shows it.
    void draw(const QString& tool, const QRectF& at) const
    {
        clickWidget("annotationTool-" + tool);
        QThread::msleep(100);
        const auto layer = widget("annotationsLayer");
        ASSERT_TRUE(layer) << "no annotation layer";
        drag(place(layer->rect, at.topLeft()).toPoint(), place(layer->rect, at.bottomRight()).toPoint());
    }
    void openTheGuide() const
    {
        ASSERT_TRUE(waitForWidget("guideCard"));
        clickWidget("guideCard");
        ASSERT_TRUE(waitForWidget("guideEditor")) << "the guide did not open in the editor";
        ASSERT_TRUE(waitForWidget("annotationsLayer")) << "no annotation layer over the screenshot";
        QTest::qWait(300);
    }
    QString exported(const QString& pattern) const
    {
        QDirIterator it(m_exports.path(), { pattern }, QDir::Files | QDir::Dirs, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            if (!QFileInfo(file).fileName().startsWith(QLatin1String("zova-export-")))
                return file;
        }
        return {};
    }
    void exportAs(const QString& format, const QString& pattern)
    {
        clickWidget("formatCard-" + format);
        QTest::qWait(500);
        if (format == "video") {
            ASSERT_TRUE(waitForWidget("narrationSwitch")) << "the video options did not appear";
            QTest::qWait(300);
            clickWidget("narrationSwitch");
            QTest::qWait(200);
        }
        clickWidget("exportButton");
        ASSERT_TRUE(waitForWidget("exportDestinationDialog")) << "no destination dialog for " << qPrintable(format);
        QTest::qWait(500);
        key(XK_Return);
        ASSERT_TRUE(test::waitUntil([&] { return !exported(pattern).isEmpty(); }, 180000))
            << "no " << qPrintable(format);
        ASSERT_TRUE(test::waitUntil([&] { return !widget("exportCancelButton", {}, "Cancel export"); }, 180000));
        QTest::qWait(1000);
    }

    QTemporaryDir m_exports;
};

TEST_F(MarksSession, MarksDrawnAndCroppedReachEveryExportAtTheirNewPlaces)
{
    ASSERT_TRUE(m_exports.isValid());
    QString original;
    QImage recorded;
    storeGuide(QStringLiteral("Marks Guide"), 1, shotSize, [&](int, QImage& shot, Step& step) {
        shot.fill(screenColour);
        const QRectF whole { QPointF(), QSizeF(shotSize) };
        QPainter p(&shot);
        p.setRenderHint(QPainter::Antialiasing);
        // A sign-in form: a white card with the secret that the blur goes over,
        // grey lines where the highlight goes, and the button the click was on.
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawRoundedRect(place(whole, QRectF(0.26, 0.24, 0.30, 0.28)), 18, 18);
        QFont font(QStringLiteral("DejaVu Sans Mono"));
        font.setPixelSize(56);
        font.setBold(true);
        p.setFont(font);
        p.setPen(QColor(20, 20, 30));
        p.drawText(place(whole, blurAt), Qt::AlignCenter, QStringLiteral("4827 1930"));
        for (int i = 0; i < 3; ++i)
            p.fillRect(place(whole, QRectF(0.38, 0.64 + i * 0.05, 0.18 - i * 0.04, 0.02)), QColor(235, 240, 245));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 110, 220));
        p.drawRoundedRect(place(whole, QRectF(hotspotAt.x() - 0.07, hotspotAt.y() - 0.04, 0.14, 0.08)), 14, 14);
        p.end();
        recorded = shot.copy();
        step.setClickX(hotspotAt.x());
        step.setClickY(hotspotAt.y());
        step.setOcrLabel(QStringLiteral("Open Settings"));
        original = step.screenshotFilename();
    });
    ASSERT_FALSE(HasFatalFailure());
    // The PDF printer: QtWebEngine needs its sandbox off as root, and its page
    // teardown trips AddressSanitizer's new/delete size check inside the library.
    m_appEnvironment.insert("QTWEBENGINE_DISABLE_SANDBOX", "1");
    m_appEnvironment.insert("ASAN_OPTIONS", "detect_leaks=0:abort_on_error=0:new_delete_type_mismatch=0");
    launchApp(m_exports.path());
    ASSERT_FALSE(HasFatalFailure());
    openTheGuide();
    ASSERT_FALSE(HasFatalFailure());

    draw("blur", blurAt);
    draw("arrow", arrowAt);
    draw("highlight", highlightAt);
    draw("text", labelAt);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(waitForWidget("annotationLabelEditor")) << "the new label is not edited";
    QTest::qWait(300);
    typeText("sign in here");
    key(XK_Return);
    // Nothing selected for the picture: a click on the empty screenshot.
    click(place(widget("annotationsLayer")->rect, QPointF(0.15, 0.85)).toPoint());
    QTest::qWait(1500);
    snapshot("editor-marks-light.png");

    // The crop: the top-left handle a quarter right and a fifth down, then Return.
    clickWidget("cropButton");
    ASSERT_TRUE(waitForWidget("cropOverlay")) << "no crop overlay";
    QTest::qWait(400);
    const QRect overlay = widget("cropOverlay")->rect;
    const double aspect = double(shotSize.width()) / shotSize.height();
    const QSizeF fit = aspect < double(overlay.width()) / overlay.height()
        ? QSizeF(aspect * overlay.height(), overlay.height())
        : QSizeF(overlay.width(), overlay.width() / aspect);
    const QRectF image(QPointF(overlay.left() + (overlay.width() - fit.width()) / 2,
                           overlay.top() + (overlay.height() - fit.height()) / 2),
        fit);
    drag(image.topLeft().toPoint() + QPoint(1, 1), place(image, QPointF(cropLeft, cropTop)).toPoint() + QPoint(1, 1));
    QTest::qWait(400);
    snapshot("editor-crop-overlay.png");
    key(XK_Return);
    ASSERT_TRUE(test::waitUntil([&] { return !QFile::exists(QDir(screenshotsDir()).filePath(original)); }, 5000))
        << "the crop did not replace the screenshot";
    ASSERT_TRUE(waitForWidget("annotationsLayer")) << "the step did not come back after the crop";

    clickWidget("editorExportButton");
    ASSERT_TRUE(waitForWidget("exportPanel"));
    ASSERT_TRUE(waitForWidget("revealSwitch"));
    QTest::qWait(300);
    clickWidget("revealSwitch"); // no file manager window in the test session
    QTest::qWait(200);
    exportAs("html", "index.html");
    ASSERT_FALSE(HasFatalFailure());
    exportAs("pdf", "*.pdf");
    ASSERT_FALSE(HasFatalFailure());
    exportAs("video", "*.mp4");
    ASSERT_FALSE(HasFatalFailure());
    quitApp();

    // The dark look of the same step, for the documentation.
    if (!qEnvironmentVariableIsEmpty("ZOVA_DOCS_SHOTS")) {
        storeSetting(settings::themeMode, ThemeMode::Dark);
        launchApp(m_exports.path());
        ASSERT_FALSE(HasFatalFailure());
        openTheGuide();
        ASSERT_FALSE(HasFatalFailure());
        QTest::qWait(1500);
        snapshot("editor-marks-dark.png");
        quitApp();
    }

    // The store: the cut image, the hotspot and every mark moved with it.
    auto store = ModelContainer::open(storePath());
    ASSERT_TRUE(store.hasValue());
    const QList<Guide*> guides = store.value()->mainContext()->guides();
    ASSERT_EQ(guides.size(), 1);
    const Step* step = guides.first()->orderedSteps().value(0);
    ASSERT_NE(step, nullptr);
    const QSize cut = QImageReader(QDir(screenshotsDir()).filePath(step->screenshotFilename())).size();
    // Dragged by the pointer: within a few screen pixels of the intended crop.
    ASSERT_NEAR(cut.width(), shotSize.width() * (1 - cropLeft), 12) << "the crop's width";
    ASSERT_NEAR(cut.height(), shotSize.height() * (1 - cropTop), 12) << "the crop's height";
    // The right and bottom edges stayed: the kept pixels start here.
    const double x0 = 1 - double(cut.width()) / shotSize.width(), y0 = 1 - double(cut.height()) / shotSize.height();
    const auto remapped = [&](QPointF p) { return QPointF((p.x() - x0) / (1 - x0), (p.y() - y0) / (1 - y0)); };
    const auto remappedRect = [&](const QRectF& r) { return QRectF(remapped(r.topLeft()), remapped(r.bottomRight())); };
    EXPECT_NEAR(step->clickX(), remapped(hotspotAt).x(), 0.002) << "the hotspot did not move with the crop";
    EXPECT_NEAR(step->clickY(), remapped(hotspotAt).y(), 0.002);
    const QList<StepAnnotation> marks = step->annotations();
    ASSERT_EQ(marks.size(), 4);
    const struct {
        Kind kind;
        QRectF drawn;
    } expected[] = { { Kind::Blur, blurAt }, { Kind::Arrow, arrowAt }, { Kind::Highlight, highlightAt },
        { Kind::Text, labelAt } };
    // Drawn through the pointer on a screenshot shown at about half its size.
    constexpr double drawn = 0.006;
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const QRectF want = remappedRect(expected[i].drawn);
        EXPECT_EQ(marks[i].kind, expected[i].kind);
        EXPECT_NEAR(marks[i].x, want.x(), drawn);
        EXPECT_NEAR(marks[i].y, want.y(), drawn);
        EXPECT_NEAR(marks[i].width, want.width(), 2 * drawn);
        EXPECT_NEAR(marks[i].height, want.height(), 2 * drawn);
    }
    EXPECT_EQ(marks[3].text, QStringLiteral("sign in here"));
    ASSERT_GT(spread(recorded, place(QRectF(QPointF(), QSizeF(shotSize)), blurAt).toRect()), 150)
        << "no secret to hide";
    const QRectF blur = remappedRect(blurAt), arrow = remappedRect(arrowAt), highlight = remappedRect(highlightAt),
                 label = remappedRect(labelAt);
    const QPointF hotspot = remapped(hotspotAt);
    const auto inner = [](const QRectF& r) {
        return r.adjusted(r.width() * 0.15, r.height() * 0.15, -r.width() * 0.15, -r.height() * 0.15).toRect();
    };

    // The HTML folder: the asset is the cut screenshot with the secret gone under
    // the blur; the page places the other marks and the hotspot.
    const QString index = exported("index.html");
    ASSERT_FALSE(index.isEmpty());
    const QImage asset(QFileInfo(index).absolutePath() + "/assets/screenshots/" + step->screenshotFilename());
    ASSERT_EQ(asset.size(), cut);
    const QRectF assetRect { QPointF(), QSizeF(cut) };
    EXPECT_LT(spread(asset, inner(place(assetRect, blur))), 60) << "the HTML asset shows what the blur hides";
    EXPECT_TRUE(near(asset.pixel(place(assetRect, QPointF(0.02, 0.95)).toPoint()), screenColour, 0))
        << "outside the marks the asset is the screenshot";
    const QString page = QString::fromUtf8(test::readFile(index));
    EXPECT_TRUE(page.contains("ann-arrow") && page.contains("ann-highlight") && page.contains(">sign in here</div>"));
    EXPECT_TRUE(
        page.contains(QStringLiteral("class=\"hotspot\" style=\"left:%1%").arg(step->clickX() * 100, 0, 'f', 2)))
        << "the page's hotspot is not the cropped one";

    // The PDF, rendered: every mark where the cropped screenshot has it.
    const QString pdf = exported("*.pdf");
    ASSERT_FALSE(pdf.isEmpty());
    const QString pages = m_exports.filePath("pdfpage");
    run("pdftoppm", { "-png", "-r", "96", "-f", "1", "-l", "1", pdf, pages });
    QImage printed;
    for (const QString& name : QDir(m_exports.path()).entryList({ "pdfpage*.png" }))
        printed = QImage(m_exports.filePath(name)).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(printed.isNull()) << "the PDF did not render";
    const QRect onPage = screenshotIn(printed, 24);
    ASSERT_GT(onPage.width(), 300) << "no screenshot on the PDF page";
    EXPECT_NEAR(double(onPage.width()) / onPage.height(), double(cut.width()) / cut.height(), 0.03)
        << "the page shows the uncropped screenshot";
    EXPECT_LT(spread(printed, inner(place(onPage, blur))), 60) << "the PDF shows what the blur hides";
    EXPECT_TRUE(magentaAround(printed, place(onPage, arrow.center()), 3)) << "no arrow in the PDF";
    EXPECT_TRUE(magentaAround(printed, place(onPage, QPointF(highlight.left(), highlight.center().y())), 3))
        << "no highlight in the PDF";
    EXPECT_TRUE(magentaAround(printed, place(onPage, label.topLeft()) + QPointF(8, 8), 6)) << "no label in the PDF";
    EXPECT_FALSE(magentaAround(printed, place(onPage, QPointF(0.1, 0.1)), 3)) << "magenta where no mark is";

    // A frame of the MP4: the marks painted as the canvas paints them, the hotspot's ring.
    const QString video = exported("*.mp4");
    ASSERT_FALSE(video.isEmpty());
    const QString framePath = m_exports.filePath("frame.png");
    run("ffmpeg", { "-v", "error", "-y", "-ss", "0.5", "-i", video, "-frames:v", "1", framePath });
    const QImage frame = QImage(framePath).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(frame.size(), QSize(1920, 1080)) << "no frame decoded";
    const QRect inFrame = screenshotIn(frame, 30);
    ASSERT_GT(inFrame.width(), 600) << "no screenshot in the frame";
    EXPECT_NEAR(double(inFrame.width()) / inFrame.height(), double(cut.width()) / cut.height(), 0.03);
    EXPECT_LT(spread(frame, inner(place(inFrame, blur))), 60) << "the frame shows what the blur hides";
    EXPECT_TRUE(magentaAround(frame, place(inFrame, arrow.center()), 3)) << "no arrow in the frame";
    EXPECT_TRUE(magentaAround(frame, place(inFrame, QPointF(highlight.left(), highlight.center().y())), 3))
        << "no highlight in the frame";
    EXPECT_TRUE(magentaAround(frame, place(inFrame, label.center()), 16)) << "no label in the frame";
    EXPECT_TRUE(magentaAround(frame, place(inFrame, hotspot) + QPointF(11, 0), 3)) << "no hotspot ring there";
    EXPECT_FALSE(magentaAround(frame, place(inFrame, QPointF(0.1, 0.1)), 3)) << "magenta where no mark is";
}

} // namespace
