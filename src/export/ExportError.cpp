#include "export/ExportError.h"

namespace zova {

QString ExportError::description() const
{
    switch (kind) {
    case Kind::File:
    case Kind::Load: return detail;
    case Kind::PdfRenderFailed: return QStringLiteral("PDF rendering failed: ") + detail;
    }
    return detail;
}

} // namespace zova
