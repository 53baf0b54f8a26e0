#include "ExportFixture.h"
#include "PanelFakes.h"

#include "export/panel/ExportFormat.h"
#include "export/panel/ExportRun.h"
#include "export/panel/ExportSlug.h"

#include <QDir>
#include <QSignalSpy>

using namespace zova;
using Kind = DestinationRequest::Kind;

// ---- formats and slugs ------------------------------------------------------------

TEST(ExportFormatTest, CardsInOrderWithRawValues)
{
    QStringList raws;
    for (ExportFormat f : ExportFormats::all())
        raws << ExportFormats::rawValue(f);
    EXPECT_EQ(raws, (QStringList { "html", "pdf", "video", "both" }));
    for (ExportFormat f : ExportFormats::all())
        EXPECT_EQ(ExportFormats::fromRawValue(ExportFormats::rawValue(f)), f);
    EXPECT_EQ(ExportFormats::subtitle(ExportFormat::Html),
        QString::fromUtf8("Self-contained website — drop on any web server"));
    EXPECT_EQ(ExportFormats::title(ExportFormat::Both), QStringLiteral("HTML + PDF"));
}

TEST(ExportFormatTest, RawValuesAreExact)
{
    for (const char* raw : { "HTML", " html", "html ", "Pdf", "mp4", "", "videos" })
        EXPECT_FALSE(ExportFormats::fromRawValue(QString::fromLatin1(raw)).has_value()) << raw;
}

struct SlugCase {
    const char* name;
    QString title;
    QString slug;
};

class SlugTest : public ::testing::TestWithParam<SlugCase> { };

TEST_P(SlugTest, MatchesTable)
{
    const QString slug = slugFor(GetParam().title);
    EXPECT_EQ(slug, GetParam().slug);
    EXPECT_LE(slug.toUtf8().size(), maxSlugBytes);
}

static QString repeated(const QString& s, int n) { return s.repeated(n); }

