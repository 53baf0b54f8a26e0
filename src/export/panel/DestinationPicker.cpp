#include "export/panel/DestinationPicker.h"

#include <QFileInfo>

namespace zova {

DestinationRequest DestinationRequest::saveFolder(const QString& suggestedName)
{
    DestinationRequest r;
    r.kind = Kind::SaveFolder;
    r.title = QStringLiteral("Export HTML folder");
    r.suggestedName = suggestedName;
    r.prompt = QStringLiteral("Export");
    return r;
}

DestinationRequest DestinationRequest::saveFile(const QString& extension, const QString& suggestedName)
{
    DestinationRequest r;
    r.kind = Kind::SaveFile;
    r.title = QStringLiteral("Export ") + extension.toUpper();
    r.suggestedName = suggestedName + QLatin1Char('.') + extension;
    r.extension = extension;
    if (extension == QLatin1String("pdf"))
        r.nameFilters = { QStringLiteral("PDF document (*.pdf)") };
    else if (extension == QLatin1String("mp4"))
        r.nameFilters = { QStringLiteral("MPEG-4 movie (*.mp4)") };
    r.prompt = QStringLiteral("Export");
    return r;
}

DestinationRequest DestinationRequest::parentFolder()
{
    DestinationRequest r;
    r.kind = Kind::ParentFolder;
    r.title = QStringLiteral("Choose a folder to export into");
    r.prompt = QStringLiteral("Export here");
    return r;
}

QString withExtension(const QString& path, const QString& extension)
{
    if (extension.isEmpty() || path.isEmpty() || !QFileInfo(path).suffix().isEmpty())
        return path;
    return path.endsWith(QLatin1Char('.')) ? path + extension : path + QLatin1Char('.') + extension;
}

QString DestinationPicker::replaceQuestion(const QString& name)
{
    return QStringLiteral("Replace the existing export \u201C") + name + QStringLiteral("\u201D?");
}

} // namespace zova
