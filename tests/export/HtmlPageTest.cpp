#include "ExportFixture.h"

#include "export/PrintShadows.h"

#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QRegularExpression>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>

using namespace zova;
using Kind = StepAnnotation::Kind;

namespace {

QString frame(const QString& title, const QString& count, const QString& steps, const QString& footerLine)
{
    return QStringLiteral("<!DOCTYPE html>\n"
                          "<html lang=\"en\">\n"
                          "<head>\n"
                          "    <meta charset=\"UTF-8\">\n"
                          "    <meta name=\"viewport\" content=\"width=device-width, initial-scale=1.0\">\n"
                          "    <meta name=\"color-scheme\" content=\"light\">\n"
                          "    <meta name=\"supported-color-schemes\" content=\"light\">\n"
                          "    <title>%1</title>\n"
                          "    <style>CSS</style>\n"
                          "</head>\n"
                          "<body>\n"
                          "    <main>\n"
                          "        <header class=\"guide-header\">\n"
                          "            <h1>%1</h1>\n"
                          "            <p class=\"meta\">%2</p>\n"
                          "        </header>\n"
                          "        <ol class=\"steps\">\n"
                          "%3\n"
                          "        </ol>\n"
                          "        %4\n"
                          "    </main>\n"
                          "</body>\n"
                          "</html>")
        .arg(title, count, steps, footerLine);
}

const QString footer = QStringLiteral("    <footer>\n"
                                      "        <p>Made with <a href=\"https://zova.example/\">Z.O.V.A</a></p>\n"
                                      "    </footer>");

// Cuts the stylesheet out of the page, leaving the word CSS in its place.
QString withoutStylesheet(const QString& html, QString* css = nullptr)
{
    const qsizetype start = html.indexOf(QLatin1String("<style>")) + 7;
    const qsizetype end = html.indexOf(QLatin1String("</style>"));
    if (start < 7 || end < start)
        return html;
    if (css)
        *css = html.mid(start, end - start);
    return html.left(start) + QStringLiteral("CSS") + html.mid(end);
}

// The stylesheet's rules with white space collapsed, which carries no meaning there.
QString collapsed(const QString& css)
{
    return QString(css).replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" ")).trimmed();
}

