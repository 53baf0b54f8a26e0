#include "style/ConfirmDialog.h"
#include "style/PillButton.h"
#include "style/TextLine.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace zova;

namespace {

QString longName()
{
    return QStringLiteral(
        "Setting up the quarterly report for the regional offices, with every chart, table and footnote checked twice");
}

// Every title shows whole: in the title bar up to the dialog's widest, in the
// heading always, wrapped; the message reads in a few lines, not a narrow column.
TEST(ConfirmDialog, WideEnoughForItsTitleAndShowsAllOfItsText)
{
    QApplication::setApplicationDisplayName(QStringLiteral("Z.O.V.A"));
    const QString message = QStringLiteral(
        "This will remove the guide, all its steps, and every screenshot it captured. Can't be undone.");
    const struct {
        const char* name;
        QString title;
        bool titleBarFits;
    } rows[] = {
        { "short", QStringLiteral("Delete 1 step?"), true },
        { "a guide's name", QStringLiteral("Delete \u201CQuarterly report\u201D?"), true },
        { "a long name", QStringLiteral("Delete \u201C") + longName() + QStringLiteral("\u201D?"), false },
    };
    for (const auto& row : rows) {
        ConfirmDialog dialog(row.title, message, QStringLiteral("Delete"), ConfirmDialog::Default::Cancel);
        dialog.show();
        EXPECT_EQ(dialog.windowTitle(), row.title) << row.name;
        EXPECT_GE(dialog.width(), ConfirmDialog::minimumWidth) << row.name;
        EXPECT_LE(dialog.width(), ConfirmDialog::maximumWidth) << row.name;
        QFont bar = dialog.font();
        bar.setBold(true);
        const qreal titleBar = QFontMetricsF(bar).horizontalAdvance(row.title + QStringLiteral(" \u2014 Z.O.V.A"))
            + ConfirmDialog::titleBarReserve;
        EXPECT_EQ(dialog.width() >= titleBar, row.titleBarFits)
            << row.name << ": " << dialog.width() << " for " << titleBar;

        for (TextLine* text : { dialog.heading(), dialog.messageLine() }) {
            EXPECT_GE(text->height(), text->heightForWidth(text->width()))
                << row.name << ": cut " << text->objectName().toStdString();
            EXPECT_TRUE(dialog.rect().contains(text->geometry())) << row.name;
        }
        EXPECT_EQ(dialog.title(), row.title);
        const qreal lines = dialog.messageLine()->heightForWidth(dialog.messageLine()->width())
            / QFontMetricsF(dialog.messageLine()->textFont()).lineSpacing();
        EXPECT_LE(lines, 3.0) << row.name << ": the message reads in at most three lines";
        EXPECT_GT(dialog.messageLine()->width(), dialog.width() * 0.8) << row.name;

        const QRect cancel = dialog.cancelButton()->geometry();
        const QRect confirm = dialog.confirmButton()->geometry();
        EXPECT_LT(cancel.right(), confirm.left()) << row.name << ": Cancel, then the button that goes ahead";
        EXPECT_TRUE(dialog.rect().contains(confirm)) << row.name;
        EXPECT_GT(cancel.top(), dialog.messageLine()->geometry().bottom()) << row.name;
    }
}

TEST(ConfirmDialog, KeysAndButtons)
{
    const struct {
        const char* name;
        ConfirmDialog::Default defaultButton;
        std::function<void(ConfirmDialog&)> act;
        int result;
    } rows[] = {
        { "Return goes ahead", ConfirmDialog::Default::Confirm,
            [](ConfirmDialog& d) { QTest::keyClick(&d, Qt::Key_Return); }, QDialog::Accepted },
        { "Return cancels", ConfirmDialog::Default::Cancel,
            [](ConfirmDialog& d) { QTest::keyClick(&d, Qt::Key_Return); }, QDialog::Rejected },
        { "Escape cancels", ConfirmDialog::Default::Confirm,
            [](ConfirmDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); }, QDialog::Rejected },
        { "the button", ConfirmDialog::Default::Cancel, [](ConfirmDialog& d) { d.confirmButton()->click(); },
            QDialog::Accepted },
        { "Cancel", ConfirmDialog::Default::Confirm, [](ConfirmDialog& d) { d.cancelButton()->click(); },
            QDialog::Rejected },
    };
    for (const auto& row : rows) {
        ConfirmDialog dialog(
            QStringLiteral("Delete 2 steps?"), QStringLiteral("Gone."), QStringLiteral("Delete"), row.defaultButton);
        QSignalSpy finished(&dialog, &QDialog::finished);
        dialog.show();
        EXPECT_EQ(dialog.confirmButton()->text(), QStringLiteral("Delete"));
        EXPECT_TRUE(dialog.defaultButton()->hasFocus() || !QApplication::activeWindow()) << row.name;
        row.act(dialog);
        ASSERT_EQ(finished.count(), 1) << row.name;
        EXPECT_EQ(finished.first().first().toInt(), row.result) << row.name;
    }
}

} // namespace
