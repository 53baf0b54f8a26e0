#pragma once

#include "style/ConfirmDialog.h"

#include <QDialog>
#include <QMessageBox>

class QLineEdit;
class QPushButton;

namespace zova {

// "Delete “title”?" with Delete and Cancel; Return cancels.
class DeleteGuideAlert : public ConfirmDialog {
    Q_OBJECT
public:
    DeleteGuideAlert(const QString& guideTitle, QWidget* parent);
    static QString titleFor(const QString& guideTitle);
    static QString messageText();
    PillButton* deleteButton() const { return confirmButton(); }
};

// "Rename guide" with a title field, Save and Cancel. Return in the field does nothing.
class RenameGuideDialog : public QDialog {
    Q_OBJECT
public:
    RenameGuideDialog(const QString& draft, QWidget* parent);
    QLineEdit* field() const { return m_field; }
    QPushButton* saveButton() const { return m_save; }
    QPushButton* cancelButton() const { return m_cancel; }

private:
    QLineEdit* m_field;
    QPushButton* m_save;
    QPushButton* m_cancel;
};

// A rename or deletion that the store did not take: says so, and that it will be
// tried again, with the store's reason as the detail.
class SaveFailedAlert : public QMessageBox {
    Q_OBJECT
public:
    enum class Change { Rename, Delete };
    SaveFailedAlert(Change change, const QString& reason, QWidget* parent);
    static QString textFor(Change change);
};

// A deletion refused because the guide is receiving the steps of the recording
// under way: says why and what to do.
class DeleteRefusedAlert : public QMessageBox {
    Q_OBJECT
public:
    DeleteRefusedAlert(const QString& guideTitle, QWidget* parent);
    static QString textFor(const QString& guideTitle);
    static QString reason();
};

} // namespace zova
