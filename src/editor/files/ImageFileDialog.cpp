#include "editor/files/ImageFileDialog.h"

#include <QFileDialog>
#include <QImageReader>
#include <QPointer>
#include <QStringList>

namespace zova::image_file {

QString nameFilter()
{
    QStringList patterns;
    for (const QByteArray& format : QImageReader::supportedImageFormats())
        patterns << QStringLiteral("*.") + QString::fromLatin1(format).toLower();
    patterns.removeDuplicates();
    return QStringLiteral("Images (%1);;All files (*)").arg(patterns.join(QLatin1Char(' ')));
}

QFileDialog* makeDialog(QWidget* parent)
{
    auto* dialog = new QFileDialog(parent);
    dialog->setObjectName(QStringLiteral("imageFileDialog"));
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setNameFilter(nameFilter());
    return dialog;
}

std::optional<QImage> read(const QString& path)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;
    return image;
}

std::optional<QImage> choose(QWidget* parent)
{
    // The dialog may go with its parent inside exec().
    QPointer<QFileDialog> dialog = makeDialog(parent);
    const int answer = dialog->exec();
    if (!dialog)
        return std::nullopt;
    const QStringList files = dialog->selectedFiles();
    delete dialog;
    if (answer != QDialog::Accepted || files.isEmpty())
        return std::nullopt;
    return read(files.first());
}

} // namespace zova::image_file