QString expectedStylesheet(const QString& accent)
{
    const QString a = QLatin1Char('#') + accent;
    const QList<std::pair<QString, QString>> rules = {
        { ":root", "color-scheme: light only" },
        { "*", "box-sizing: border-box; margin: 0; padding: 0" },
        { "html, body",
            "font-family: -apple-system, BlinkMacSystemFont, \"SF Pro Text\", \"Inter\", system-ui, sans-serif" },
        { "body", "background: #f8f6fb; color: #1a1626; padding: 48px 24px; line-height: 1.55; font-size: 15px" },
        { "main", "max-width: 960px; margin: 0 auto" },
        { ".guide-header", "margin-bottom: 40px; padding-bottom: 24px; border-bottom: 1px solid rgba(0,0,0,0.08)" },
        { ".guide-header h1",
            "font-family: Georgia, \"Times New Roman\", serif; font-size: 40px; font-weight: 700; "
            "letter-spacing: -0.5px; background: linear-gradient(135deg, "
                + a
                + ", #a855f7 50%, #3b82f6); -webkit-background-clip: text; background-clip: text; "
                  "-webkit-text-fill-color: transparent; margin-bottom: 8px; line-height: 1.15" },
        { ".meta", "color: rgba(20,12,30,0.55); font-size: 13px; font-weight: 500; letter-spacing: 0.2px" },
        { ".steps", "list-style: none" },
        { ".step",
            "display: flex; gap: 20px; margin-bottom: 32px; padding: 24px; background: white; border-radius: 18px; "
            "box-shadow: 0 4px 20px rgba(0,0,0,0.05), 0 1px 0 rgba(255,255,255,0.6) inset; border: 0.5px solid "
            "rgba(0,0,0,0.04)" },
        { ".step-number",
            "flex-shrink: 0; width: 36px; height: 36px; border-radius: 50%; background: "
            "linear-gradient(135deg, "
                + a
                + ", #a855f7); color: white; font-weight: 700; display: flex; align-items: center; "
                  "justify-content: center; font-size: 15px; box-shadow: 0 4px 12px rgba(168,85,247,0.35), "
                  "inset 0 1px 0 rgba(255,255,255,0.4)" },
        { ".step-content", "flex: 1; min-width: 0" },
        { ".step-description", "font-size: 16px; font-weight: 500; margin-bottom: 14px" },
        { ".screenshot-wrapper",
            "position: relative; border-radius: 12px; overflow: hidden; box-shadow: 0 2px 12px "
            "rgba(0,0,0,0.1)" },
        { ".screenshot-wrapper img", "width: 100%; height: auto; display: block" },
        { ".hotspot",
            "position: absolute; width: 28px; height: 28px; border-radius: 50%; border: 3px solid " + a
                + "; background: rgba(255,61,138,0.18); transform: translate(-50%, -50%); box-shadow: 0 0 0 "
                  "5px rgba(255,61,138,0.22), 0 0 20px rgba(255,61,138,0.4); pointer-events: none" },
        { ".ann", "position: absolute; pointer-events: none" },
        { ".ann-highlight",
            "border: 2.5px solid var(--c); background: color-mix(in srgb, var(--c) 15%, transparent); "
            "border-radius: 5px; box-shadow: 0 0 16px color-mix(in srgb, var(--c) 35%, transparent)" },
        { ".ann-blur",
            "backdrop-filter: blur(18px); -webkit-backdrop-filter: blur(18px); background: "
            "rgba(255,255,255,0.42); border-radius: 5px" },
        { ".ann-text",
            "background: var(--c); color: white; padding: 6px 14px; border-radius: 100px; font-size: 14px; "
            "font-weight: 600; white-space: nowrap; box-shadow: 0 4px 12px color-mix(in srgb, var(--c) 45%, "
            "transparent); transform: translate(0, 0)" },
        { ".ann-arrow", "overflow: visible" },
        { "footer",
            "text-align: center; padding: 48px 0 24px; color: rgba(20,12,30,0.45); font-size: 12px; "
            "font-weight: 500" },
        { "footer a",
            "text-decoration: none; font-weight: 600; background: linear-gradient(135deg, " + a
                + ", #a855f7 50%, #3b82f6); -webkit-background-clip: text; background-clip: text; "
                  "-webkit-text-fill-color: transparent" },
    };
    QStringList out;
    for (const auto& [selector, declarations] : rules)
        out << selector + QStringLiteral(" { ") + declarations + QStringLiteral("; }");
    return out.join(QLatin1Char(' '));
}

// The lines of one step item between its description and its annotations.
QString stepItem(int number, const QString& description, const QString& source, const QString& left, const QString& top,
    const QString& annotations)
{
    return QStringLiteral("            <li class=\"step\">\n"
                          "                <div class=\"step-number\">%1</div>\n"
                          "                <div class=\"step-content\">\n"
                          "                    <p class=\"step-description\">%2</p>\n"
                          "                    <div class=\"screenshot-wrapper\">\n"
                          "                        <img src=\"%3\" alt=\"%2\" loading=\"lazy\">\n"
                          "                        <div class=\"hotspot\" style=\"left:%4%; top:%5%\"></div>\n"
                          "                        %6\n"
                          "                    </div>\n"
                          "                </div>\n"
                          "            </li>")
        .arg(QString::number(number), description, source, left, top, annotations);
}

QString between(const QString& text, const QString& before, const QString& after)
{
    const qsizetype start = text.indexOf(before);
    if (start < 0)
        return QStringLiteral("<missing>");
    const qsizetype from = start + before.size();
    return text.mid(from, text.indexOf(after, from) - from);
}

} // namespace

class HtmlPageTest : public ExportFixture {
protected:
    QString page(Guide* guide, ExportService::ImageMode mode = ExportService::ImageMode::LinkedFiles,
        ExportService::Options options = {}) const
    {
        return m_service.generateHTML(*guide, mode, options);
    }
};

