#pragma once

#include "base/Expected.h"

#include <QImage>
#include <QString>

class QImageReader;

namespace zova {

// Why an image file gave no image.
enum class ImageReadError {
    NotAFile, // a folder, a named pipe, a device: never read
    Unreadable, // missing, not readable, or nothing Qt decodes
    TooLarge, // wider or taller than imageMaxSide
};
QString describe(ImageReadError error);

// The largest image the application reads, in pixels a side (an 8K screen is 7680 wide).
constexpr int imageMaxSide = 16384;

// Raises Qt's allocation limit for decoded images, whose default refuses a 7000 ×
// 7000 photo, so that an image of imageMaxSide a side fits even at 16 bits a
// channel. The application root calls it before any image is read; the reads
// below make sure of it themselves.
void allowLargeImages();

// Decodes the image of `reader`. One whose declared size is beyond imageMaxSide is
// refused before anything is decoded, and one that turns out larger after it.
Expected<QImage, ImageReadError> readImage(QImageReader& reader);

// The image in the file at `path`, turned upright by its orientation tag when
// `autoTransform` is set. Only a regular file (or a link to one) is read; anything
// else is refused without blocking, however long a writer keeps it waiting. Any thread.
Expected<QImage, ImageReadError> readImageFile(const QString& path, bool autoTransform);

} // namespace zova
