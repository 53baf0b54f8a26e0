#pragma once

#include <QString>

namespace zova {

// A failed HTML folder or PDF export. File and load failures carry the system's
// own message; a failed PDF render carries the renderer's reason.
struct ExportError {
    enum class Kind { File, Load, PdfRenderFailed };

    Kind kind = Kind::File;
    QString detail;

    static ExportError file(const QString& message) { return { Kind::File, message }; }
    static ExportError load(const QString& message) { return { Kind::Load, message }; }
    static ExportError pdfRenderFailed(const QString& reason) { return { Kind::PdfRenderFailed, reason }; }

    // The text the export panel shows.
    QString description() const;
};

} // namespace zova