TEST_F(HtmlPageTest, EmptyGuideIsTheExactDocumentWithAndWithoutFooter)
{
    Guide* guide = makeGuide(QStringLiteral("Set up mail"));
    for (const bool withFooter : { false, true }) {
        ExportService::Options options;
        options.includeFooter = withFooter;
        options.themeAccentHex = QStringLiteral("12ab34");
        QString css;
        const QString html = page(guide, ExportService::ImageMode::LinkedFiles, options);
        EXPECT_EQ(withoutStylesheet(html, &css),
            frame(QStringLiteral("Set up mail"), QStringLiteral("0 steps"), QString(), withFooter ? footer : QString()))
            << "footer " << withFooter;
        EXPECT_EQ(collapsed(css), expectedStylesheet(QStringLiteral("12ab34")));
        EXPECT_EQ(css, css.trimmed()) << "no line break around the stylesheet";
    }
}

TEST_F(HtmlPageTest, CountTexts)
{
    Guide* guide = makeGuide(QStringLiteral("Count"));
    const QStringList expected = { "0 steps", "1 step", "2 steps", "3 steps" };
    for (int n = 0; n < expected.size(); ++n) {
        if (n > 0)
            addStep(guide, n - 1, QStringLiteral("a.png"));
        EXPECT_EQ(between(page(guide), "<p class=\"meta\">", "</p>"), expected[n]);
    }
}

TEST_F(HtmlPageTest, EscapesTitleDescriptionAltAndTextMarks)
{
    const QList<std::pair<QString, QString>> table = {
        { "Tom & Jerry's <b>\"x\"</b>", "Tom &amp; Jerry&#39;s &lt;b&gt;&quot;x&quot;&lt;/b&gt;" },
        { "already &amp; escaped", "already &amp;amp; escaped" },
        { "&lt;&#39;", "&amp;lt;&amp;#39;" },
        { "Café ✓ — 100% / done", "Café ✓ — 100% / done" },
        { "", "" },
    };
    for (const auto& [raw, escaped] : table) {
        Guide* guide = makeGuide(raw);
        Step* step = addStep(guide, 0, QStringLiteral("a.png"));
        step->setUserDescription(raw);
        step->setAnnotations({ annotation(Kind::Text, 0.1, 0.2, 0, 0, QStringLiteral("00aaff"), raw) });
        const QString html = page(guide);
        EXPECT_EQ(between(html, "<title>", "</title>"), escaped) << raw.toStdString();
        EXPECT_EQ(between(html, "<h1>", "</h1>"), escaped) << raw.toStdString();
        EXPECT_EQ(between(html, "<p class=\"step-description\">", "</p>\n"), escaped) << raw.toStdString();
        EXPECT_EQ(between(html, "alt=\"", "\" loading"), escaped) << raw.toStdString();
        EXPECT_EQ(between(html, "--c:#00aaff\">", "</div>"), escaped) << raw.toStdString();
    }
}

TEST_F(HtmlPageTest, StepItemDescriptionsAndNumbers)
{
    struct Row {
        const char* name;
        qint64 order;
        std::optional<QString> description;
        std::optional<QString> label;
        QString expected;
    };
    const QList<Row> rows = {
        { "description wins", 0, QStringLiteral("Open Settings"), QStringLiteral("Settings"), "Open Settings" },
        { "empty description still wins", 1, QString(""), QStringLiteral("Settings"), "" },
        { "label without description", 2, std::nullopt, QStringLiteral("Click “Save”"), "Click “Save”" },
        { "empty label still wins", 3, std::nullopt, QString(""), "" },
        { "neither: Step order+1", 4, std::nullopt, std::nullopt, "Step 5" },
        { "stored order, not position", 7, std::nullopt, std::nullopt, "Step 8" },
    };
    for (const Row& row : rows) {
        Guide* guide = makeGuide(QStringLiteral("Items"));
        Step* step = addStep(guide, row.order, QStringLiteral("shot.png"), 0.25, 0.75);
        step->setUserDescription(row.description);
        step->setOcrLabel(row.label);
        EXPECT_EQ(withoutStylesheet(page(guide)),
            frame("Items", "1 step",
                stepItem(int(row.order) + 1, row.expected, "assets/screenshots/shot.png", "25.00", "75.00", ""),
                footer))
            << row.name;
    }
}

