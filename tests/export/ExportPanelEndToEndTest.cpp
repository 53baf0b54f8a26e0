#include "ExportFixture.h"
#include "PanelFakes.h"

#include "export/panel/ExportPanel.h"
#include "export/panel/ExportRun.h"

#include <QDir>
#include <QFile>

using namespace zova;
using Kind = DestinationRequest::Kind;

namespace {

QByteArray head(const QString& path, int bytes)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.read(bytes) : QByteArray();
}

bool isPdf(const QString& path) { return head(path, 5) == "%PDF-"; }

bool isMp4(const QString& path) { return head(path, 12).mid(4, 4) == "ftyp"; }

bool isHtmlFolder(const QString& path)
{
    return head(path + "/index.html", 15).startsWith("<!DOCTYPE html>")
        && QDir(path + "/assets/screenshots").entryList(QDir::Files).size() == 2;
}

} // namespace

// The panel with the real exporters, choosing destinations through a scripted picker.
class ExportPanelEndToEndTest : public ExportFixture {
protected:
    void SetUp() override
    {
        ExportFixture::SetUp();
        m_guide = makeGuide(QStringLiteral("My Guide"));
        addStep(m_guide, 0, saveSolid(320, 200, QColor(0x33, 0x66, 0x99)))->setUserDescription("Open the menu");
        addStep(m_guide, 1, saveSolid(320, 200, QColor(0x99, 0x33, 0x66)))->setUserDescription("Pick Settings");
        m_host = std::make_unique<QWidget>();
        m_host->resize(1280, 820);
        m_picker = std::make_shared<FakePicker>();
        m_picker->answers[Kind::SaveFolder] = out("Handbook");
        m_picker->answers[Kind::SaveFile] = out("export");
        m_picker->answers[Kind::ParentFolder] = m_out.path();
        ExportPanel::Dependencies deps;
        deps.picker = m_picker;
        m_panel = new ExportPanel(m_guide, {}, m_settings, zova::test::storage(), std::move(deps), m_host.get());
        m_host->show();
        run()->setRevealWhenDone(false);
    }

    ExportRun* run() const { return m_panel->run(); }
    QString out(const QString& name) const { return m_out.path() + '/' + name; }

    bool exportAndWait(ExportFormat format)
    {
        run()->setSelectedFormat(format);
        run()->runExport();
        return test::waitUntil([&] { return !run()->isExporting(); }, 180000);
    }

    Guide* m_guide = nullptr;
    std::unique_ptr<QWidget> m_host;
    QPointer<ExportPanel> m_panel;
    std::shared_ptr<FakePicker> m_picker;
    QTemporaryDir m_out;
};

TEST_F(ExportPanelEndToEndTest, EveryFormatWritesItsOutput)
{
    const struct {
        ExportFormat format;
        const char* answer; // what the picker returns for a file
        const char* success;
        std::function<bool(const QString& dir)> written;
    } cases[] = {
        { ExportFormat::Html, nullptr, "HTML folder written to Handbook",
            [](const QString& dir) { return isHtmlFolder(dir + "/Handbook"); } },
        { ExportFormat::Pdf, "Guide.pdf", "PDF saved as Guide.pdf",
            [](const QString& dir) { return isPdf(dir + "/Guide.pdf"); } },
        { ExportFormat::Video, "Guide.mp4", "Video saved as Guide.mp4",
            [](const QString& dir) { return isMp4(dir + "/Guide.mp4"); } },
        { ExportFormat::Both, nullptr, nullptr,
            [](const QString& dir) { return isHtmlFolder(dir + "/my-guide") && isPdf(dir + "/my-guide.pdf"); } },
    };
    for (const auto& c : cases) {
        if (c.answer)
            m_picker->answers[Kind::SaveFile] = out(QString::fromLatin1(c.answer));
        ASSERT_TRUE(exportAndWait(c.format)) << ExportFormats::rawValue(c.format).toStdString();
        const QString expected = c.success
            ? QString::fromLatin1(c.success)
            : QStringLiteral("Exported HTML folder + PDF to ") + QDir(m_out.path()).dirName();
        EXPECT_EQ(run()->statusMessage().value_or("none"), expected);
        EXPECT_FALSE(run()->didFail());
        EXPECT_TRUE(c.written(m_out.path())) << ExportFormats::rawValue(c.format).toStdString();
    }
}

TEST_F(ExportPanelEndToEndTest, PdfFailureInBothKeepsTheHtmlFolder)
{
    QDir().mkpath(out("my-guide.pdf")); // a folder where the PDF file must go
    ASSERT_TRUE(exportAndWait(ExportFormat::Both));
    EXPECT_EQ(m_picker->replaceQuestions, QStringList { "my-guide" });
    EXPECT_TRUE(run()->didFail());
    EXPECT_TRUE(run()->statusMessage().value_or(QString()).contains("my-guide.pdf"));
    EXPECT_TRUE(isHtmlFolder(out("my-guide")));
}

TEST_F(ExportPanelEndToEndTest, ClosingTheHostDuringRealExportsIsSafe)
{
    for (ExportFormat format : { ExportFormat::Pdf, ExportFormat::Video }) {
        if (!m_panel) {
            m_host = std::make_unique<QWidget>();
            ExportPanel::Dependencies deps;
            deps.picker = m_picker;
            m_panel = new ExportPanel(m_guide, {}, m_settings, zova::test::storage(), std::move(deps), m_host.get());
            run()->setRevealWhenDone(false);
        }
        m_picker->answers[Kind::SaveFile] = out(format == ExportFormat::Pdf ? "gone.pdf" : "gone.mp4");
        run()->setSelectedFormat(format);
        run()->runExport();
        ASSERT_TRUE(run()->isExporting());
        m_host.reset();
        EXPECT_TRUE(m_panel.isNull());
        // Let whatever the exporters still had queued arrive.
        test::waitUntil([] { return false; }, 1500);
    }
}
