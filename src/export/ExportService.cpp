#include "export/ExportService.h"

#include "export/ExportedScreenshot.h"
#include "export/PrintShadows.h"
#include "model/Guide.h"
#include "model/Step.h"
#include "model/StepAnnotation.h"
#include "model/StorageService.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <charconv>
#include <cmath>

namespace zova {

const QString ExportService::productLink = QStringLiteral("https://zova.example/");

namespace {

QString escaped(const QString& text)
{
    QString out;
    out.reserve(text.size() + text.size() / 8);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&': out += QLatin1String("&amp;"); break;
        case '<': out += QLatin1String("&lt;"); break;
        case '>': out += QLatin1String("&gt;"); break;
        case '"': out += QLatin1String("&quot;"); break;
        case '\'': out += QLatin1String("&#39;"); break;
        default: out += c;
        }
    }
    return out;
}

// Two decimals with a point, whatever the locale, as printf's "%.2f" in C.
QString fixed2(double value)
{
    char buf[400]; // room for the widest finite double in fixed notation
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 2);
    return QString::fromLatin1(buf, int(res.ptr - buf));
}

QString percent(double fraction) { return fixed2(fraction * 100) + QLatin1Char('%'); }

// A stored colour goes into style attributes: only six hex digits may, anything
// else (which could carry CSS of its own) reads as the default, black.
QString cssColor(const QString& hex)
{
    static const QRegularExpression sixDigits(QStringLiteral("^[0-9A-Fa-f]{6}$"));
    return QLatin1Char('#') + (sixDigits.match(hex).hasMatch() ? hex : QStringLiteral("000000"));
}

// The hotspot stays on the image: 0..100 per cent, and a NaN sits at 100.
QString hotspotPercent(double fraction)
{
    double v = fraction * 100;
    if (std::isnan(v))
        v = 100;
    v = std::min(v, 100.0);
    if (!(v > 0))
        v = 0; // also turns -0 into 0
    return fixed2(v) + QLatin1Char('%');
}

QString description(const Step& step)
{
    if (const auto d = step.userDescription())
        return *d;
    if (const auto l = step.ocrLabel())
        return *l;
    return QStringLiteral("Step ") + QString::number(step.order() + 1);
}

struct Rule {
    const char* selector;
    QList<const char*> declarations;
};

// '\x01' marks where the accent goes, right after a '#'.
const QList<Rule>& rules()
{
    static const QList<Rule> table = {
        { ":root", { "color-scheme: light only" } },
        { "*", { "box-sizing: border-box", "margin: 0", "padding: 0" } },
        { "html, body",
            { "font-family: -apple-system, BlinkMacSystemFont, \"SF Pro Text\", \"Inter\", system-ui, sans-serif" } },
        { "body",
            { "background: #f8f6fb", "color: #1a1626", "padding: 48px 24px", "line-height: 1.55", "font-size: 15px" } },
        { "main", { "max-width: 960px", "margin: 0 auto" } },
        { ".guide-header",
            { "margin-bottom: 40px", "padding-bottom: 24px", "border-bottom: 1px solid rgba(0,0,0,0.08)" } },
        { ".guide-header h1",
            { "font-family: Georgia, \"Times New Roman\", serif", "font-size: 40px", "font-weight: 700",
                "letter-spacing: -0.5px", "background: linear-gradient(135deg, #\x01, #a855f7 50%, #3b82f6)",
                "-webkit-background-clip: text", "background-clip: text", "-webkit-text-fill-color: transparent",
                "margin-bottom: 8px", "line-height: 1.15" } },
        { ".meta", { "color: rgba(20,12,30,0.55)", "font-size: 13px", "font-weight: 500", "letter-spacing: 0.2px" } },
        { ".steps", { "list-style: none" } },
        { ".step",
            { "display: flex", "gap: 20px", "margin-bottom: 32px", "padding: 24px", "background: white",
                "border-radius: 18px", "box-shadow: 0 4px 20px rgba(0,0,0,0.05), 0 1px 0 rgba(255,255,255,0.6) inset",
                "border: 0.5px solid rgba(0,0,0,0.04)" } },
        { ".step-number",
            { "flex-shrink: 0", "width: 36px", "height: 36px", "border-radius: 50%",
                "background: linear-gradient(135deg, #\x01, #a855f7)", "color: white", "font-weight: 700",
                "display: flex", "align-items: center", "justify-content: center", "font-size: 15px",
                "box-shadow: 0 4px 12px rgba(168,85,247,0.35), inset 0 1px 0 rgba(255,255,255,0.4)" } },
        { ".step-content", { "flex: 1", "min-width: 0" } },
        { ".step-description", { "font-size: 16px", "font-weight: 500", "margin-bottom: 14px" } },
        { ".screenshot-wrapper",
            { "position: relative", "border-radius: 12px", "overflow: hidden",
                "box-shadow: 0 2px 12px rgba(0,0,0,0.1)" } },
        { ".screenshot-wrapper img", { "width: 100%", "height: auto", "display: block" } },
        { ".hotspot",
            { "position: absolute", "width: 28px", "height: 28px", "border-radius: 50%", "border: 3px solid #\x01",
                "background: rgba(255,61,138,0.18)", "transform: translate(-50%, -50%)",
                "box-shadow: 0 0 0 5px rgba(255,61,138,0.22), 0 0 20px rgba(255,61,138,0.4)",
                "pointer-events: none" } },
        { ".ann", { "position: absolute", "pointer-events: none" } },
        { ".ann-highlight",
            { "border: 2.5px solid var(--c)", "background: color-mix(in srgb, var(--c) 15%, transparent)",
                "border-radius: 5px", "box-shadow: 0 0 16px color-mix(in srgb, var(--c) 35%, transparent)" } },
        { ".ann-blur",
            { "backdrop-filter: blur(18px)", "-webkit-backdrop-filter: blur(18px)",
                "background: rgba(255,255,255,0.42)", "border-radius: 5px" } },
        { ".ann-text",
            { "background: var(--c)", "color: white", "padding: 6px 14px", "border-radius: 100px", "font-size: 14px",
                "font-weight: 600", "white-space: nowrap",
                "box-shadow: 0 4px 12px color-mix(in srgb, var(--c) 45%, transparent)",
                "transform: translate(0, 0)" } },
        { ".ann-arrow", { "overflow: visible" } },
        { "footer",
            { "text-align: center", "padding: 48px 0 24px", "color: rgba(20,12,30,0.45)", "font-size: 12px",
                "font-weight: 500" } },
        { "footer a",
            { "text-decoration: none", "font-weight: 600",
                "background: linear-gradient(135deg, #\x01, #a855f7 50%, #3b82f6)", "-webkit-background-clip: text",
                "background-clip: text", "-webkit-text-fill-color: transparent" } },
    };
    return table;
}