TEST_F(HtmlPageTest, StepsFollowTheirOrderJoinedByOneNewline)
{
    Guide* guide = makeGuide(QStringLiteral("Order"));
    addStep(guide, 2, QStringLiteral("c.png"));
    addStep(guide, 0, QStringLiteral("a.png"));
    addStep(guide, 1, QStringLiteral("b.png"));
    const QString steps = stepItem(1, "Step 1", "assets/screenshots/a.png", "50.00", "50.00", "") + "\n"
        + stepItem(2, "Step 2", "assets/screenshots/b.png", "50.00", "50.00", "") + "\n"
        + stepItem(3, "Step 3", "assets/screenshots/c.png", "50.00", "50.00", "");
    EXPECT_EQ(withoutStylesheet(page(guide)), frame("Order", "3 steps", steps, footer));
}

TEST_F(HtmlPageTest, HotspotPercentagesAreClampedAndLocaleFree)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const QList<std::tuple<double, QString>> table = {
        { 0.5, "50.00" },
        { 1.2, "100.00" },
        { -0.1, "0.00" },
        { 0.1234, "12.34" },
        { 0.00004, "0.00" },
        { 0.99999, "100.00" },
        { nan, "100.00" },
        { inf, "100.00" },
        { -inf, "0.00" },
        { -0.0, "0.00" },
        { 1.0, "100.00" },
        { 0.0, "0.00" },
    };
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const bool cCommaLocale = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    for (const auto& [value, expected] : table) {
        Guide* guide = makeGuide(QStringLiteral("Hotspot"));
        addStep(guide, 0, QStringLiteral("a.png"), value, 1 - value);
        EXPECT_EQ(between(page(guide), "class=\"hotspot\" style=\"left:", "%;"), expected) << value;
        Guide* vertical = makeGuide(QStringLiteral("Hotspot"));
        addStep(vertical, 0, QStringLiteral("a.png"), 0, value);
        EXPECT_EQ(between(page(vertical), "; top:", "%\"></div>"), expected) << value;
        context()->remove(guide); // the store keeps no NaN
        context()->remove(vertical);
    }
    if (cCommaLocale)
        std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(saved);
}

