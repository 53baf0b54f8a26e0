#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace zova {

// The four things a guide exports as, in the order of the panel's cards.
enum class ExportFormat { Html, Pdf, Video, Both };

namespace ExportFormats {

// Every format in card order.
const QList<ExportFormat>& all();
// "html", "pdf", "video" or "both".
QString rawValue(ExportFormat format);
// Exactly one of the four raw values; no trimming, no case folding.
std::optional<ExportFormat> fromRawValue(const QString& raw);

QString symbol(ExportFormat format);
QString title(ExportFormat format);
QString subtitle(ExportFormat format);

} // namespace ExportFormats
} // namespace zova
