#include "editor/files/ImageEditorHandOff.h"

#include "model/ImageReading.h"
#include "model/Record.h"

#include <QBuffer>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>

namespace zova {

namespace {

constexpr QFileDevice::Permissions ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr QFileDevice::Permissions ownerOnlyFolder = ownerOnly | QFileDevice::ExeOwner;

// The screenshot as PNG bytes: the file itself when it is a PNG, else re-encoded.
// No value when it is no readable image; an empty array when encoding failed.
std::optional<QByteArray> pngBytes(const QString& path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    if (!reader.canRead())
        return std::nullopt;
    if (reader.format() == "png")
        return bytes;
    const auto image = readImage(reader);
    if (!image)
        return std::nullopt;
    QByteArray png;
    QBuffer out(&png);
    out.open(QIODevice::WriteOnly);
    if (!image.value().save(&out, "png"))
        return QByteArray();
    return png;
}

// The folder, made when missing and the user's alone either way.
bool makePrivateFolder(const QString& folder)
{
    return QDir().mkpath(folder) && QFile::setPermissions(folder, ownerOnlyFolder);
}

} // namespace

QString ImageEditorHandOff::defaultFolder()
{
    QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (pictures.isEmpty())
        pictures = QDir::homePath() + QStringLiteral("/Pictures");
    return pictures + QStringLiteral("/Z.O.V.A");
}

ImageEditorHandOff::ImageEditorHandOff()
    : ImageEditorHandOff(QString(), Opener())
{
}

ImageEditorHandOff::ImageEditorHandOff(QString folder, Opener open)
    : m_folder(folder.isEmpty() ? defaultFolder() : std::move(folder))
    , m_open(open ? std::move(open) : Opener([](const QUrl& url) { return QDesktopServices::openUrl(url); }))
    , m_copies(std::make_shared<QHash<QUuid, QStringList>>())
{
}

std::optional<ImageEditorHandOff::Result> ImageEditorHandOff::open(
    const QUuid& stepId, const QString& screenshotPath) const
{
    const std::optional<QByteArray> png = pngBytes(screenshotPath);
    if (!png)
        return std::nullopt;
    if (png->isEmpty())
        return Result { {}, QStringLiteral("Failed to prepare image for the image editor.") };

    const QString path = m_folder + QStringLiteral("/ZOVA_") + uuidText(QUuid::createUuid()) + QStringLiteral(".png");
    const QString writeFailed = QStringLiteral("Failed to write temporary image: ");
    if (!makePrivateFolder(m_folder))
        return Result { {}, writeFailed + QStringLiteral("the folder %1 could not be made.").arg(m_folder) };
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !file.setPermissions(ownerOnly) || file.write(*png) != png->size()
        || !file.commit()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return Result { {}, writeFailed + reason };
    }
    (*m_copies)[stepId].append(path);
    if (!m_open(QUrl::fromLocalFile(path)))
        return Result { path,
            QStringLiteral("Could not open the image editor: ")
                + QStringLiteral("no application opened %1.").arg(QFileInfo(path).fileName()) };
    return Result { path, std::nullopt };
}

void ImageEditorHandOff::removeCopiesOf(const QSet<QUuid>& stepIds) const
{
    for (const QUuid& id : stepIds)
        for (const QString& path : m_copies->take(id))
            QFile::remove(path);
}

void ImageEditorHandOff::removeEveryCopy(const QString& folder, const QDateTime& writtenBefore)
{
    const QFileInfo info(folder);
    if (!info.isDir() || info.isSymLink())
        return;
    QFile::setPermissions(folder, ownerOnlyFolder);
    static const QRegularExpression copy(
        QStringLiteral("^ZOVA_[0-9A-Fa-f]{8}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{12}\\.png$"));
    for (const QFileInfo& entry : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (copy.match(entry.fileName()).hasMatch() && entry.lastModified() < writtenBefore)
            QFile::remove(entry.absoluteFilePath());
    }
}

} // namespace zova