TEST_F(HtmlPageTest, EachAnnotationKindsExactMarkup)
{
    const QList<std::pair<StepAnnotation, QString>> table = {
        { annotation(Kind::Blur, 0.1234, 0.5, 0.25, 0.125, "00ff00"),
            "<div class=\"ann ann-blur\" style=\"left:12.34%; top:50.00%; width:25.00%; height:12.50%\"></div>" },
        { annotation(Kind::Highlight, 0, 0.2, 1.5, 0.3, "ffd60a"),
            "<div class=\"ann ann-highlight\" style=\"left:0.00%; top:20.00%; width:150.00%; height:30.00%; "
            "--c:#ffd60a\"></div>" },
        { annotation(Kind::Highlight, -0.25, 1.25, 0.001, 0.00004, "ffd60a"),
            "<div class=\"ann ann-highlight\" style=\"left:-25.00%; top:125.00%; width:0.10%; height:0.00%; "
            "--c:#ffd60a\"></div>" },
        { annotation(Kind::Text, 0.3, 0.4, 0.2, 0.1, "3b82f6", QStringLiteral("Click here")),
            "<div class=\"ann ann-text\" style=\"left:30.00%; top:40.00%; --c:#3b82f6\">Click here</div>" },
        { annotation(Kind::Text, 0.3, 0.4, 0.2, 0.1, "3b82f6"),
            "<div class=\"ann ann-text\" style=\"left:30.00%; top:40.00%; --c:#3b82f6\">Label</div>" },
        { annotation(Kind::Arrow, 0.1, 0.2, 0.3, 0.4, "ff3d8a"),
            "<svg class=\"ann ann-arrow\" style=\"left:10.00%; top:20.00%; width:30.00%; height:40.00%\" "
            "viewBox=\"0 0 100 100\" preserveAspectRatio=\"none\">\n"
            "    <line x1=\"2\" y1=\"2\" x2=\"92\" y2=\"92\" stroke=\"#ff3d8a\" stroke-width=\"6\" "
            "stroke-linecap=\"round\"/>\n"
            "    <polygon points=\"98,98 78,92 92,78\" fill=\"#ff3d8a\"/>\n"
            "</svg>" },
        // Only six hex digits reach the style; anything else is the default colour.
        { annotation(Kind::Highlight, 0, 0, 0.5, 0.5, "f00\" onload=\"x"),
            "<div class=\"ann ann-highlight\" style=\"left:0.00%; top:0.00%; width:50.00%; height:50.00%; "
            "--c:#000000\"></div>" },
        { annotation(Kind::Text, 0, 0, 0.5, 0.5, "ff0000;background-image:url(https://x.example/a.png)"),
            "<div class=\"ann ann-text\" style=\"left:0.00%; top:0.00%; --c:#000000\">Label</div>" },
        { annotation(Kind::Arrow, 0, 0, 0.5, 0.5, "ff0000 "),
            "<svg class=\"ann ann-arrow\" style=\"left:0.00%; top:0.00%; width:50.00%; height:50.00%\" "
            "viewBox=\"0 0 100 100\" preserveAspectRatio=\"none\">\n"
            "    <line x1=\"2\" y1=\"2\" x2=\"92\" y2=\"92\" stroke=\"#000000\" stroke-width=\"6\" "
            "stroke-linecap=\"round\"/>\n"
            "    <polygon points=\"98,98 78,92 92,78\" fill=\"#000000\"/>\n"
            "</svg>" },
        { annotation(Kind::Highlight, 0, 0, 0.5, 0.5, "ABCDEF"),
            "<div class=\"ann ann-highlight\" style=\"left:0.00%; top:0.00%; width:50.00%; height:50.00%; "
            "--c:#ABCDEF\"></div>" },
    };
    QString all;
    QList<StepAnnotation> list;
    for (const auto& [a, expected] : table) {
        Guide* guide = makeGuide(QStringLiteral("Marks"));
        Step* step = addStep(guide, 0, QStringLiteral("a.png"), 0.5, 0.5);
        step->setAnnotations({ a });
        EXPECT_EQ(withoutStylesheet(page(guide)),
            frame("Marks", "1 step", stepItem(1, "Step 1", "assets/screenshots/a.png", "50.00", "50.00", expected),
                footer))
            << expected.toStdString();
        all += expected;
        list << a;
    }
    // Several marks follow one another in stored order with nothing between them.
    Guide* guide = makeGuide(QStringLiteral("Marks"));
    addStep(guide, 0, QStringLiteral("a.png"))->setAnnotations(list);
    EXPECT_EQ(withoutStylesheet(page(guide)),
        frame("Marks", "1 step", stepItem(1, "Step 1", "assets/screenshots/a.png", "50.00", "50.00", all), footer));
}

TEST_F(HtmlPageTest, LinkedAndEmbeddedImageSources)
{
    Guide* guide = makeGuide(QStringLiteral("Sources"));
    const QString name = saveSolid(40, 30, Qt::red);
    addStep(guide, 0, name);
    addStep(guide, 1, QStringLiteral("missing.png"));
    addStep(guide, 2, QString());
    addStep(guide, 3, QStringLiteral("a\"b<c>.png"));
    auto sources = [](const QString& html) {
        QStringList out;
        const QRegularExpression re(QStringLiteral("<img src=\"([^\"]*)\""));
        for (auto it = re.globalMatch(html); it.hasNext();)
            out << it.next().captured(1);
        return out;
    };
    EXPECT_EQ(sources(page(guide)),
        QStringList({ "assets/screenshots/" + name, "assets/screenshots/missing.png", "assets/screenshots/",
            "assets/screenshots/a&quot;b&lt;c&gt;.png" }));
    const QString dataUrl
        = "data:image/png;base64," + QString::fromLatin1(test::readFile(screenshotPath(name)).toBase64());
    EXPECT_EQ(sources(page(guide, ExportService::ImageMode::Embedded)), QStringList({ dataUrl, "", "", "" }));
}

