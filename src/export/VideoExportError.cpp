#include "export/VideoExportError.h"

namespace zova {

QString VideoExportError::description() const
{
    switch (kind) {
    case Kind::WriterCreationFailed: return QStringLiteral("Could not start the video writer: ") + message;
    case Kind::NoUsableSteps: return QStringLiteral("Nothing to render \u2014 no steps with screenshots.");
    case Kind::Media: return message;
    }
    return message;
}

} // namespace zova
