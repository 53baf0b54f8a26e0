#include "ExportFixture.h"
#include "PanelFakes.h"

#include "export/NarratorService.h"
#include "export/panel/ExportButton.h"
#include "export/panel/ExportPanel.h"
#include "export/panel/ExportRun.h"
#include "export/panel/FormatCard.h"
#include "export/panel/OptionSwitch.h"
#include "export/panel/StatusLine.h"
#include "style/CloseButton.h"
#include "style/GlassCard.h"
#include "style/TextLine.h"
#include "style/ZOVAColor.h"

#include <QTest>

using namespace zova;
using Kind = DestinationRequest::Kind;

namespace {

class FakeCatalog : public speech::VoiceCatalog {
public:
    explicit FakeCatalog(QList<speech::SpeechVoice> voices)
        : m_voices(std::move(voices))
    {
    }
    QList<speech::SpeechVoice> installedVoices() const override { return m_voices; }
    QList<speech::SpeechVoice> m_voices;
};

std::unique_ptr<NarratorService> narratorWith(QList<speech::SpeechVoice> voices)
{
    NarratorService::Sources sources;
    sources.catalog = std::make_shared<FakeCatalog>(std::move(voices));
    sources.localeIdentifier = [] { return QStringLiteral("en_GB"); };
    sources.storedVoiceId = [] { return QString(); };
    return std::make_unique<NarratorService>(sources);
}

const speech::SpeechVoice britishVoice { "gmw/en-GB", "English (Great Britain)", "en-GB",
    speech::SpeechVoice::Default };

} // namespace

class ExportPanelTest : public ExportFixture {
protected:
    void SetUp() override
    {
        ExportFixture::SetUp();
        m_guide = makeGuide(QStringLiteral("My Guide"));
        addStep(m_guide, 0);
        addStep(m_guide, 1);
        m_host = std::make_unique<QWidget>();
        m_host->resize(1280, 820);
        makePanel({ britishVoice });
        m_host->show();
    }

    void makePanel(QList<speech::SpeechVoice> voices)
    {
        delete m_panel;
        m_picker = std::make_shared<FakePicker>();
        auto exporters = std::make_unique<FakeExporters>();
        m_exporters = exporters.get();
        m_calls = exporters->calls;
        ExportPanel::Dependencies deps { m_picker, std::move(exporters), narratorWith(std::move(voices)) };
        m_panel = new ExportPanel(
            m_guide, [this] { ++m_dismissed; }, m_settings, zova::test::storage(), std::move(deps), m_host.get());
        m_panel->show();
    }

    ExportRun* run() const { return m_panel->run(); }

    void clickBackdrop() { QTest::mouseClick(m_panel, Qt::LeftButton, {}, QPoint(10, 10)); }

    // Presses the export button; the run starts on the next turn of the event loop.
    void pressExport()
    {
        QTest::mouseClick(m_panel->exportButton(), Qt::LeftButton, {}, m_panel->exportButton()->rect().center());
        // The run starts on the next turn of the event loop, and the fake exporters
        // finish on a later one.
        QCoreApplication::processEvents();
        test::waitUntil([&] { return !m_panel || !run()->isExporting(); });
        QCoreApplication::processEvents();
    }

    Guide* m_guide = nullptr;
    std::unique_ptr<QWidget> m_host;
    QPointer<ExportPanel> m_panel;
    std::shared_ptr<FakePicker> m_picker;
    FakeExporters* m_exporters = nullptr;
    std::shared_ptr<QList<FakeExporters::Call>> m_calls;
    int m_dismissed = 0;
    QTemporaryDir m_out;
};

TEST_F(ExportPanelTest, HeaderTexts)
{
    const struct {
        const char* title;
        int steps;
        const char* header;
        const char* subtitle;
    } cases[] = {
        { "My Guide", 2, "Export “My Guide”", "2 steps · pick a format and a save location" },
        { "", 1, "Export “Untitled Guide”", "1 step · pick a format and a save location" },
        { "   ", 0, "Export “   ”", "0 steps · pick a format and a save location" },
    };
    for (const auto& c : cases) {
        Guide* guide = makeGuide(QString::fromUtf8(c.title));
        for (int i = 0; i < c.steps; ++i)
            addStep(guide, i);
        ExportPanel panel(guide, {}, m_settings, zova::test::storage(),
            { m_picker, std::make_unique<FakeExporters>(), narratorWith({}) }, m_host.get());
        EXPECT_EQ(panel.titleLabel()->text(), QString::fromUtf8(c.header));
        EXPECT_EQ(panel.subtitleLabel()->text(), QString::fromUtf8(c.subtitle));
    }
}

TEST_F(ExportPanelTest, SubtitleFollowsTheStepCountAndTitle)
{
    addStep(m_guide, 2);
    EXPECT_EQ(m_panel->subtitleLabel()->text(), QString::fromUtf8("3 steps · pick a format and a save location"));
    m_guide->setTitle("Renamed");
    EXPECT_EQ(m_panel->titleLabel()->text(), QString::fromUtf8("Export “Renamed”"));
}

