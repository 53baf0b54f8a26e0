#include "Destinations.h"
#include "ExportFixture.h"

#include <QDir>
#include <QFileInfo>
#include <QThread>
#include <QThreadPool>

#include <cstdlib>
#include <limits>

using namespace zova;
using Kind = StepAnnotation::Kind;

namespace {

// Mean absolute difference per channel over the rectangle.
double meanDifference(const QImage& a, const QImage& b, const QRect& r)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    for (int row = r.top(); row <= r.bottom(); ++row) {
        for (int col = r.left(); col <= r.right(); ++col) {
            const QRgb p = x.pixel(col, row), q = y.pixel(col, row);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    }
    return sum / (3.0 * r.width() * r.height());
}

bool sameOutside(const QImage& a, const QImage& b, const QRect& inside)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col)
            if (!inside.contains(col, row) && x.pixel(col, row) != y.pixel(col, row))
                return false;
    return true;
}

} // namespace

class HtmlFolderExportTest : public ExportFixture {
protected:
    QString target(const QString& name = QStringLiteral("export")) const { return m_out.path() + '/' + name; }
    QTemporaryDir m_out;
};

TEST_F(HtmlFolderExportTest, WritesIndexAndByteForByteCopies)
{
    Guide* guide = makeGuide(QStringLiteral("Folder"));
    const QString a = saveNoise(64, 48, 7), b = saveSolid(30, 20, Qt::blue);
    addStep(guide, 1, b);
    addStep(guide, 0, a);
    addStep(guide, 2, QString()); // no file name: nothing to copy
    ExportService::Options options;
    options.includeFooter = false;
    const QString folder = target(QStringLiteral("new/nested/folder"));
    const auto result = m_service.exportHTMLFolder(*guide, folder, options);
    ASSERT_TRUE(result.hasValue()) << result.error().description().toStdString();

    EXPECT_EQ(QString::fromUtf8(test::readFile(folder + "/index.html")),
        m_service.generateHTML(*guide, ExportService::ImageMode::LinkedFiles, options));
    EXPECT_FALSE(test::readFile(folder + "/index.html").startsWith("\xEF\xBB\xBF"));
    for (const QString& name : { a, b })
        EXPECT_EQ(test::readFile(folder + "/assets/screenshots/" + name), test::readFile(screenshotPath(name)));
    EXPECT_EQ(QDir(folder + "/assets/screenshots").entryList(QDir::Files).size(), 2);
}

TEST_F(HtmlFolderExportTest, ExistingFolderKeepsOtherFilesAndReplacesOurs)
{
    Guide* guide = makeGuide(QStringLiteral("Again"));
    const QString name = saveSolid(10, 10, Qt::green);
    addStep(guide, 0, name);
    const QString folder = target();
    ASSERT_TRUE(test::writeFile(folder + "/notes.txt", "mine"));
    ASSERT_TRUE(test::writeFile(folder + "/index.html", "old page"));
    ASSERT_TRUE(test::writeFile(folder + "/assets/screenshots/" + name, "stale copy"));
    ASSERT_TRUE(test::writeFile(folder + "/assets/screenshots/other.png", "other"));

    ASSERT_TRUE(m_service.exportHTMLFolder(*guide, folder, {}).hasValue());
    EXPECT_EQ(test::readFile(folder + "/notes.txt"), "mine");
    EXPECT_EQ(test::readFile(folder + "/assets/screenshots/other.png"), "other");
    EXPECT_EQ(test::readFile(folder + "/assets/screenshots/" + name), test::readFile(screenshotPath(name)));
    EXPECT_TRUE(test::readFile(folder + "/index.html").startsWith("<!DOCTYPE html>"));
}

TEST_F(HtmlFolderExportTest, EmptyGuideGivesIndexAndEmptyAssets)
{
    Guide* guide = makeGuide(QStringLiteral("Empty"));
    ASSERT_TRUE(m_service.exportHTMLFolder(*guide, target(), {}).hasValue());
    EXPECT_TRUE(QFileInfo(target() + "/index.html").isFile());
    EXPECT_TRUE(QFileInfo(target() + "/assets/screenshots").isDir());
    EXPECT_TRUE(QDir(target() + "/assets/screenshots").isEmpty());
}

