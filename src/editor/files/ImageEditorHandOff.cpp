#include "editor/files/ImageEditorHandOff.h"

#include "model/Record.h"

#include <QBuffer>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUuid>

namespace zova {

namespace {

// The screenshot as PNG bytes: the file itself when it is a PNG, else re-encoded.
// No value when it is no readable image; an empty array when encoding failed.
std::optional<QByteArray> pngBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
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
    const QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;
    QByteArray png;
    QBuffer out(&png);
    out.open(QIODevice::WriteOnly);
    if (!image.save(&out, "png"))
        return QByteArray();
    return png;
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
{
}

std::optional<ImageEditorHandOff::Result> ImageEditorHandOff::open(const QString& screenshotPath) const
{
    const std::optional<QByteArray> png = pngBytes(screenshotPath);
    if (!png)
        return std::nullopt;
    if (png->isEmpty())
        return Result { {}, QStringLiteral("Failed to prepare image for the image editor.") };

    const QString path = m_folder + QStringLiteral("/ZOVA_") + uuidText(QUuid::createUuid()) + QStringLiteral(".png");
    const QString writeFailed = QStringLiteral("Failed to write temporary image: ");
    if (!QDir().mkpath(m_folder))
        return Result { {}, writeFailed + QStringLiteral("the folder %1 could not be made.").arg(m_folder) };
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(*png) != png->size() || !file.commit()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return Result { {}, writeFailed + reason };
    }
    if (!m_open(QUrl::fromLocalFile(path)))
        return Result { path,
            QStringLiteral("Could not open the image editor: ")
                + QStringLiteral("no application opened %1.").arg(QFileInfo(path).fileName()) };
    return Result { path, std::nullopt };
}

} // namespace zova
