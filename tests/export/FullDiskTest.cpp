// Exports onto a disk that fills up: a small tmpfs of its own, mounted for the test
// (which needs root, as CI runs). Each format says in the system's words that the
// disk is full and leaves nothing of itself on it; what was there before stays.
#include "ExportFixture.h"

#include "export/VideoExportService.h"
#include "model/TemporaryFiles.h"

#include <QDirIterator>
#include <QProcess>

#include <cstring>

#include <unistd.h>

using namespace zova;

namespace {

const QString diskFull = QString::fromLocal8Bit(std::strerror(ENOSPC));

} // namespace

class FullDiskTest : public ExportFixture {
protected:
    void SetUp() override
    {
        ExportFixture::SetUp();
        if (::geteuid() != 0)
            GTEST_SKIP() << "a small file system of its own needs root (mount -t tmpfs)";
        ASSERT_TRUE(m_disk.isValid());
        QProcess mount;
        mount.start(QStringLiteral("mount"), { "-t", "tmpfs", "-o", "size=256k", "tmpfs", m_disk.path() });
        ASSERT_TRUE(mount.waitForFinished(20000));
        ASSERT_EQ(mount.exitCode(), 0) << mount.readAllStandardError().toStdString();
        m_mounted = true;
        // Screenshots of noise do not compress: the first copy already overfills the disk.
        m_guide = makeGuide(QStringLiteral("Full disk"));
        for (int i = 0; i < 3; ++i)
            addStep(m_guide, i, saveNoise(480, 320, quint32(i + 1)));
    }

    void TearDown() override
    {
        if (m_mounted)
            QProcess::execute(QStringLiteral("umount"), { m_disk.path() });
    }

    QString onDisk(const QString& name) const { return m_disk.path() + '/' + name; }

    // Everything on the disk, hidden files included.
    QStringList diskEntries() const
    {
        QStringList found;
        QDirIterator it(m_disk.path(), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
            QDirIterator::Subdirectories);
        while (it.hasNext())
            found << QDir(m_disk.path()).relativeFilePath(it.next());
        found.sort();
        return found;
    }

    ExportService::Result exportPdf(const QString& to)
    {
        std::optional<ExportService::Result> result;
        m_service.exportPDF(*m_guide, to, {}, nullptr, [&](const ExportService::Result& r) { result = r; });
        EXPECT_TRUE(test::waitUntil([&] { return result.has_value(); }, 300000));
        return result.value_or(unexpected(ExportError::file(QStringLiteral("timed out"))));
    }

    QTemporaryDir m_disk;
    bool m_mounted = false;
    Guide* m_guide = nullptr;
};

TEST_F(FullDiskTest, HtmlFolderSaysTheDiskIsFullAndLeavesNothing)
{
    const auto result = m_service.exportHTMLFolder(*m_guide, onDisk("guide"), {});
    ASSERT_FALSE(result.hasValue());
    EXPECT_TRUE(result.error().description().endsWith(diskFull)) << result.error().description().toStdString();
    EXPECT_EQ(diskEntries(), QStringList()) << "left behind";
    EXPECT_TRUE(QDir(TemporaryFiles::directory()).isEmpty());
}

TEST_F(FullDiskTest, HtmlFolderIntoAnEarlierExportKeepsIt)
{
    ASSERT_TRUE(test::writeFile(onDisk("guide/index.html"), "earlier page"));
    ASSERT_TRUE(test::writeFile(onDisk("guide/notes.txt"), "mine"));
    const auto result = m_service.exportHTMLFolder(*m_guide, onDisk("guide"), {});
    ASSERT_FALSE(result.hasValue());
    EXPECT_TRUE(result.error().description().endsWith(diskFull)) << result.error().description().toStdString();
    EXPECT_EQ(diskEntries(), (QStringList { "guide", "guide/index.html", "guide/notes.txt" }));
    EXPECT_EQ(test::readFile(onDisk("guide/index.html")), "earlier page");
}

TEST_F(FullDiskTest, PdfSaysTheDiskIsFullAndLeavesNothing)
{
    ASSERT_TRUE(test::writeFile(onDisk("earlier.pdf"), "earlier"));
    const auto result = exportPdf(onDisk("guide.pdf"));
    ASSERT_FALSE(result.hasValue());
    EXPECT_TRUE(result.error().description().endsWith(diskFull)) << result.error().description().toStdString();
    EXPECT_EQ(diskEntries(), QStringList { "earlier.pdf" });
    EXPECT_TRUE(QDir(TemporaryFiles::directory()).isEmpty());
}

TEST_F(FullDiskTest, VideoSaysTheDiskIsFullAndLeavesNothing)
{
    // A slideshow of still frames is small: most of the disk is taken already.
    ASSERT_TRUE(test::writeFile(onDisk("filler"), QByteArray(240 * 1024, 'x')));
    VideoExportService service(m_settings, test::storage());
    VideoExportOptions options;
    options.width = 480;
    options.height = 320;
    options.narrateSteps = false;
    std::optional<VideoExportService::Result> result;
    service.exportMP4(m_guide, onDisk("guide.mp4"), options, [&](const VideoExportService::Result& r) { result = r; });
    ASSERT_TRUE(test::waitUntil([&] { return result.has_value(); }, 300000));
    ASSERT_FALSE(result->hasValue());
    EXPECT_TRUE(result->error().description().endsWith(diskFull)) << result->error().description().toStdString();
    EXPECT_EQ(diskEntries(), QStringList { "filler" }) << "left behind";
    EXPECT_TRUE(QDir(TemporaryFiles::directory()).isEmpty());
}
