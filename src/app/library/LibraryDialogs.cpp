#include "app/library/LibraryDialogs.h"

#include "style/PillButton.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zova {

DeleteGuideAlert::DeleteGuideAlert(const QString& guideTitle, QWidget* parent)
    : ConfirmDialog(titleFor(guideTitle), messageText(), QStringLiteral("Delete"), Default::Cancel, parent)
{
    setObjectName(QStringLiteral("deleteGuideAlert"));
    deleteButton()->setObjectName(QStringLiteral("confirmDeleteGuideButton"));
    cancelButton()->setObjectName(QStringLiteral("cancelDeleteGuideButton"));
}

QString DeleteGuideAlert::messageText()
{
    return QStringLiteral(
        "This will remove the guide, all its steps, and every screenshot it captured. Can't be undone.");
}

QString DeleteGuideAlert::titleFor(const QString& guideTitle)
{
    return QStringLiteral("Delete \u201C") + guideTitle + QStringLiteral("\u201D?");
}

RenameGuideDialog::RenameGuideDialog(const QString& draft, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("renameGuideDialog"));
    setWindowTitle(QStringLiteral("Rename guide"));
    auto* v = new QVBoxLayout(this);
    auto* heading = new QLabel(QStringLiteral("Rename guide"), this);
    QFont f = heading->font();
    f.setBold(true);
    heading->setFont(f);
    v->addWidget(heading);
    v->addWidget(new QLabel(QStringLiteral("Enter a new name for this guide."), this));
    m_field = new QLineEdit(draft, this);
    m_field->setPlaceholderText(QStringLiteral("Guide title"));
    v->addWidget(m_field);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_save = new QPushButton(QStringLiteral("Save"), this);
    for (QPushButton* b : { m_cancel, m_save }) {
        b->setAutoDefault(false);
        b->setDefault(false);
        buttons->addWidget(b);
    }
    v->addLayout(buttons);
    connect(m_save, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(360, sizeHint().height());
}

SaveFailedAlert::SaveFailedAlert(Change change, const QString& reason, QWidget* parent)
    : QMessageBox(parent)
{
    setObjectName(QStringLiteral("saveFailedAlert"));
    setIcon(QMessageBox::Warning);
    setWindowTitle(textFor(change));
    setText(textFor(change));
    setInformativeText(reason + QStringLiteral(" Z.O.V.A keeps trying to save it."));
    addButton(QMessageBox::Ok);
}

DeleteRefusedAlert::DeleteRefusedAlert(const QString& guideTitle, QWidget* parent)
    : QMessageBox(parent)
{
    setObjectName(QStringLiteral("deleteRefusedAlert"));
    setIcon(QMessageBox::Information);
    setWindowTitle(textFor(guideTitle));
    setTextFormat(Qt::PlainText);
    setText(textFor(guideTitle));
    setInformativeText(reason());
    addButton(QMessageBox::Ok);
}

QString DeleteRefusedAlert::textFor(const QString& guideTitle)
{
    return QStringLiteral("\u201C") + guideTitle + QStringLiteral("\u201D can\u2019t be deleted right now.");
}

QString DeleteRefusedAlert::reason()
{
    return QStringLiteral("It is being recorded. Stop the recording, then delete the guide.");
}

QString SaveFailedAlert::textFor(Change change)
{
    switch (change) {
    case Change::Rename: return QStringLiteral("The new name could not be saved.");
    case Change::Delete: return QStringLiteral("The deletion could not be saved.");
    }
    return {};
}

} // namespace zova