TEST_F(HtmlFolderExportTest, UnreadableScreenshotsAreLeftOutLikeInThePdfAndTheVideo)
{
    Guide* guide = makeGuide(QStringLiteral("Missing"));
    const QString present = saveSolid(10, 10, Qt::red);
    addStep(guide, 0, present);
    addStep(guide, 1, QStringLiteral("gone.png"));
    addStep(guide, 2, QStringLiteral("../../outside.png"));
    QDir().mkpath(zova::test::storage().screenshotsDirectory() + "/folder.png");
    addStep(guide, 3, QStringLiteral("folder.png"));
    ASSERT_TRUE(test::writeFile(target() + "/index.html", "earlier page"));
    const auto result = m_service.exportHTMLFolder(*guide, target(), {});
    ASSERT_TRUE(result.hasValue()) << result.error().description().toStdString();
    EXPECT_EQ(QDir(target() + "/assets/screenshots").entryList(QDir::Files), QStringList { present });
    const QByteArray page = test::readFile(target() + "/index.html");
    EXPECT_EQ(page.count("<li class=\"step\">"), 4) << "every step keeps its place in the page";
    EXPECT_FALSE(page.contains("outside.png")) << "a name with folder parts is not linked";
}

TEST_F(HtmlFolderExportTest, FolderThatCannotBeCreatedFails)
{
    Guide* guide = makeGuide(QStringLiteral("Blocked"));
    ASSERT_TRUE(test::writeFile(target("file"), "a regular file"));
    for (const QString& folder : { target("file"), target("file/below"), QString() }) {
        const auto result = m_service.exportHTMLFolder(*guide, folder, {});
        ASSERT_FALSE(result.hasValue()) << folder.toStdString();
        EXPECT_FALSE(result.error().description().isEmpty());
    }
    // assets/ taken by a file: the screenshots folder cannot be made.
    ASSERT_TRUE(test::writeFile(target("blocked") + "/assets", "x"));
    EXPECT_FALSE(m_service.exportHTMLFolder(*guide, target("blocked"), {}).hasValue());
    EXPECT_FALSE(QFileInfo::exists(target("blocked") + "/index.html"));
}

TEST_F(HtmlFolderExportTest, BlurMarksAreBurnedIntoTheCopy)
{
    Guide* guide = makeGuide(QStringLiteral("Secrets"));
    const QString secret = saveNoise(400, 200, 3);
    const QString plain = saveNoise(400, 200, 4);
    addStep(guide, 0, secret)
        ->setAnnotations({ annotation(Kind::Blur, 0.25, 0.25, 0.5, 0.5), annotation(Kind::Highlight, 0, 0, 0.1, 0.1) });
    addStep(guide, 1, plain)->setAnnotations({ annotation(Kind::Arrow, 0, 0, 1, 1) });
    ASSERT_TRUE(m_service.exportHTMLFolder(*guide, target(), {}).hasValue());

    const QImage original(screenshotPath(secret));
    const QImage copy(target() + "/assets/screenshots/" + secret);
    ASSERT_EQ(copy.size(), original.size());
    const QRect blurred(100, 50, 200, 100);
    EXPECT_TRUE(sameOutside(copy, original, blurred));
    // Noise averages out to grey: the covered pixels are far from their source.
    EXPECT_GT(meanDifference(copy, original, blurred), 40.0);
    EXPECT_EQ(test::readFile(target() + "/assets/screenshots/" + plain), test::readFile(screenshotPath(plain)));
    // The overlay markup stays in the page.
    EXPECT_TRUE(test::readFile(target() + "/index.html").contains("ann ann-blur"));
}

