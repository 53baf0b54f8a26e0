#include "export/panel/FileDialogPicker.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

namespace zova {

namespace {

// A save dialog whose accept button also takes an existing folder as the answer,
// where Qt's save dialog would only open it.
class FolderSaveDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    void accept() override
    {
        const QStringList files = selectedFiles();
        if (files.size() == 1 && QFileInfo(files.first()).isDir()) {
            QDialog::accept();
            return;
        }
        QFileDialog::accept();
    }
};

} // namespace

QFileDialog* FileDialogPicker::makeDialog(const DestinationRequest& request, QWidget* parent)
{
    QFileDialog* dialog
        = request.kind == DestinationRequest::Kind::SaveFolder ? new FolderSaveDialog(parent) : new QFileDialog(parent);
    dialog->setObjectName(QStringLiteral("exportDestinationDialog"));
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setWindowTitle(request.title);
    dialog->setLabelText(QFileDialog::Accept, request.prompt);
    switch (request.kind) {
    case DestinationRequest::Kind::SaveFolder:
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setFileMode(QFileDialog::AnyFile);
        dialog->setOption(QFileDialog::DontConfirmOverwrite);
        break;
    case DestinationRequest::Kind::SaveFile:
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setFileMode(QFileDialog::AnyFile);
        dialog->setDefaultSuffix(request.extension);
        // The run asks before it replaces anything, in the same words for every format.
        dialog->setOption(QFileDialog::DontConfirmOverwrite);
        break;
    case DestinationRequest::Kind::ParentFolder:
        dialog->setAcceptMode(QFileDialog::AcceptOpen);
        dialog->setFileMode(QFileDialog::Directory);
        dialog->setOption(QFileDialog::ShowDirsOnly);
        break;
    }
    if (!request.nameFilters.isEmpty())
        dialog->setNameFilters(request.nameFilters);
    if (!request.suggestedName.isEmpty())
        dialog->selectFile(request.suggestedName);
    return dialog;
}

std::optional<QString> FileDialogPicker::chosenPath(const QFileDialog& dialog, const DestinationRequest& request)
{
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty() || files.first().isEmpty())
        return std::nullopt;
    const QString path = QFileInfo(files.first()).absoluteFilePath();
    if (request.kind == DestinationRequest::Kind::SaveFile)
        return withExtension(path, request.extension);
    return path;
}

std::optional<QString> FileDialogPicker::pick(const DestinationRequest& request)
{
    // The dialog may outlive its parent's deletion inside exec(); it is deleted with it then.
    QPointer<QFileDialog> dialog = makeDialog(request, m_parent);
    const int answer = dialog->exec();
    if (!dialog)
        return std::nullopt;
    std::optional<QString> path;
    if (answer == QDialog::Accepted)
        path = chosenPath(*dialog, request);
    delete dialog;
    return path;
}

bool FileDialogPicker::confirmReplace(const QString& name)
{
    QPointer<QMessageBox> box = new QMessageBox(m_parent);
    box->setObjectName(QStringLiteral("replaceExportAlert"));
    box->setIcon(QMessageBox::Warning);
    box->setWindowTitle(replaceQuestion(name));
    box->setText(replaceQuestion(name));
    QPushButton* replace = box->addButton(QStringLiteral("Replace"), QMessageBox::DestructiveRole);
    replace->setObjectName(QStringLiteral("replaceExportButton"));
    QPushButton* cancel = box->addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
    cancel->setObjectName(QStringLiteral("keepExportButton"));
    box->setDefaultButton(cancel);
    box->setEscapeButton(cancel);
    box->exec();
    if (!box)
        return false;
    const bool replaced = box->clickedButton() == replace;
    delete box;
    return replaced;
}

} // namespace zova
