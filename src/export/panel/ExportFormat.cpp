#include "export/panel/ExportFormat.h"

namespace zova::ExportFormats {

namespace {

struct Row {
    ExportFormat format;
    const char* raw;
    const char* symbol;
    const char* title;
    const char* subtitle; // UTF-8
};

// Card order.
constexpr Row rows[] = {
    { ExportFormat::Html, "html", "globe", "HTML folder", "Self-contained website \u2014 drop on any web server" },
    { ExportFormat::Pdf, "pdf", "doc.text", "PDF file", "Single PDF \u2014 share over email, Slack, anywhere" },
    { ExportFormat::Video, "video", "play.rectangle.fill", "MP4 video",
        "MP4 slideshow \u2014 paste into YouTube, Loom, training portals" },
    { ExportFormat::Both, "both", "rectangle.stack.fill", "HTML + PDF", "HTML folder + PDF, in the same location" },
};

const Row& row(ExportFormat format)
{
    for (const Row& r : rows) {
        if (r.format == format)
            return r;
    }
    return rows[0];
}

} // namespace

const QList<ExportFormat>& all()
{
    static const QList<ExportFormat> list = [] {
        QList<ExportFormat> l;
        for (const Row& r : rows)
            l << r.format;
        return l;
    }();
    return list;
}

QString rawValue(ExportFormat format) { return QString::fromLatin1(row(format).raw); }

std::optional<ExportFormat> fromRawValue(const QString& raw)
{
    for (const Row& r : rows) {
        if (raw == QLatin1String(r.raw))
            return r.format;
    }
    return std::nullopt;
}

QString symbol(ExportFormat format) { return QString::fromLatin1(row(format).symbol); }

QString title(ExportFormat format) { return QString::fromUtf8(row(format).title); }

QString subtitle(ExportFormat format) { return QString::fromUtf8(row(format).subtitle); }

} // namespace zova::ExportFormats