TEST_F(HtmlFolderExportTest, SharedScreenshotKeepsEveryStepsBlur)
{
    Guide* guide = makeGuide(QStringLiteral("Shared"));
    const QString shared = saveNoise(200, 100, 9);
    addStep(guide, 0, shared)->setAnnotations({ annotation(Kind::Blur, 0, 0, 0.5, 1) });
    addStep(guide, 1, shared); // the same file without a mark, copied after
    ASSERT_TRUE(m_service.exportHTMLFolder(*guide, target(), {}).hasValue());
    const QImage copy(target() + "/assets/screenshots/" + shared);
    const QImage original(screenshotPath(shared));
    ASSERT_EQ(copy.size(), original.size());
    EXPECT_GT(meanDifference(copy, original, QRect(0, 0, 100, 100)), 40.0);
    EXPECT_TRUE(sameOutside(copy, original, QRect(0, 0, 100, 100)));
}

// The export that the panel runs: the same folder, written off the GUI thread
// after the records were read, the completion later on the GUI thread.
TEST_F(HtmlFolderExportTest, ReturningAtOnceWritesTheSameFolderLater)
{
    Guide* guide = makeGuide(QStringLiteral("Later"));
    const QString name = saveNoise(320, 200, 5);
    addStep(guide, 0, name)->setAnnotations({ annotation(Kind::Blur, 0.25, 0.25, 0.5, 0.5) });
    ASSERT_TRUE(m_service.exportHTMLFolder(*guide, target("now"), {}).hasValue());

    std::optional<ExportService::Result> result;
    m_service.exportHTMLFolder(*guide, target("later"), {}, nullptr, [&](const ExportService::Result& r) {
        EXPECT_EQ(QThread::currentThread(), QCoreApplication::instance()->thread());
        result = r;
    });
    EXPECT_FALSE(result.has_value()) << "never from inside the call";
    // The records may change at once: what was read is what is written.
    guide->setTitle(QStringLiteral("Renamed"));
    ASSERT_TRUE(test::waitUntil([&] { return result.has_value(); }, 60000));
    ASSERT_TRUE(result->hasValue()) << result->error().description().toStdString();
    for (const QString& file : { QStringLiteral("/index.html"), "/assets/screenshots/" + name })
        EXPECT_EQ(test::readFile(target("later") + file), test::readFile(target("now") + file)) << file.toStdString();

    std::optional<ExportService::Result> failed;
    m_service.exportHTMLFolder(*guide, QString(), {}, nullptr, [&](const ExportService::Result& r) { failed = r; });
    ASSERT_TRUE(test::waitUntil([&] { return failed.has_value(); }, 60000));
    EXPECT_FALSE(failed->hasValue());

    // A receiver gone before the end hears nothing.
    bool heard = false;
    auto receiver = std::make_unique<QObject>();
    m_service.exportHTMLFolder(
        *guide, target("gone"), {}, receiver.get(), [&](const ExportService::Result&) { heard = true; });
    receiver.reset();
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
    EXPECT_FALSE(heard);
}

TEST(ExportErrorTest, Descriptions)
{
    const QList<std::pair<ExportError, QString>> table = {
        { ExportError::file("Could not write “x”: disk full"), "Could not write “x”: disk full" },
        { ExportError::load("The page could not be loaded (error -6)."), "The page could not be loaded (error -6)." },
        { ExportError::pdfRenderFailed("the page could not be printed"),
            "PDF rendering failed: the page could not be printed" },
    };
    for (const auto& [error, text] : table)
        EXPECT_EQ(error.description(), text);
}

TEST_F(HtmlFolderExportTest, OccupiedDestinationsAreReplacedNeverWrittenThrough)
{
    Guide* guide = makeGuide(QStringLiteral("Replace"));
    const QString shot = saveSolid(10, 10, Qt::green);
    addStep(guide, 0, shot);
    const QString copy = target() + "/assets/screenshots/" + shot;
    for (auto o : destinations::occupants) {
        destinations::occupy(target() + "/index.html", target("outside-page"), o);
        destinations::occupy(copy, target("outside-copy"), o);
        ASSERT_TRUE(m_service.exportHTMLFolder(*guide, target(), {}).hasValue()) << destinations::nameOf(o);
        destinations::expectReplaced(target() + "/index.html", target("outside-page"), "<!DOCTYPE html>", o);
        destinations::expectReplaced(copy, target("outside-copy"), "\x89PNG", o);
    }
}
