#pragma once

#include "base/Expected.h"
#include "model/ImageReading.h"

#include <QImage>
#include <QString>

#include <functional>
#include <optional>

class QFileDialog;
class QObject;
class QWidget;

namespace zova::image_file {

// The dialog's filter: every image format this Qt reads (PNG, JPEG, WebP, BMP,
// TIFF, and HEIC where a plug-in reads it), then all files.
QString nameFilter();
// The image file dialog, not yet shown (Qt's own dialog, one existing file); the caller owns it.
QFileDialog* makeDialog(QWidget* parent);
// Runs the dialog modally; the chosen path, none when cancelled. Nothing is read.
std::optional<QString> choose(QWidget* parent);

using ReadResult = Expected<QImage, ImageReadError>;
// The image in a file, turned upright by its orientation tag. Only a regular file
// is read (see readImageFile()). Any thread.
ReadResult read(const QString& path);
// Reads the file on a worker thread and hands the outcome to `done` later on the
// GUI thread, unless `receiver` (a GUI-thread object) is gone by then.
void readInBackground(const QString& path, QObject* receiver, std::function<void(ReadResult)> done);

} // namespace zova::image_file