INSTANTIATE_TEST_SUITE_P(Titles, SlugTest,
    ::testing::Values(SlugCase { "Plain", "My Guide", "my-guide" },
        SlugCase { "Punctuation", "Q&A: Setup (2nd run)", "qa-setup-2nd-run" },
        SlugCase { "Accents", QString::fromUtf8("Café Menü"), QString::fromUtf8("café-menü") },
        SlugCase { "ThreeSpaces", "   ", "---" }, SlugCase { "TabsAndNewlinesDropped", "a\tb\nc", "abc" },
        SlugCase { "Underscore", "snake_case-Title", "snake_case-title" },
        SlugCase { "OtherScripts", QString::fromUtf8("Привет 世界 ٣"), QString::fromUtf8("привет-世界-٣") },
        SlugCase { "EmojiDropped", QString::fromUtf8("Ship it 🚀"), "ship-it-" },
        SlugCase { "Empty", "", "vorne-export" }, SlugCase { "PunctuationOnly", "?!.../", "vorne-export" },
        SlugCase { "CutAscii", repeated("a", 250), repeated("a", 200) },
        SlugCase { "CutTwoByteEven", repeated(QString::fromUtf8("é"), 150), repeated(QString::fromUtf8("é"), 100) },
        SlugCase {
            "CutTwoByteOdd", "a" + repeated(QString::fromUtf8("é"), 150), "a" + repeated(QString::fromUtf8("é"), 99) },
        SlugCase { "CutThreeByte", repeated(QString::fromUtf8("世"), 100), repeated(QString::fromUtf8("世"), 66) },
        // e + combining acute is three bytes; the cut never parts a letter from its mark.
        SlugCase {
            "CutKeepsMarks", repeated(QString::fromUtf8("e\u0301"), 100), repeated(QString::fromUtf8("e\u0301"), 66) },
        SlugCase { "CutAstral", repeated(QString::fromUtf8("𝐀"), 60), repeated(QString::fromUtf8("𝐀"), 50) }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ExtensionTest, AddedOnlyWhenNoneTyped)
{
    const struct {
        const char* path;
        const char* expected;
    } cases[] = {
        { "/t/report", "/t/report.pdf" },
        { "/t/report.pdf", "/t/report.pdf" },
        { "/t/report.PDF", "/t/report.PDF" },
        { "/t/report.", "/t/report.pdf" },
        { "/t/v1.2/report", "/t/v1.2/report.pdf" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(withExtension(QString::fromLatin1(c.path), "pdf"), QString::fromLatin1(c.expected)) << c.path;
}

// ---- the run ------------------------------------------------------------------------

class ExportRunTest : public ExportFixture {
protected:
    void SetUp() override
    {
        ExportFixture::SetUp();
        m_guide = makeGuide(QStringLiteral("My Guide"));
        addStep(m_guide, 0);
        makeRun();
    }

    void makeRun()
    {
        m_picker = std::make_shared<FakePicker>();
        auto exporters = std::make_unique<FakeExporters>();
        m_exporters = exporters.get();
        m_calls = exporters->calls;
        m_run = std::make_unique<ExportRun>(m_guide, m_picker, std::move(exporters));
    }

    QString out(const QString& name) const { return m_out.path() + '/' + name; }

    // Runs an export and waits for its end.
    void exportAndWait()
    {
        m_run->runExport();
        EXPECT_TRUE(test::waitUntil([&] { return !m_run->isExporting(); }));
    }

    QStringList callKinds() const
    {
        QStringList kinds;
        for (const auto& c : *m_calls)
            kinds << c.kind;
        return kinds;
    }

    Guide* m_guide = nullptr;
    std::shared_ptr<FakePicker> m_picker;
    FakeExporters* m_exporters = nullptr;
    std::shared_ptr<QList<FakeExporters::Call>> m_calls;
    std::unique_ptr<ExportRun> m_run;
    QTemporaryDir m_out;
};

struct FormatCase {
    const char* name;
    ExportFormat format;
    DestinationRequest request;
    const char* chosen; // what the user named in the dialog
    QStringList calls; // exporter kind and path below the out folder
    const char* success;
};

class ExportFormatRunTest : public ExportRunTest, public ::testing::WithParamInterface<FormatCase> { };

TEST_P(ExportFormatRunTest, AsksExportsAndReports)
{
    const FormatCase& c = GetParam();
    m_run->setSelectedFormat(c.format);
    m_picker->answers[c.request.kind] = out(QString::fromLatin1(c.chosen));
    exportAndWait();

    ASSERT_EQ(m_picker->requests.size(), 1);
    EXPECT_EQ(m_picker->requests.first(), c.request);
    QStringList calls;
    for (const auto& call : *m_calls)
        calls << call.kind + ' ' + QDir(m_out.path()).relativeFilePath(call.path);
    EXPECT_EQ(calls, c.calls);
    EXPECT_EQ(m_run->statusMessage(), std::optional<QString>(QString::fromLatin1(c.success)));
    EXPECT_FALSE(m_run->didFail());
    EXPECT_FALSE(m_run->isExporting());
}

static DestinationRequest request(
    Kind kind, const char* title, const char* name, const char* ext, QStringList filters, const char* prompt)
{
    return { kind, QString::fromLatin1(title), QString::fromLatin1(name), QString::fromLatin1(ext), filters,
        QString::fromLatin1(prompt) };
}

INSTANTIATE_TEST_SUITE_P(Formats, ExportFormatRunTest,
    ::testing::Values(FormatCase { "Html", ExportFormat::Html,
                          request(Kind::SaveFolder, "Export HTML folder", "my-guide", "", {}, "Export"), "Handbook",
                          { "html Handbook" }, "HTML folder written to Handbook" },
        FormatCase { "Pdf", ExportFormat::Pdf,
            request(Kind::SaveFile, "Export PDF", "my-guide.pdf", "pdf", { "PDF document (*.pdf)" }, "Export"),
            "Printout.pdf", { "pdf Printout.pdf" }, "PDF saved as Printout.pdf" },
        FormatCase { "Video", ExportFormat::Video,
            request(Kind::SaveFile, "Export MP4", "my-guide.mp4", "mp4", { "MPEG-4 movie (*.mp4)" }, "Export"),
            "Clip.mp4", { "mp4 Clip.mp4" }, "Video saved as Clip.mp4" },
        FormatCase { "Both", ExportFormat::Both,
            request(Kind::ParentFolder, "Choose a folder to export into", "", "", {}, "Export here"), "Exports",
            { "html Exports/my-guide", "pdf Exports/my-guide.pdf" }, "Exported HTML folder + PDF to Exports" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ExportRunTest, ExportIntoTheRootFolderNamesIt)
{
    m_run->setSelectedFormat(ExportFormat::Both);
    m_picker->answers[Kind::ParentFolder] = QStringLiteral("/");
    exportAndWait();
    EXPECT_EQ(m_run->statusMessage(), std::optional<QString>(QStringLiteral("Exported HTML folder + PDF to /")));
}

TEST_F(ExportRunTest, EmptyTitleProposesVorneExport)
{
    m_guide->setTitle(QString());
    const struct {
        ExportFormat format;
        const char* name;
    } cases[] = { { ExportFormat::Html, "vorne-export" }, { ExportFormat::Pdf, "vorne-export.pdf" },
        { ExportFormat::Video, "vorne-export.mp4" } };
    for (const auto& c : cases) {
        m_run->setSelectedFormat(c.format);
        m_run->runExport();
    }
    ASSERT_EQ(m_picker->requests.size(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(m_picker->requests[i].suggestedName, QString::fromLatin1(cases[i].name));
}

// Cancelling any question exports nothing and leaves no status line, even after an
// earlier failure.
class CancelTest : public ExportRunTest, public ::testing::WithParamInterface<ExportFormat> { };

TEST_P(CancelTest, WritesNothingAndClearsTheStatus)
{
    m_run->setSelectedFormat(ExportFormat::Html);
    m_picker->answers[Kind::SaveFolder] = out("first");
    m_exporters->htmlResult = unexpected(ExportError::file("disk full"));
    exportAndWait();
    ASSERT_TRUE(m_run->didFail());
    m_calls->clear();
    m_picker->answers.clear();

    m_run->setSelectedFormat(GetParam());
    QSignalSpy exporting(m_run.get(), &ExportRun::isExportingChanged);
    m_run->runExport();
    EXPECT_EQ(m_picker->requests.size(), 2);
    EXPECT_TRUE(m_calls->isEmpty());
    EXPECT_FALSE(m_run->statusMessage().has_value());
    EXPECT_FALSE(m_run->didFail());
    EXPECT_FALSE(m_run->isExporting());
    EXPECT_EQ(exporting.count(), 0);
}

INSTANTIATE_TEST_SUITE_P(Formats, CancelTest,
    ::testing::Values(ExportFormat::Html, ExportFormat::Pdf, ExportFormat::Video, ExportFormat::Both),
    [](const auto& info) { return ExportFormats::rawValue(info.param).toStdString(); });

TEST_F(ExportRunTest, BothRunsHtmlFirstAndStopsAtItsFailure)
{
    m_run->setSelectedFormat(ExportFormat::Both);
    m_picker->answers[Kind::ParentFolder] = m_out.path();
    m_exporters->htmlResult = unexpected(ExportError::file("Could not create the folder"));
    exportAndWait();
    EXPECT_EQ(callKinds(), QStringList { "html" });
    EXPECT_EQ(m_run->statusMessage(), std::optional<QString>("Could not create the folder"));
    EXPECT_TRUE(m_run->didFail());

    m_calls->clear();
    m_exporters->htmlResult = {};
    m_exporters->pdfResult = unexpected(ExportError::pdfRenderFailed("page crashed"));
    exportAndWait();
    EXPECT_EQ(callKinds(), (QStringList { "html", "pdf" }));
    EXPECT_EQ(m_run->statusMessage(), std::optional<QString>("PDF rendering failed: page crashed"));
    EXPECT_TRUE(m_run->didFail());
}

struct ReplaceCase {
    const char* name;
    ExportFormat format;
    const char* existing; // below the out folder; a trailing "/" makes a folder
    const char* asked; // the name the question is about; nullptr when nothing is asked
};

class ReplaceTest : public ExportRunTest, public ::testing::WithParamInterface<ReplaceCase> { };

// Whatever the format, what an earlier export wrote at the destination is replaced
// only once the user agreed; files the export would not write ask nothing.
TEST_P(ReplaceTest, AsksBeforeReplacingAnEarlierExport)
{
    const ReplaceCase& c = GetParam();
    addStep(m_guide, 1, QStringLiteral("shot.png"));
    const QString existing = QString::fromLatin1(c.existing);
    if (existing.endsWith('/')) {
        QDir().mkpath(out(existing));
    } else if (!existing.isEmpty()) {
        ASSERT_TRUE(test::writeFile(out(existing), "old"));
    }
    m_run->setSelectedFormat(c.format);
    m_picker->answers[Kind::SaveFolder] = out("Handbook");
    m_picker->answers[Kind::SaveFile] = out(c.format == ExportFormat::Pdf ? "Printout.pdf" : "Clip.mp4");
    m_picker->answers[Kind::ParentFolder] = m_out.path();
    const QStringList kinds = c.format == ExportFormat::Html ? QStringList { "html" }
        : c.format == ExportFormat::Pdf                      ? QStringList { "pdf" }
        : c.format == ExportFormat::Video                    ? QStringList { "mp4" }
                                                             : QStringList { "html", "pdf" };

    m_picker->replace = false;
    exportAndWait();
    EXPECT_EQ(m_picker->replaceQuestions, c.asked ? QStringList { c.asked } : QStringList {});
    EXPECT_EQ(callKinds(), c.asked ? QStringList {} : kinds);
    if (c.asked) {
        EXPECT_FALSE(m_run->statusMessage().has_value());
        EXPECT_FALSE(m_run->isExporting());
    }

    m_calls->clear();
    m_picker->replace = true;
    exportAndWait();
    EXPECT_EQ(callKinds(), kinds);
    EXPECT_FALSE(m_run->didFail());
}

INSTANTIATE_TEST_SUITE_P(Existing, ReplaceTest,
    ::testing::Values(ReplaceCase { "HtmlIntoNothing", ExportFormat::Html, "", nullptr },
        ReplaceCase { "HtmlBesideOtherFiles", ExportFormat::Html, "Handbook/notes.txt", nullptr },
        ReplaceCase {
            "HtmlBesideOtherScreenshots", ExportFormat::Html, "Handbook/assets/screenshots/other.png", nullptr },
        ReplaceCase { "HtmlOverItsPage", ExportFormat::Html, "Handbook/index.html", "Handbook" },
        ReplaceCase { "HtmlOverAScreenshot", ExportFormat::Html, "Handbook/assets/screenshots/shot.png", "Handbook" },
        ReplaceCase { "PdfIntoNothing", ExportFormat::Pdf, "other.pdf", nullptr },
        ReplaceCase { "PdfOverItsFile", ExportFormat::Pdf, "Printout.pdf", "Printout.pdf" },
        ReplaceCase { "VideoIntoNothing", ExportFormat::Video, "", nullptr },
        ReplaceCase { "VideoOverItsFile", ExportFormat::Video, "Clip.mp4", "Clip.mp4" },
        ReplaceCase { "BothIntoNothing", ExportFormat::Both, "", nullptr },
        ReplaceCase { "BothBesideOtherNames", ExportFormat::Both, "other.pdf", nullptr },
        ReplaceCase { "BothOverTheFolder", ExportFormat::Both, "my-guide/", "my-guide" },
        ReplaceCase { "BothOverThePdf", ExportFormat::Both, "my-guide.pdf", "my-guide" },
        ReplaceCase { "BothOverAFileWhereTheFolderGoes", ExportFormat::Both, "my-guide", "my-guide" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ExportRunTest, DialogStringsAreTheQuestion)
{
    EXPECT_EQ(
        DestinationPicker::replaceQuestion("my-guide"), QString::fromUtf8("Replace the existing export “my-guide”?"));
}

struct OptionsCase {
    const char* name;
    bool footer;
    bool reveal;
    bool narrate;
};

class OptionsTest : public ExportRunTest, public ::testing::WithParamInterface<OptionsCase> { };

TEST_P(OptionsTest, EachExporterGetsThePanelsSwitches)
{
    const OptionsCase& c = GetParam();
    m_run->setIncludeFooter(c.footer);
    m_run->setRevealWhenDone(c.reveal);
    m_run->setNarrateVideo(c.narrate);
    m_picker->answers[Kind::SaveFolder] = out("a");
    m_picker->answers[Kind::SaveFile] = out("b.x");
    m_picker->answers[Kind::ParentFolder] = m_out.path();
    for (ExportFormat f : ExportFormats::all()) {
        m_run->setSelectedFormat(f);
        exportAndWait();
    }
    ASSERT_EQ(callKinds(), (QStringList { "html", "pdf", "mp4", "html", "pdf" }));
    for (const auto& call : *m_calls) {
        if (call.kind == "mp4") {
            const VideoExportOptions& v = call.videoOptions;
            EXPECT_EQ(v.width, 1920);
            EXPECT_EQ(v.height, 1080);
            EXPECT_EQ(v.fps, 30);
            EXPECT_EQ(v.minSecondsPerStep, 3.0);
            EXPECT_EQ(v.tailSecondsAfterNarration, 0.5);
            EXPECT_EQ(v.revealWhenDone, c.reveal);
            EXPECT_EQ(v.themeAccentHex, "ff3d8a");
            EXPECT_EQ(v.narrateSteps, c.narrate);
            EXPECT_TRUE(bool(v.progress));
            EXPECT_EQ(v.synthesisTimeoutSeconds, 30.0);
        } else {
            EXPECT_EQ(call.options.includeFooter, c.footer) << call.kind.toStdString();
            EXPECT_EQ(call.options.themeAccentHex, "ff3d8a");
            EXPECT_EQ(call.options.revealWhenDone, c.reveal);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Switches, OptionsTest,
    ::testing::Values(OptionsCase { "AllOn", true, true, true }, OptionsCase { "AllOff", false, false, false },
        OptionsCase { "FooterOnly", true, false, false }, OptionsCase { "NarrationOnly", false, false, true }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ExportRunTest, NarrationIsReadWhenTheVideoStarts)
{
    m_run->setSelectedFormat(ExportFormat::Video);
    m_picker->answers[Kind::SaveFile] = out("v.mp4");
    m_picker->duringPick = [&] { m_run->setNarrateVideo(false); };
    exportAndWait();
    ASSERT_EQ(m_calls->size(), 1);
    EXPECT_FALSE(m_calls->first().videoOptions.narrateSteps);
}

TEST_F(ExportRunTest, VideoProgressShowsAsSuccessLinesUntilTheResult)
{
    m_exporters->completeAtOnce = false;
    m_run->setSelectedFormat(ExportFormat::Video);
    m_picker->answers[Kind::SaveFile] = out("v.mp4");
    m_run->runExport();
    ASSERT_TRUE(m_run->isExporting());
    for (const char* text : { "Synthesizing narration 1/3\u2026", "Rendering video\u2026" }) {
        (*m_exporters->videoProgress)(QString::fromUtf8(text));
        EXPECT_EQ(m_run->statusMessage(), std::optional<QString>(QString::fromUtf8(text)));
        EXPECT_FALSE(m_run->didFail());
        EXPECT_TRUE(m_run->isExporting());
    }
    (*m_exporters->pendingVideo)(unexpected(VideoExportError::noUsableSteps()));
    EXPECT_EQ(m_run->statusMessage(),
        std::optional<QString>(QString::fromUtf8("Nothing to render — no steps with screenshots.")));
    EXPECT_TRUE(m_run->didFail());
    EXPECT_FALSE(m_run->isExporting());
    // A late progress text does not overwrite the result.
    (*m_exporters->videoProgress)(QStringLiteral("Finalizing MP4\u2026"));
    EXPECT_TRUE(m_run->didFail());
}

TEST_F(ExportRunTest, ASecondRunWhileExportingIsIgnored)
{
    m_exporters->completeAtOnce = false;
    m_run->setSelectedFormat(ExportFormat::Pdf);
    m_picker->answers[Kind::SaveFile] = out("a.pdf");
    m_run->runExport();
    m_run->runExport();
    EXPECT_EQ(m_picker->requests.size(), 1);
    EXPECT_EQ(m_calls->size(), 1);
}

TEST_F(ExportRunTest, NotificationsOnlyOnRealChanges)
{
    QSignalSpy format(m_run.get(), &ExportRun::selectedFormatChanged);
    QSignalSpy footer(m_run.get(), &ExportRun::includeFooterChanged);
    m_run->setSelectedFormat(ExportFormat::Html);
    m_run->setIncludeFooter(true);
    EXPECT_EQ(format.count() + footer.count(), 0);
    m_run->setSelectedFormat(ExportFormat::Pdf);
    m_run->setIncludeFooter(false);
    EXPECT_EQ(format.count() + footer.count(), 2);
}

TEST_F(ExportRunTest, GuideDeletedAfterItsHtmlFolderMakesNoPdf)
{
    m_run->setSelectedFormat(ExportFormat::Both);
    m_picker->answers[Kind::ParentFolder] = m_out.path();
    m_run->runExport();
    ASSERT_EQ(callKinds(), QStringList { "html" });
    context()->remove(m_guide); // while the folder is written
    ASSERT_TRUE(test::waitUntil([&] { return !m_run->isExporting(); }));
    EXPECT_EQ(callKinds(), QStringList { "html" });
    EXPECT_TRUE(m_run->didFail());
    EXPECT_EQ(m_run->statusMessage(), std::optional<QString>("The guide was deleted before the PDF was made."));
}

TEST_F(ExportRunTest, GuideDeletedWhileChoosingExportsNothing)
{
    m_run->setSelectedFormat(ExportFormat::Pdf);
    m_picker->answers[Kind::SaveFile] = out("a.pdf");
    m_picker->duringPick = [&] { context()->remove(m_guide); };
    m_run->runExport();
    EXPECT_TRUE(m_calls->isEmpty());
    EXPECT_TRUE(m_run->didFail());
    EXPECT_EQ(m_run->statusMessage(), std::optional<QString>("The guide was deleted before the export started."));
}
