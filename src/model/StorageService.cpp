#include "model/StorageService.h"

#include "model/ImageReading.h"
#include "model/Record.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QSaveFile>
#include <QUuid>

Q_LOGGING_CATEGORY(lcStorage, "zova.storage")

namespace zova {

namespace {

constexpr QFileDevice::Permissions ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr QFileDevice::Permissions ownerOnlyFolder = ownerOnly | QFileDevice::ExeOwner;

std::optional<QByteArray> qtPng(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image))
        return std::nullopt;
    return bytes;
}

} // namespace

QString describe(const StorageError& error)
{
    switch (error.kind) {
    case StorageError::Kind::EncodingFailed: return QStringLiteral("The screenshot could not be saved as a PNG file.");
    case StorageError::Kind::WriteFailed: return QStringLiteral("The screenshot could not be written: ") + error.reason;
    }
    return {};
}

QString StorageService::folderBeside(const QString& storePath)
{
    return QFileInfo(storePath).absolutePath() + QStringLiteral("/screenshots");
}

StorageService::StorageService(QString directory)
    : m_directory(std::move(directory))
{
    QDir().mkpath(m_directory); // a failure shows up as a failed save
    QFile::setPermissions(QFileInfo(m_directory).absolutePath(), ownerOnlyFolder);
    QFile::setPermissions(m_directory, ownerOnlyFolder);
}

void StorageService::tightenPermissions() const
{
    QFile::setPermissions(QFileInfo(m_directory).absolutePath(), ownerOnlyFolder);
    QFile::setPermissions(m_directory, ownerOnlyFolder);
    constexpr QFileDevice::Permissions modeBits = QFileDevice::ReadOwner | QFileDevice::WriteOwner
        | QFileDevice::ExeOwner | QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup
        | QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
    // A folder of a step's screenshot each: only the files whose mode differs are changed.
    for (const QFileInfo& entry : QDir(m_directory).entryInfoList(QDir::Files | QDir::Hidden)) {
        if (!entry.isSymLink() && (entry.permissions() & modeBits) != ownerOnly)
            QFile::setPermissions(entry.absoluteFilePath(), ownerOnly);
    }
}

void StorageService::removeUnreferenced(const QSet<QString>& referenced, const QDateTime& writtenBefore) const
{
    // A new screenshot's name, or that name with the suffix of a write that never finished.
    static const QRegularExpression own(QStringLiteral(
        "^[0-9A-Fa-f]{8}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{12}\\.png(\\.[A-Za-z0-9]{6})?$"));
    for (const QFileInfo& entry : QDir(m_directory).entryInfoList(QDir::Files | QDir::Hidden | QDir::System)) {
        const QString name = entry.fileName();
        if (referenced.contains(name) || !own.match(name).hasMatch() || !(entry.lastModified() < writtenBefore))
            continue;
        if (QFile::remove(entry.absoluteFilePath()))
            qCInfo(lcStorage) << "Removed the screenshot no step names:" << name;
    }
}

bool StorageService::isBareFileName(const QString& filename)
{
    if (filename.isEmpty() || filename == QLatin1String(".") || filename == QLatin1String(".."))
        return false;
    return !filename.contains(QLatin1Char('/')) && !filename.contains(QLatin1Char('\\'))
        && !filename.contains(QChar(0));
}

std::optional<QString> StorageService::pathFor(const QString& filename) const
{
    if (!isBareFileName(filename))
        return std::nullopt;
    return m_directory + QLatin1Char('/') + filename;
}

Expected<QString, StorageError> StorageService::saveScreenshot(const QImage& image) const
{
    if (image.isNull())
        return unexpected(StorageError {});
    const Encoder encoder = m_encoder.load();
    const std::optional<QByteArray> png = encoder ? encoder(image) : qtPng(image);
    if (!png)
        return unexpected(StorageError {});
    const QString name = uuidText(QUuid::createUuid()) + QStringLiteral(".png");
    QSaveFile file(m_directory + QLatin1Char('/') + name);
    const auto writeFailed = [&file] {
        const StorageError error { StorageError::Kind::WriteFailed, file.errorString() };
        file.cancelWriting();
        return unexpected(error);
    };
    if (!file.open(QIODevice::WriteOnly) || !file.setPermissions(ownerOnly))
        return writeFailed();
    if (file.write(*png) != png->size())
        return writeFailed();
    if (!file.commit())
        return unexpected(StorageError { StorageError::Kind::WriteFailed, file.errorString() });
    return name;
}

QImage StorageService::loadScreenshot(const QString& filename) const
{
    const auto path = pathFor(filename);
    if (!path)
        return {};
    auto image = readImageFile(*path, false);
    return image ? std::move(image).value() : QImage();
}

void StorageService::deleteScreenshot(const QString& filename) const
{
    if (const auto path = pathFor(filename))
        QFile::remove(*path);
}

} // namespace zova