TEST_F(HtmlPageTest, EmbeddedImageHasBlurMarksBurnedIn)
{
    Guide* guide = makeGuide(QStringLiteral("Private"));
    const QString name = saveNoise(200, 100);
    addStep(guide, 0, name)->setAnnotations({ annotation(Kind::Blur, 0.5, 0, 0.5, 1) });
    const QString html = page(guide, ExportService::ImageMode::Embedded);
    const QString prefix = QStringLiteral("<img src=\"data:image/png;base64,");
    const qsizetype at = html.indexOf(prefix);
    ASSERT_GE(at, 0);
    const QByteArray data = QByteArray::fromBase64(between(html, prefix, "\"").toLatin1());
    const QImage embedded = QImage::fromData(data, "PNG").convertToFormat(QImage::Format_RGB32);
    const QImage original(screenshotPath(name));
    ASSERT_EQ(embedded.size(), original.size());
    EXPECT_EQ(embedded.copy(0, 0, 100, 100), original.convertToFormat(QImage::Format_RGB32).copy(0, 0, 100, 100));
    EXPECT_NE(embedded.copy(100, 0, 100, 100), original.convertToFormat(QImage::Format_RGB32).copy(100, 0, 100, 100));
    // The overlay markup stays.
    EXPECT_TRUE(html.contains(
        "<div class=\"ann ann-blur\" style=\"left:50.00%; top:0.00%; width:50.00%; height:100.00%\"></div>"));
}

TEST_F(HtmlPageTest, AccentAppearsExactlyFourTimes)
{
    Guide* guide = makeGuide(QStringLiteral("Accent"));
    Step* step = addStep(guide, 0, QStringLiteral("a.png"));
    step->setAnnotations(
        { annotation(Kind::Highlight, 0, 0, 1, 1, "ff3d8a"), annotation(Kind::Arrow, 0, 0, 1, 1, "ff3d8a") });
    ExportService::Options options;
    options.themeAccentHex = QStringLiteral("0a1b2c");
    const QString html = page(guide, ExportService::ImageMode::LinkedFiles, options);
    EXPECT_EQ(html.count(QStringLiteral("0a1b2c")), 4);
    EXPECT_EQ(html.count(QStringLiteral("#0a1b2c")), 4);
    // The hotspot's magenta fill and glow do not follow the accent.
    EXPECT_EQ(html.count(QStringLiteral("rgba(255,61,138,")), 3);
    options.themeAccentHex = QStringLiteral("ff3d8a");
    EXPECT_EQ(page(guide, ExportService::ImageMode::LinkedFiles, options).count(QStringLiteral("ff3d8a")), 4 + 3);
}

// Both Qt's default locale and the C library's numeric locale use a decimal comma.
class CommaLocale {
public:
    CommaLocale()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        // The machine may have no such locale installed: compile one of our own.
        const int made = QProcess::execute(
            QStringLiteral("localedef"), { "-i", "de_DE", "-f", "UTF-8", m_dir.path() + "/de_DE.UTF-8" });
        if (made == 0)
            qputenv("LOCPATH", m_dir.path().toLocal8Bit());
        m_active = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    }
    ~CommaLocale()
    {
        std::setlocale(LC_NUMERIC, "C");
        qunsetenv("LOCPATH");
        QLocale::setDefault(QLocale::c());
    }
    // printf now writes "1,50" for 1.5.
    bool active() const
    {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%.2f", 1.5);
        return m_active && QLatin1String(buf) == QLatin1String("1,50");
    }

