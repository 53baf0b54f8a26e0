#include "editor/files/ImageFileDialog.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QImageReader>
#include <QPointer>
#include <QStringList>
#include <QThreadPool>

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

std::optional<QString> choose(QWidget* parent)
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
    return files.first();
}

ReadResult read(const QString& path) { return readImageFile(path, true); }

void readInBackground(const QString& path, QObject* receiver, std::function<void(ReadResult)> done)
{
    QPointer<QObject> target(receiver);
    QThreadPool::globalInstance()->start([path, target, done = std::move(done)] {
        const ReadResult result = read(path);
        // The application object outlives the receiver; the receiver is looked at
        // only on the GUI thread, where it is deleted.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [target, done, result] {
                if (target)
                    done(result);
            },
            Qt::QueuedConnection);
    });
}

} // namespace zova::image_file