TEST_F(ExportPanelTest, StartsWithHtmlAndEverySwitchOn)
{
    EXPECT_EQ(run()->selectedFormat(), ExportFormat::Html);
    EXPECT_TRUE(m_panel->formatCard(ExportFormat::Html)->isChecked());
    for (OptionSwitch* s : { m_panel->footerSwitch(), m_panel->revealSwitch(), m_panel->narrationSwitch() })
        EXPECT_TRUE(s->isChecked()) << s->text().toStdString();
    EXPECT_EQ(m_panel->footerSwitch()->text(), QString::fromUtf8("Include “Made with Z.O.V.A” footer"));
    EXPECT_EQ(m_panel->revealSwitch()->text(), QStringLiteral("Show in file manager after export"));
    EXPECT_FALSE(m_panel->statusLine()->isVisible());
    EXPECT_EQ(m_panel->exportButton()->text(), QStringLiteral("Choose location & export"));
    EXPECT_EQ(m_panel->geometry(), m_host->rect());
    m_host->resize(900, 700);
    EXPECT_EQ(m_panel->geometry(), m_host->rect());
}

TEST_F(ExportPanelTest, CardsSelectTheFormat)
{
    for (ExportFormat f : { ExportFormat::Pdf, ExportFormat::Both, ExportFormat::Video, ExportFormat::Html }) {
        QTest::mouseClick(m_panel->formatCard(f), Qt::LeftButton);
        EXPECT_EQ(run()->selectedFormat(), f);
        for (ExportFormat other : ExportFormats::all())
            EXPECT_EQ(m_panel->formatCard(other)->isChecked(), other == f);
    }
}

TEST_F(ExportPanelTest, NarrationRowOnlyForVideoAndKeepsItsValue)
{
    const struct {
        ExportFormat format;
        bool shown;
    } steps[] = { { ExportFormat::Html, false }, { ExportFormat::Video, true }, { ExportFormat::Pdf, false },
        { ExportFormat::Both, false }, { ExportFormat::Video, true } };
    for (const auto& s : steps) {
        QTest::mouseClick(m_panel->formatCard(s.format), Qt::LeftButton);
        EXPECT_EQ(m_panel->narrationSwitch()->isVisible(), s.shown);
        if (s.format == ExportFormat::Video && m_panel->narrationSwitch()->isChecked())
            QTest::mouseClick(m_panel->narrationSwitch(), Qt::LeftButton);
    }
    EXPECT_FALSE(m_panel->narrationSwitch()->isChecked());
    EXPECT_FALSE(run()->narrateVideo());
}

TEST_F(ExportPanelTest, NarratorLineNamesTheVoiceOrSaysThereIsNone)
{
    const struct {
        QList<speech::SpeechVoice> voices;
        const char* line;
    } cases[] = {
        { { britishVoice }, "Narrated by English (Great Britain) · en-GB · change in Settings → Voice" },
        { {}, "No voice available on this computer" },
    };
    for (const auto& c : cases) {
        makePanel(c.voices);
        QTest::mouseClick(m_panel->formatCard(ExportFormat::Video), Qt::LeftButton);
        EXPECT_EQ(m_panel->narrationSwitch()->detail(), QString::fromUtf8(c.line));
        EXPECT_EQ(m_panel->narrationSwitch()->text(), QStringLiteral("Read step descriptions aloud"));
        QTest::mouseClick(m_panel->narrationSwitch(), Qt::LeftButton);
        QTest::mouseClick(m_panel->narrationSwitch(), Qt::LeftButton);
        EXPECT_TRUE(run()->narrateVideo());
    }
}

TEST_F(ExportPanelTest, EveryWayOutAsksTheHostToDismiss)
{
    clickBackdrop();
    QTest::mouseClick(m_panel->closeButton(), Qt::LeftButton);
    QTest::mouseClick(m_panel->cancelButton(), Qt::LeftButton, {}, m_panel->cancelButton()->rect().center());
    EXPECT_EQ(m_dismissed, 3);
    // A press on the card, even on a bare part of it, is not a backdrop tap.
    QTest::mouseClick(m_panel->card(), Qt::LeftButton, {}, QPoint(m_panel->card()->width() - 5, 5));
    EXPECT_EQ(m_dismissed, 3);
    EXPECT_TRUE(m_panel->isVisible()); // the host decides
}