private:
    QTemporaryDir m_dir;
    bool m_active = false;
};

TEST_F(HtmlPageTest, CommaDecimalLocaleGivesTheSameDocument)
{
    Guide* guide = makeGuide(QStringLiteral("Numbers 1.5 & 2,5"));
    addStep(guide, 0, QStringLiteral("a.png"), 0.125, 0.5)
        ->setAnnotations({ annotation(Kind::Blur, 0.1234, 0.5, 0.25, 0.125),
            annotation(Kind::Highlight, -0.25, 1.25, 1.5, 0.00004, "ffd60a"),
            annotation(Kind::Text, 0.333, 0.667, 0, 0, "3b82f6", QStringLiteral("1.5")),
            annotation(Kind::Arrow, 0.1, 0.2, 0.3, 0.4) });
    addStep(guide, 1, QStringLiteral("b.png"), 1.2, -0.1);
    const QString inC = page(guide);
    ASSERT_TRUE(inC.contains(QStringLiteral("left:12.50%; top:50.00%"))); // hotspot of step 1
    ASSERT_TRUE(inC.contains(QStringLiteral("left:-25.00%; top:125.00%; width:150.00%; height:0.00%")));
    CommaLocale comma;
    if (!comma.active())
        ADD_FAILURE() << "no comma-decimal C locale could be made; only Qt's default locale was changed";
    EXPECT_EQ(page(guide), inC);
}

// Each blurred shadow of the printed page as sharp layers: the stack's alpha follows
// the Gaussian falloff of the blur it stands for, band by band.
TEST(PrintShadowsTest, LayersFollowTheBlursFalloff)
{
    struct Case {
        zova::BlurredShadow shadow;
        double alpha;
    };
    for (const Case& c : { Case { { 0, 4, 20 }, 0.05 }, Case { { 0, 0, 20 }, 0.4 }, Case { { 0, 2, 12 }, 0.1 },
             Case { { 0, 4, 12 }, 0.45 } }) {
        QList<std::pair<double, double>> layers; // spread, alpha
        const QStringList css
            = zova::sharpLayers(c.shadow, c.alpha, [&](double f) { return QString::number(f * c.alpha, 'g', 17); });
        for (const QString& layer : css) {
            const QStringList parts = layer.split(' ');
            ASSERT_EQ(parts.size(), 5) << layer.toStdString();
            EXPECT_EQ(parts.at(2), QStringLiteral("0")) << "layers are sharp";
            layers.append({ parts.at(3).chopped(2).toDouble(), parts.at(4).toDouble() });
        }
        ASSERT_GE(layers.size(), 8);
        const double sigma = c.shadow.blur / 2;
        const double visibleFrom = -std::max(std::abs(c.shadow.x), std::abs(c.shadow.y));
        for (double d = visibleFrom; d <= 2 * c.shadow.blur; d += 0.25) {
            double clear = 1;
            for (const auto& [spread, a] : layers)
                if (d < spread)
                    clear *= 1 - a;
            const double expected = c.alpha * 0.5 * std::erfc(d / (sigma * std::sqrt(2.0)));
            EXPECT_NEAR(1 - clear, expected, 0.06 * c.alpha + 0.002) << "at " << d << " px of blur " << c.shadow.blur;
        }
    }
}

TEST(PrintShadowsTest, PrintedPageKeepsThePageAndOverridesOnlyShadows)
{
    const QString css = zova::printShadowStylesheet();
    EXPECT_FALSE(css.contains(QRegularExpression(QStringLiteral("\\dpx \\d+px [1-9]")))) << "no blurred shadow is left";
    for (const char* kept : { "0 1px 0 rgba(255,255,255,0.6) inset", "inset 0 1px 0 rgba(255,255,255,0.4)",
             "0 0 0 5px rgba(255,61,138,0.22)", "color-mix(in srgb, var(--c)" })
        EXPECT_TRUE(css.contains(QLatin1String(kept))) << kept;
    // Each element's shadow is one of the pictures written beside the page.
    const QList<zova::ShadowPicture> pictures = zova::printShadowPictures();
    ASSERT_EQ(pictures.size(), 4);
    for (const zova::ShadowPicture& picture : pictures) {
        EXPECT_EQ(css.count(QStringLiteral("url(\"%1\")").arg(picture.fileName)), 1) << picture.fileName.toStdString();
        EXPECT_EQ(picture.image.width(), picture.image.height());
        EXPECT_LE(2 * picture.slice * picture.scale, picture.image.width()) << "the edge parts overlap";
    }
}

