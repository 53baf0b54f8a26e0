#include "model/StoreError.h"

namespace zova {

QString StoreError::description() const
{
    QString text;
    switch (code) {
    case Code::None: text = QStringLiteral("No error."); break;
    case Code::OpenFailed: text = QStringLiteral("The store file could not be opened."); break;
    case Code::NotADatabase: text = QStringLiteral("The store file is not a database."); break;
    case Code::ForeignFile: text = QStringLiteral("The store file belongs to another application."); break;
    case Code::UnsupportedVersion: text = QStringLiteral("The store file has an unsupported schema version."); break;
    case Code::IncompatibleSchema: text = QStringLiteral("The store file's tables do not match this version."); break;
    case Code::ReadOnly: text = QStringLiteral("The store file cannot be written."); break;
    case Code::ReadFailed: text = QStringLiteral("The store could not be read."); break;
    case Code::WriteFailed: text = QStringLiteral("The store could not be saved."); break;
    }
    if (!detail.isEmpty())
        text += QStringLiteral(" (") + detail + QLatin1Char(')');
    return text;
}

} // namespace zova
