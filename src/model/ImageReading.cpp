#include "model/ImageReading.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <mutex>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zova {

namespace {

// Enough for imageMaxSide² pixels at 8 bytes each (16 bits a channel), in MiB.
constexpr int allocationLimitMiB = int(qint64(imageMaxSide) * imageMaxSide * 8 / (1024 * 1024));

bool withinLimit(QSize size) { return size.width() <= imageMaxSide && size.height() <= imageMaxSide; }

} // namespace

QString describe(ImageReadError error)
{
    switch (error) {
    case ImageReadError::NotAFile: return QStringLiteral("The chosen item is not a file.");
    case ImageReadError::Unreadable: return QStringLiteral("The file is not an image that can be read.");
    case ImageReadError::TooLarge: return QStringLiteral("The image is larger than %1 × %1 pixels.").arg(imageMaxSide);
    }
    return {};
}

void allowLargeImages()
{
    static std::once_flag once;
    std::call_once(once, [] { QImageReader::setAllocationLimit(allocationLimitMiB); });
}

Expected<QImage, ImageReadError> readImage(QImageReader& reader)
{
    allowLargeImages();
    const QSize declared = reader.size();
    if (declared.isValid() && !withinLimit(declared))
        return unexpected(ImageReadError::TooLarge);
    QImage image = reader.read();
    if (image.isNull())
        return unexpected(ImageReadError::Unreadable);
    if (!withinLimit(image.size()))
        return unexpected(ImageReadError::TooLarge);
    return image;
}

Expected<QImage, ImageReadError> readImageFile(const QString& path, bool autoTransform)
{
    // Opening a named pipe for reading without O_NONBLOCK waits for a writer.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return unexpected(ImageReadError::Unreadable);
    struct stat info { };
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return unexpected(ImageReadError::NotAFile);
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return unexpected(ImageReadError::Unreadable);
    }
    // The suffix is a first guess at the format, as for a reader given the file name.
    QImageReader reader(&file, QFileInfo(path).suffix().toLatin1());
    reader.setAutoTransform(autoTransform);
    return readImage(reader);
}

} // namespace zova