TEST_F(ExportPanelTest, ExportingDisablesTheControlsAndIgnoresTaps)
{
    m_exporters->completeAtOnce = false;
    m_picker->answers[Kind::SaveFile] = m_out.path() + "/a.pdf";
    QTest::mouseClick(m_panel->formatCard(ExportFormat::Pdf), Qt::LeftButton);
    pressExport();
    ASSERT_TRUE(run()->isExporting());

    EXPECT_FALSE(m_panel->closeButton()->isEnabled());
    EXPECT_FALSE(m_panel->cancelButton()->isEnabled());
    EXPECT_FALSE(m_panel->exportButton()->isEnabled());
    for (ExportFormat f : ExportFormats::all())
        EXPECT_FALSE(m_panel->formatCard(f)->isEnabled());
    EXPECT_TRUE(m_panel->footerSwitch()->isEnabled());
    EXPECT_TRUE(m_panel->revealSwitch()->isEnabled());
    EXPECT_TRUE(m_panel->exportButton()->isBusy());
    EXPECT_EQ(m_panel->exportButton()->text(), QString::fromUtf8("Exporting…"));
    clickBackdrop();
    QTest::mouseClick(m_panel->closeButton(), Qt::LeftButton);
    EXPECT_EQ(m_dismissed, 0);
    QTest::mouseClick(m_panel->formatCard(ExportFormat::Html), Qt::LeftButton);
    EXPECT_EQ(run()->selectedFormat(), ExportFormat::Pdf);

    (*m_exporters->pendingPdf)({});
    EXPECT_FALSE(run()->isExporting());
    EXPECT_TRUE(m_panel->cancelButton()->isEnabled());
    EXPECT_EQ(m_panel->exportButton()->text(), QStringLiteral("Choose location & export"));
    clickBackdrop();
    EXPECT_EQ(m_dismissed, 1);
}

TEST_F(ExportPanelTest, StatusLineTurnsFromRedToGreen)
{
    m_picker->answers[Kind::SaveFolder] = m_out.path() + "/Handbook";
    m_exporters->htmlResult = unexpected(ExportError::file("Could not write “index.html”: No space left on device"));
    pressExport();
    ASSERT_TRUE(m_panel->statusLine()->isVisible());
    EXPECT_EQ(
        m_panel->statusLine()->message(), QString::fromUtf8("Could not write “index.html”: No space left on device"));
    EXPECT_EQ(m_panel->statusLine()->symbol(), QStringLiteral("xmark.octagon.fill"));
    EXPECT_EQ(m_panel->statusLine()->symbolColor(), ZOVAColor::magenta());

    m_exporters->htmlResult = {};
    pressExport();
    EXPECT_EQ(m_panel->statusLine()->message(), QStringLiteral("HTML folder written to Handbook"));
    EXPECT_EQ(m_panel->statusLine()->symbol(), QStringLiteral("checkmark.circle.fill"));
    EXPECT_EQ(m_panel->statusLine()->symbolColor(), ZOVAColor::emerald());

    // A cancelled question removes the line again.
    m_picker->answers.clear();
    pressExport();
    EXPECT_FALSE(m_panel->statusLine()->isVisible());
    EXPECT_FALSE(run()->isExporting());
}

struct HostGoneCase {
    const char* name;
    ExportFormat format;
    bool duringPick; // else while the exporter runs
};

class HostGoneTest : public ExportPanelTest, public ::testing::WithParamInterface<HostGoneCase> { };

TEST_P(HostGoneTest, ClosingTheHostNeverCrashes)
{
    const HostGoneCase& c = GetParam();
    m_exporters->completeAtOnce = false;
    run()->setSelectedFormat(c.format);
    m_picker->answers[Kind::SaveFolder] = m_out.path() + "/h";
    m_picker->answers[Kind::SaveFile] = m_out.path() + "/f.x";
    m_picker->answers[Kind::ParentFolder] = m_out.path();
    if (c.duringPick)
        m_picker->duringPick = [&] { m_host.reset(); };
    const auto pendingPdf = m_exporters->pendingPdf;
    const auto pendingVideo = m_exporters->pendingVideo;
    const auto progress = m_exporters->videoProgress;
    pressExport();
    if (!c.duringPick)
        m_host.reset();
    EXPECT_TRUE(m_panel.isNull());
    if (c.duringPick) {
        EXPECT_TRUE(m_calls->isEmpty());
    }
    // Late news from exporters that do not check their receiver.
    if (*progress)
        (*progress)(QStringLiteral("Rendering video\u2026"));
    if (*pendingPdf)
        (*pendingPdf)({});
    if (*pendingVideo)
        (*pendingVideo)({});
    QCoreApplication::processEvents();
}

INSTANTIATE_TEST_SUITE_P(Moments, HostGoneTest,
    ::testing::Values(HostGoneCase { "PickingHtml", ExportFormat::Html, true },
        HostGoneCase { "PickingBoth", ExportFormat::Both, true },
        HostGoneCase { "RenderingPdf", ExportFormat::Pdf, false },
        HostGoneCase { "RenderingBoth", ExportFormat::Both, false },
        HostGoneCase { "EncodingVideo", ExportFormat::Video, false }),
    [](const auto& info) { return std::string(info.param.name); });