// The stylesheet cut at the accent's places: short rules on one line, longer
// ones with one declaration a line.
const QStringList& stylesheetParts()
{
    static const QStringList parts = [] {
        constexpr int shortRule = 4;
        QString css;
        css.reserve(3310);
        for (const Rule& rule : rules()) {
            if (!css.isEmpty())
                css += QLatin1Char('\n');
            css += QLatin1String(rule.selector);
            const bool oneLine = rule.declarations.size() <= shortRule;
            css += QLatin1String(oneLine ? " {" : " {\n");
            for (const char* d : rule.declarations) {
                css += QLatin1String(oneLine ? " " : "    ");
                css += QString::fromUtf8(d);
                css += QLatin1String(oneLine ? ";" : ";\n");
            }
            css += QLatin1String(oneLine ? " }" : "}");
        }
        return css.split(QChar(1));
    }();
    return parts;
}

} // namespace

QString ExportService::stylesheet(const QString& accentHex) { return stylesheetParts().join(accentHex); }

QString ExportService::renderAnnotation(const StepAnnotation& a)
{
    const QString box = QStringLiteral("left:%1; top:%2; width:%3; height:%4")
                            .arg(percent(a.x), percent(a.y), percent(a.width), percent(a.height));
    const QString color = cssColor(a.colorHex);
    switch (a.kind) {
    case StepAnnotation::Kind::Blur:
        return QStringLiteral("<div class=\"ann ann-blur\" style=\"") + box + QStringLiteral("\"></div>");
    case StepAnnotation::Kind::Highlight:
        return QStringLiteral("<div class=\"ann ann-highlight\" style=\"") + box + QStringLiteral("; --c:") + color
            + QStringLiteral("\"></div>");
    case StepAnnotation::Kind::Text:
        return QStringLiteral("<div class=\"ann ann-text\" style=\"left:") + percent(a.x) + QStringLiteral("; top:")
            + percent(a.y) + QStringLiteral("; --c:") + color + QStringLiteral("\">")
            + (a.text ? escaped(*a.text) : QStringLiteral("Label")) + QStringLiteral("</div>");
    case StepAnnotation::Kind::Arrow:
        return QStringLiteral("<svg class=\"ann ann-arrow\" style=\"") + box
            + QStringLiteral("\" viewBox=\"0 0 100 100\" preserveAspectRatio=\"none\">\n"
                             "    <line x1=\"2\" y1=\"2\" x2=\"92\" y2=\"92\" stroke=\"")
            + color
            + QStringLiteral("\" stroke-width=\"6\" stroke-linecap=\"round\"/>\n"
                             "    <polygon points=\"98,98 78,92 92,78\" fill=\"")
            + color + QStringLiteral("\"/>\n</svg>");
    }
    return {};
}

ExportService::ExportService(const StorageService& storage)
    : m_storage(&storage)
{
}

