#pragma once

#include <QImage>
#include <QString>

#include <optional>

class QFileDialog;
class QWidget;

namespace zova::image_file {

// The dialog's filter: every image format this Qt reads (PNG, JPEG, WebP, BMP,
// TIFF, and HEIC where a plug-in reads it), then all files.
QString nameFilter();
// The image file dialog, not yet shown (Qt's own dialog, one existing file); the caller owns it.
QFileDialog* makeDialog(QWidget* parent);
// The image in a file, turned upright by its orientation tag; none when it is no readable image.
std::optional<QImage> read(const QString& path);
// Runs the dialog modally; none when cancelled or the file is no readable image.
std::optional<QImage> choose(QWidget* parent);

} // namespace zova::image_file