// Each shadow picture is the blur it stands for: at points around the element, its
// alpha matches a direct sum of the Gaussian over the offset box, and the element's
// own area is left clear.
TEST(PrintShadowsTest, PicturesHoldTheBlurTheyStandFor)
{
    for (const zova::ShadowedBox& box : zova::printShadowBoxes()) {
        const zova::ShadowPicture picture = zova::shadowPicture(box);
        const double sigma = box.shadow.blur / 2;
        // The size the picture was made for: the middle of a stretching one is plain edge.
        const double size = double(picture.image.width()) / picture.scale - 2 * picture.outset;
        const double w = box.stretches ? size : box.width;
        const double h = box.stretches ? size : box.height;
        const QRectF shifted(box.shadow.x, box.shadow.y, w, h);
        const auto inside = [&](const QRectF& r, double x, double y) {
            const double rx = std::clamp(x, r.left() + box.radius, r.right() - box.radius);
            const double ry = std::clamp(y, r.top() + box.radius, r.bottom() - box.radius);
            return std::hypot(x - rx, y - ry) <= box.radius && r.contains(x, y);
        };
        // The blurred box's alpha at (x, y), element coordinates, by a sum over a fine grid.
        const auto expected = [&](double x, double y) {
            constexpr double cell = 0.25;
            double sum = 0;
            for (double qy = shifted.top() + cell / 2; qy < shifted.bottom(); qy += cell)
                for (double qx = shifted.left() + cell / 2; qx < shifted.right(); qx += cell)
                    if (std::abs(qx - x) < 4 * sigma && std::abs(qy - y) < 4 * sigma && inside(shifted, qx, qy))
                        sum += std::exp(-((qx - x) * (qx - x) + (qy - y) * (qy - y)) / (2 * sigma * sigma));
            return box.colour.alphaF() * sum * cell * cell / (2 * M_PI * sigma * sigma);
        };
        // The picture's pixel at (x, y), and the point its centre stands for.
        const auto pixelAt = [&](double x, double y) {
            return QPoint(int((x + picture.outset) * picture.scale), int((y + picture.outset) * picture.scale));
        };
        const auto centreOf = [&](QPoint p) {
            return QPointF(
                (p.x() + 0.5) / picture.scale - picture.outset, (p.y() + 0.5) / picture.scale - picture.outset);
        };
        const QList<QPointF> around
            = { { w / 2, h + 0.5 }, { w / 2, h + 3 }, { w / 2, h + sigma }, { w / 2, -2 }, { -1, h / 2 },
                  { w + sigma, h / 2 }, { w + 2, h + 2 }, { -sigma / 2, -sigma / 2 }, { w / 2, h + 2 * sigma } };
        for (const QPointF& at : around) {
            const QPoint p = pixelAt(at.x(), at.y());
            const QPointF centre = centreOf(p);
            EXPECT_NEAR(qAlpha(picture.image.pixel(p)) / 255.0, expected(centre.x(), centre.y()),
                0.02 * box.colour.alphaF() + 2.0 / 255)
                << box.fileName.toStdString() << " at " << centre.x() << "," << centre.y();
        }
        EXPECT_EQ(qAlpha(picture.image.pixel(pixelAt(w / 2, h / 2))), 0)
            << box.fileName.toStdString() << ": the element is left clear";
        EXPECT_EQ(qAlpha(picture.image.pixel(0, 0)), 0) << box.fileName.toStdString() << ": cut off inside the blur";
    }
}