ExportService::Page ExportService::pageOf(const Guide& guide) const
{
    Page page;
    page.title = guide.title();
    for (const Step* step : guide.orderedSteps())
        page.steps.append({ step->order(), step->screenshotFilename(),
            m_storage->pathFor(step->screenshotFilename()).value_or(QString()), description(*step), step->clickX(),
            step->clickY(), step->annotations() });
    return page;
}

QString ExportService::renderStep(const PageStep& step, ImageMode mode)
{
    QString source;
    switch (mode) {
    case ImageMode::LinkedFiles:
        // A name with folder parts gets no copy; its link must not reach out either.
        source = QStringLiteral("assets/screenshots/");
        if (StorageService::isBareFileName(step.screenshotFilename))
            source += escaped(step.screenshotFilename);
        break;
    case ImageMode::Embedded:
        if (const auto bytes = exportedScreenshotBytes(step.screenshotPath, step.annotations))
            source = QStringLiteral("data:image/png;base64,") + QString::fromLatin1(bytes->toBase64());
        break;
    case ImageMode::Printed:
        if (const auto bytes = printedScreenshotBytes(step.screenshotPath, step.annotations))
            source = QStringLiteral("data:image/jpeg;base64,") + QString::fromLatin1(bytes->toBase64());
        break;
    }
    const QString text = escaped(step.description);
    QString annotations;
    for (const StepAnnotation& a : step.annotations)
        annotations += renderAnnotation(a);

    QString item;
    item.reserve(470 + source.size() + 2 * text.size() + annotations.size());
    item += QStringLiteral("            <li class=\"step\">\n"
                           "                <div class=\"step-number\">");
    item += QString::number(step.order + 1);
    item += QStringLiteral("</div>\n"
                           "                <div class=\"step-content\">\n"
                           "                    <p class=\"step-description\">");
    item += text;
    item += QStringLiteral("</p>\n"
                           "                    <div class=\"screenshot-wrapper\">\n"
                           "                        <img src=\"");
    item += source;
    item += QStringLiteral("\" alt=\"");
    item += text;
    item += QStringLiteral("\" loading=\"lazy\">\n"
                           "                        <div class=\"hotspot\" style=\"left:");
    item += hotspotPercent(step.clickX);
    item += QStringLiteral("; top:");
    item += hotspotPercent(step.clickY);
    item += QStringLiteral("\"></div>\n"
                           "                        ");
    item += annotations;
    item += QStringLiteral("\n"
                           "                    </div>\n"
                           "                </div>\n"
                           "            </li>");
    return item;
}

QString ExportService::generateHTML(const Guide& guide, ImageMode mode, const Options& options) const
{
    return generateHTML(pageOf(guide), mode, options);
}

QString ExportService::generateHTML(const Page& page, ImageMode mode, const Options& options)
{
    QStringList items;
    items.reserve(page.steps.size());
    qsizetype itemsSize = 0;
    for (const PageStep& step : page.steps) {
        items.append(renderStep(step, mode));
        itemsSize += items.last().size() + 1;
    }
    const qsizetype n = page.steps.size();
    const QString title = escaped(page.title);
    const QString count = QString::number(n) + (n == 1 ? QStringLiteral(" step") : QStringLiteral(" steps"));

    QString html;
    html.reserve(520 + 3310 + itemsSize + 2 * title.size());
    html += QStringLiteral("<!DOCTYPE html>\n"
                           "<html lang=\"en\">\n"
                           "<head>\n"
                           "    <meta charset=\"UTF-8\">\n"
                           "    <meta name=\"viewport\" content=\"width=device-width, initial-scale=1.0\">\n"
                           "    <meta name=\"color-scheme\" content=\"light\">\n"
                           "    <meta name=\"supported-color-schemes\" content=\"light\">\n"
                           "    <title>");
    html += title;
    html += QStringLiteral("</title>\n"
                           "    <style>");
    html += stylesheet(options.themeAccentHex);
    if (mode == ImageMode::Printed)
        html += QLatin1Char('\n') + printShadowStylesheet();
    html += QStringLiteral("</style>\n"
                           "</head>\n"
                           "<body>\n"
                           "    <main>\n"
                           "        <header class=\"guide-header\">\n"
                           "            <h1>");
    html += title;
    html += QStringLiteral("</h1>\n"
                           "            <p class=\"meta\">");
    html += count;
    html += QStringLiteral("</p>\n"
                           "        </header>\n"
                           "        <ol class=\"steps\">\n");
    html += items.join(QLatin1Char('\n'));
    html += QStringLiteral("\n"
                           "        </ol>\n"
                           "        ");
    if (options.includeFooter) {
        html += QStringLiteral("    <footer>\n"
                               "        <p>Made with <a href=\"");
        html += productLink;
        html += QStringLiteral("\">Z.O.V.A</a></p>\n"
                               "    </footer>");
    }
    html += QStringLiteral("\n"
                           "    </main>\n"
                           "</body>\n"
                           "</html>");
    return html;
}

} // namespace zova
