#include "export/panel/FileDialogPicker.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

using namespace zova;
using Kind = DestinationRequest::Kind;

namespace {

// Runs `answer` on the dialog that the next modal call opens.
template <typename Dialog> void whenShown(std::function<void(Dialog*)> answer)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        if (auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            answer(dialog);
        }
    });
    timer->start();
}

struct DialogCase {
    const char* name;
    DestinationRequest request;
    QFileDialog::AcceptMode acceptMode;
    QFileDialog::FileMode fileMode;
    const char* typed; // typed into the name field; nullptr keeps the suggestion
    const char* expected; // the answer below the folder
};

} // namespace

class FileDialogPickerTest : public ::testing::TestWithParam<DialogCase> {
protected:
    QTemporaryDir m_dir;
};

TEST_P(FileDialogPickerTest, ShowsTheRequestAndAnswersThePath)
{
    const DialogCase& c = GetParam();
    QDir(m_dir.path()).mkdir("Existing");
    ASSERT_TRUE(test::writeFile(m_dir.filePath("Existing.pdf"), "earlier"));
    FileDialogPicker picker;
    std::optional<QString> seenName;
    whenShown<QFileDialog>([&](QFileDialog* dialog) {
        EXPECT_EQ(dialog->windowTitle(), c.request.title);
        EXPECT_EQ(dialog->labelText(QFileDialog::Accept), c.request.prompt);
        EXPECT_EQ(dialog->acceptMode(), c.acceptMode);
        EXPECT_EQ(dialog->fileMode(), c.fileMode);
        EXPECT_TRUE(dialog->testOption(QFileDialog::DontUseNativeDialog));
        if (c.request.kind != Kind::ParentFolder) {
            EXPECT_TRUE(dialog->testOption(QFileDialog::DontConfirmOverwrite)) << "the run asks, not the dialog";
        }
        if (!c.request.nameFilters.isEmpty()) {
            EXPECT_EQ(dialog->nameFilters(), c.request.nameFilters);
        }
        auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(field, nullptr);
        seenName = field->text();
        dialog->setDirectory(m_dir.path());
        field->setText(c.typed ? QString::fromUtf8(c.typed) : c.request.suggestedName);
        QMetaObject::invokeMethod(dialog, "accept"); // what the accept button does
        // A dialog that refused the answer fails the test instead of hanging it.
        QTimer::singleShot(500, dialog, [dialog] { dialog->reject(); });
    });
    const auto path = picker.pick(c.request);
    if (c.request.kind != Kind::ParentFolder) {
        EXPECT_EQ(seenName, std::optional<QString>(c.request.suggestedName));
    }
    ASSERT_TRUE(path.has_value());
    EXPECT_EQ(*path, QDir(m_dir.path()).filePath(QString::fromUtf8(c.expected)));
}

INSTANTIATE_TEST_SUITE_P(Requests, FileDialogPickerTest,
    ::testing::Values(DialogCase { "NewFolder", DestinationRequest::saveFolder("my-guide"), QFileDialog::AcceptSave,
                          QFileDialog::AnyFile, nullptr, "my-guide" },
        DialogCase { "ExistingFolderIsExportedInto", DestinationRequest::saveFolder("my-guide"),
            QFileDialog::AcceptSave, QFileDialog::AnyFile, "Existing", "Existing" },
        DialogCase { "PdfAsSuggested", DestinationRequest::saveFile("pdf", "my-guide"), QFileDialog::AcceptSave,
            QFileDialog::AnyFile, nullptr, "my-guide.pdf" },
        DialogCase { "PdfWithoutExtension", DestinationRequest::saveFile("pdf", "my-guide"), QFileDialog::AcceptSave,
            QFileDialog::AnyFile, "Handout", "Handout.pdf" },
        DialogCase { "ExistingPdfIsAnsweredWithoutAQuestion", DestinationRequest::saveFile("pdf", "my-guide"),
            QFileDialog::AcceptSave, QFileDialog::AnyFile, "Existing.pdf", "Existing.pdf" },
        DialogCase { "Mp4WithoutExtension", DestinationRequest::saveFile("mp4", "my-guide"), QFileDialog::AcceptSave,
            QFileDialog::AnyFile, "Clip", "Clip.mp4" },
        DialogCase { "ParentFolder", DestinationRequest::parentFolder(), QFileDialog::AcceptOpen,
            QFileDialog::Directory, "Existing", "Existing" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FileDialogPickerCancelTest, CancelAnswersNothing)
{
    FileDialogPicker picker;
    for (const DestinationRequest& r : { DestinationRequest::saveFolder("a"), DestinationRequest::saveFile("pdf", "a"),
             DestinationRequest::parentFolder() }) {
        whenShown<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
        EXPECT_FALSE(picker.pick(r).has_value()) << r.title.toStdString();
    }
}

TEST(FileDialogPickerCancelTest, ReplaceAlertHasReplaceAndCancel)
{
    FileDialogPicker picker;
    for (const char* button : { "Replace", "Cancel" }) {
        whenShown<QMessageBox>([button](QMessageBox* box) {
            EXPECT_EQ(box->text(), QString::fromUtf8("Replace the existing export “my-guide”?"));
            QStringList names;
            QPushButton* chosen = nullptr;
            for (QAbstractButton* b : box->buttons()) {
                names << b->text();
                if (b->text() == QLatin1String(button))
                    chosen = qobject_cast<QPushButton*>(b);
            }
            names.sort();
            EXPECT_EQ(names, (QStringList { "Cancel", "Replace" }));
            ASSERT_NE(chosen, nullptr);
            chosen->click();
        });
        EXPECT_EQ(picker.confirmReplace("my-guide"), QLatin1String(button) == QLatin1String("Replace")) << button;
    }
}
