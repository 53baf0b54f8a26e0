#include "AppFixture.h"

#include "app/library/FauxScreenshotPreview.h"
#include "app/library/GuideCard.h"
#include "app/library/GuideCollection.h"
#include "app/library/GuideListRow.h"
#include "app/library/LibraryDialogs.h"
#include "app/library/LibraryEmptyState.h"
#include "app/library/LibrarySort.h"
#include "app/library/LibraryView.h"
#include "app/library/SearchField.h"
#include "app/shell/AppPalettes.h"
#include "model/ScreenshotCache.h"
#include "model/StorageService.h"
#include "style/PillButton.h"
#include "style/Symbols.h"
#include "style/TextLine.h"
#include "style/ZOVAColor.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

#include <functional>

#include <sqlite3.h>

#include <functional>

using namespace zova;

namespace {
QStringList titles(const QList<Guide*>& guides)
{
    QStringList out;
    for (const Guide* g : guides)
        out << g->title();
    return out;
}
} // namespace

using LibraryFixture = AppFixture;

TEST_F(LibraryFixture, PlaceholderAndCountPlurals)
{
    LibraryView view(context(), zova::test::storage(), m_settings, m_permissions);
    EXPECT_EQ(view.searchEdit()->placeholderText(), QStringLiteral("Search across 0 guides\u2026"));
    EXPECT_EQ(view.countLabel()->text(), QStringLiteral("0 guides"));
    addGuide(QStringLiteral("One"));
    QTest::qWait(1);
    QCoreApplication::processEvents();
    EXPECT_EQ(view.searchEdit()->placeholderText(), QStringLiteral("Search across 1 guide\u2026"));
    EXPECT_EQ(view.countLabel()->text(), QStringLiteral("1 guide"));
    addGuide(QStringLiteral("Two"), 5);
    QCoreApplication::processEvents();
    EXPECT_EQ(view.searchEdit()->placeholderText(), QStringLiteral("Search across 2 guides\u2026"));
    view.setSearchText(QStringLiteral("one"));
    EXPECT_EQ(view.searchEdit()->placeholderText(), QStringLiteral("Search across 2 guides\u2026"))
        << "the search never changes the stored count";
    EXPECT_EQ(view.countLabel()->text(), QStringLiteral("1 guide"));
}

TEST_F(LibraryFixture, CountAndPlaceholderFollowTheAppearance)
{
    LibraryView view(context(), zova::test::storage(), m_settings, m_permissions);
    view.show();
    const QPalette before = QApplication::palette();
    for (const QPalette& palette : { AppPalettes::dark(), AppPalettes::light(), AppPalettes::dark() }) {
        QApplication::setPalette(palette);
        QCoreApplication::processEvents();
        EXPECT_EQ(
            view.searchEdit()->palette().color(QPalette::PlaceholderText), palette.color(QPalette::PlaceholderText));
        EXPECT_EQ(view.searchEdit()->palette().color(QPalette::Text), palette.color(QPalette::Text));
        EXPECT_EQ(view.countLabel()->color(), ZOVAColor::secondaryLabel());
    }
    QApplication::setPalette(before);
}

TEST_F(LibraryFixture, SortTable)
{
    // Query order is newest first; "alpha" and "Alpha" compare equal, "same" twins share an instant.
    Guide* beta = addGuide(QStringLiteral("beta"), 10);
    Guide* alphaOld = addGuide(QStringLiteral("Alpha"), 20);
    addGuide(QStringLiteral("alpha"), 5);
    Guide* twinA = addGuide(QStringLiteral("gamma"), 30);
    Guide* twinB = addGuide(QStringLiteral("delta"), 30);
    twinB->setCreatedAt(twinA->createdAt());
    Q_UNUSED(beta);
    Q_UNUSED(alphaOld);
    const struct {
        const char* stored;
        QStringList expected;
    } rows[] = {
        { "recent", { "alpha", "beta", "Alpha", "gamma", "delta" } },
        { "oldest", { "gamma", "delta", "Alpha", "beta", "alpha" } },
        { "nameAZ", { "alpha", "Alpha", "beta", "delta", "gamma" } },
        { "nameZA", { "gamma", "delta", "beta", "alpha", "Alpha" } },
        { "nameaz", { "alpha", "beta", "Alpha", "gamma", "delta" } }, // unknown: recent
        { "", { "alpha", "beta", "Alpha", "gamma", "delta" } },
    };
    LibraryView view(context(), zova::test::storage(), m_settings, m_permissions);
    for (const auto& row : rows) {
        store(settings::librarySortOrder.key, QString::fromLatin1(row.stored));
        EXPECT_EQ(titles(view.filteredGuides()), row.expected) << row.stored;
    }
    store(settings::librarySortOrder.key, QStringLiteral("nameaz"));
    view.chooseSort(view.sortOrder()); // refresh labels without storing anything new
    store(settings::librarySortOrder.key, QStringLiteral("nameaz"));
    QMenu* menu = view.buildSortMenu();
    ASSERT_EQ(menu->actions().size(), 4);
    EXPECT_TRUE(menu->actions()[0]->isChecked()) << "an unknown stored order marks Recent";
    // The checkmark is what shows: the icon stands where the indicator would.
    const auto looksLike = [](const QAction* a, const QString& symbol) {
        return a->icon().pixmap(16).toImage() == Symbols::icon(symbol, ZOVAColor::label()).pixmap(16).toImage();
    };
    EXPECT_TRUE(looksLike(menu->actions()[0], QStringLiteral("checkmark")));
    for (int i = 1; i < 4; ++i) {
        EXPECT_FALSE(menu->actions()[i]->isChecked());
        EXPECT_FALSE(looksLike(menu->actions()[i], QStringLiteral("checkmark"))) << i;
    }
    EXPECT_EQ(menu->actions()[2]->text(), QStringLiteral("Name A\u2013Z"));
    menu->actions()[3]->trigger();
    EXPECT_EQ(stored(settings::librarySortOrder.key).toString(), QStringLiteral("nameZA"));
    EXPECT_EQ(view.sortButton()->text(), QStringLiteral("Sort: Name Z\u2013A"));
}

TEST_F(LibraryFixture, SearchIsUntrimmedAndCaseInsensitive)
{
    addGuide(QStringLiteral("Export invoices"), 1);
    addGuide(QStringLiteral("Setup"), 2);
    addGuide(QStringLiteral("export"), 3);
    LibraryView view(context(), zova::test::storage(), m_settings, m_permissions);
    const struct {
        const char* search;
        QStringList expected;
    } rows[] = { { "EXPORT", { "Export invoices", "export" } }, { " ", { "Export invoices" } }, { "nothing", {} },
        { "", { "Export invoices", "Setup", "export" } } };
    for (const auto& row : rows) {
        view.setSearchText(QString::fromLatin1(row.search));
        EXPECT_EQ(titles(view.filteredGuides()), row.expected) << "'" << row.search << "'";
        EXPECT_EQ(view.collection()->shown().size(), row.expected.size());
    }
    view.setSearchText(QStringLiteral("nothing"));
    EXPECT_TRUE(view.collection()->emptyState()->isVisibleTo(view.collection()));
}

TEST(LibrarySearch, MatchesAcrossCaseFoldingAndComposition)
{
    const QString precomposed = QStringLiteral("Caf\u00E9 menu");
    const QString decomposed = QStringLiteral("Cafe\u0301 menu");
    const struct {
        QString title, search;
        bool matches;
    } rows[] = {
        { QStringLiteral("Stra\u00DFe finden"), QStringLiteral("STRASSE"), true },
        { QStringLiteral("Stra\u00DFe finden"), QStringLiteral("strasse"), true },
        { QStringLiteral("STRASSE"), QStringLiteral("stra\u00DFe"), true },
        { precomposed, QStringLiteral("cafe\u0301"), true },
        { decomposed, QStringLiteral("CAF\u00C9"), true },
        { precomposed, QStringLiteral("cafe "), false }, // accents still count
        { QStringLiteral("Export invoices"), QStringLiteral("EXPORT"), true },
        { QStringLiteral("Export invoices"), QStringLiteral("invoices "), false },
    };
    for (const auto& row : rows)
        EXPECT_EQ(library::titleMatches(row.title, row.search), row.matches)
            << row.title.toStdString() << " / " << row.search.toStdString();
}

TEST_F(LibraryFixture, ViewModeToggle)
{
    addGuide(QStringLiteral("A"));
    LibraryView view(context(), zova::test::storage(), m_settings, m_permissions);
    EXPECT_EQ(view.layoutButton()->text(), QStringLiteral("Grid"));
    EXPECT_EQ(view.layoutButton()->toolTip(), QStringLiteral("Switch to list view"));
    view.layoutButton()->click();
    EXPECT_EQ(stored(settings::libraryViewMode.key).toString(), QStringLiteral("list"));
    EXPECT_EQ(view.layoutButton()->text(), QStringLiteral("List"));
    EXPECT_EQ(view.layoutButton()->toolTip(), QStringLiteral("Switch to grid view"));
    EXPECT_TRUE(view.collection()->isListMode());
    view.layoutButton()->click();
    EXPECT_EQ(stored(settings::libraryViewMode.key).toString(), QStringLiteral("grid"));
    store(settings::libraryViewMode.key, QStringLiteral("LIST"));
    view.toggleLayout();
    EXPECT_EQ(stored(settings::libraryViewMode.key).toString(), QStringLiteral("list"))
        << "an unknown value is the grid, so the toggle stores list";
}

TEST_F(LibraryFixture, RenameTrimsAndIgnoresBlank)
{
    Guide* g = addGuide(QStringLiteral("Old"));
    LibraryView view(context(), zova::test::storage(), m_settings, m_permissions);
    view.performRename(g, QStringLiteral("  New title \n"));
    EXPECT_EQ(g->title(), QStringLiteral("New title"));
    EXPECT_FALSE(context()->hasChanges()) << "saved";
    view.performRename(g, QStringLiteral("   \n"));
    EXPECT_EQ(g->title(), QStringLiteral("New title"));

    view.requestRename(g);
    ASSERT_NE(view.renameDialog(), nullptr);
    EXPECT_EQ(view.renameDialog()->field()->text(), QStringLiteral("New title"));
    EXPECT_EQ(view.renameDialog()->field()->placeholderText(), QStringLiteral("Guide title"));
    view.renameDialog()->field()->setText(QStringLiteral(" Final "));
    view.renameDialog()->saveButton()->click();
    EXPECT_EQ(g->title(), QStringLiteral("Final"));
}

TEST_F(LibraryFixture, DeleteRemovesFilesAfterTheSaveAndSkipsMissingOnes)
{
    const QString first = writeScreenshot(), third = writeScreenshot();
    const QString missing = QStringLiteral("gone.png");
    Guide* g = addGuide(QStringLiteral("Three"), 0, { first, missing, third, QString() });
    Guide* other = addGuide(QStringLiteral("Other"), 1);
    LibraryView view(context(), zova::test::storage(), m_settings, m_permissions);
    view.setEditingGuide(g);
    ASSERT_NE(view.editorPlace(), nullptr);

    view.requestDelete(g);
    ASSERT_NE(view.deleteAlert(), nullptr);
    EXPECT_EQ(view.deleteAlert()->title(), QStringLiteral("Delete \u201CThree\u201D?"));
    EXPECT_EQ(view.deleteAlert()->message(),
        QStringLiteral(
            "This will remove the guide, all its steps, and every screenshot it captured. Can't be undone."));
    EXPECT_EQ(view.deleteAlert()->defaultButton(), view.deleteAlert()->cancelButton());
    view.deleteAlert()->deleteButton()->click();

    EXPECT_TRUE(g->isDeleted());
    EXPECT_EQ(view.editingGuide(), nullptr) << "the open guide's editor closes";
    EXPECT_FALSE(screenshotExists(first));
    EXPECT_FALSE(screenshotExists(third));
    EXPECT_EQ(context()->guides(), QList<Guide*> { other });
    EXPECT_FALSE(context()->hasChanges());
    EXPECT_EQ(DeleteGuideAlert::titleFor(QString()), QStringLiteral("Delete \u201C\u201D?"));
}

TEST_F(LibraryFixture, TitlesFromOtherProgramsAreShownAsPlainText)
{
    const QString markup = QStringLiteral("<b>Report</b> &amp; <i>notes</i>");
    DeleteGuideAlert alert(markup, nullptr);
    EXPECT_EQ(alert.title(), DeleteGuideAlert::titleFor(markup)) << "drawn as it stands: no markup is read";
    Guide* g = addGuide(markup);
    LibraryView view(context(), zova::test::storage(), m_settings, m_permissions);
    view.setEditingGuide(g);
    ASSERT_NE(view.editorPlace(), nullptr);
    bool found = false;
    for (const QLabel* label : view.editorPlace()->findChildren<QLabel*>()) {
        if (label->text() == markup) {
            found = true;
            EXPECT_EQ(label->textFormat(), Qt::PlainText);
        }
    }
    EXPECT_TRUE(found) << "the placeholder shows the title";
}

TEST_F(LibraryFixture, RenameOrDeleteWhoseSaveFailsSaysSo)
{
    Guide* renamed = addGuide(QStringLiteral("Old"));
    Guide* deleted = addGuide(QStringLiteral("Doomed"), 1);
    LibraryView view(context(), zova::test::storage(), m_settings, m_permissions);
    view.show();
    context()->setBusyTimeout(20);
    // Another program holds the store's write lock.
    sqlite3* other = nullptr;
    sqlite3_open(QFile::encodeName(m_dir.path() + "/ZOVA.store").constData(), &other);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);

    const struct {
        std::function<void()> act;
        QString text;
    } rows[] = {
        { [&] { view.performRename(renamed, QStringLiteral("New")); }, "The new name could not be saved." },
        { [&] { view.performDelete(deleted); }, "The deletion could not be saved." },
    };
    for (const auto& row : rows) {
        row.act();
        auto* alert = view.findChild<QMessageBox*>(QStringLiteral("saveFailedAlert"));
        ASSERT_NE(alert, nullptr) << row.text.toStdString();
        EXPECT_TRUE(alert->isVisible());
        EXPECT_EQ(alert->text(), row.text);
        EXPECT_TRUE(alert->informativeText().startsWith(QStringLiteral("The store could not be saved.")))
            << alert->informativeText().toStdString();
        EXPECT_TRUE(context()->hasChanges()) << "the change stays pending";
    }
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
}

TEST_F(LibraryFixture, GuideBeingRecordedIsNotDeleted)
{
    const QString shot = writeScreenshot();
    Guide* g = addGuide(QStringLiteral("Recording"), 0, { shot });
    LibraryHooks hooks;
    int released = 0;
    hooks.isBeingRecorded = [g](const Guide& guide) { return &guide == g; };
    hooks.willDelete = [&](const Guide&) { ++released; };
    LibraryView view(context(), zova::test::storage(), m_settings, m_permissions, hooks);
    view.show();
    // Asked to delete it, the library says why it won't instead of asking.
    view.requestDelete(g);
    EXPECT_EQ(view.deleteAlert(), nullptr);
    auto* refused = view.findChild<QMessageBox*>(QStringLiteral("deleteRefusedAlert"));
    ASSERT_NE(refused, nullptr);
    EXPECT_TRUE(refused->isVisible());
    EXPECT_EQ(refused->text(), QStringLiteral("\u201CRecording\u201D can\u2019t be deleted right now."));
    EXPECT_EQ(refused->informativeText(), DeleteRefusedAlert::reason());
    refused->close();
    EXPECT_FALSE(view.performDelete(g));
    EXPECT_TRUE(view.findChild<QMessageBox*>(QStringLiteral("deleteRefusedAlert")) != nullptr);
    EXPECT_FALSE(g->isDeleted());
    EXPECT_TRUE(screenshotExists(shot));
    EXPECT_EQ(released, 0);
    Guide* idle = addGuide(QStringLiteral("Idle"));
    EXPECT_TRUE(view.performDelete(idle));
    EXPECT_EQ(released, 1) << "the append target is released before a delete";
}

TEST_F(LibraryFixture, CtrlKInFocusedSearchKeepsText)
{
    addGuide(QStringLiteral("A"));
    LibraryView view(context(), zova::test::storage(), m_settings, m_permissions);
    view.show();
    QApplication::setActiveWindow(&view);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    QLineEdit* edit = view.searchEdit();
    edit->setFocus();
    edit->setText(QStringLiteral("abc def"));
    edit->setCursorPosition(2);
    QTest::keyClick(edit, Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), QStringLiteral("abc def"));
    EXPECT_TRUE(edit->hasFocus());

    // From elsewhere in the library, Ctrl+K and Ctrl+F focus the field.
    for (Qt::Key key : { Qt::Key_K, Qt::Key_F }) {
        view.layoutButton()->setFocus();
        ASSERT_FALSE(edit->hasFocus());
        QTest::keyClick(view.layoutButton(), key, Qt::ControlModifier);
        EXPECT_TRUE(edit->hasFocus()) << int(key);
    }
}

TEST_F(LibraryFixture, NewGuideShortcutAndButtonCallTheHook)
{
    int calls = 0;
    LibraryHooks hooks;
    hooks.startPickingWindow = [&] { ++calls; };
    LibraryView view(context(), zova::test::storage(), m_settings, m_permissions, hooks);
    view.show();
    QApplication::setActiveWindow(&view);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    EXPECT_EQ(view.newGuideButton()->toolTip(), QStringLiteral("Start a new recording (Ctrl+N)"));
    static_cast<QAbstractButton*>(view.newGuideButton())->click();
    view.layoutButton()->setFocus();
    QTest::keyClick(view.layoutButton(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(view.minimumSize(), QSize(1100, 720));
}

TEST_F(LibraryFixture, ShortcutsWorkWhereverTheFocusIsInTheWindow)
{
    int calls = 0;
    LibraryHooks hooks;
    hooks.startPickingWindow = [&] { ++calls; };
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* outside = new QPushButton(QStringLiteral("Outside"), &window);
    auto* view = new LibraryView(context(), zova::test::storage(), m_settings, m_permissions, hooks, &window);
    layout->addWidget(outside);
    layout->addWidget(view);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QLineEdit* edit = view->searchEdit();
    // Focus on a control outside the library, and no focus at all.
    const std::function<void()> placeFocus[] = { [&] { outside->setFocus(); },
        [&] {
            if (QWidget* f = QApplication::focusWidget())
                f->clearFocus();
        } };
    int expectedCalls = 0;
    for (const auto& place : placeFocus) {
        for (Qt::Key key : { Qt::Key_K, Qt::Key_F }) {
            place();
            ASSERT_FALSE(edit->hasFocus());
            QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &window;
            QTest::keyClick(target, key, Qt::ControlModifier);
            EXPECT_TRUE(edit->hasFocus()) << int(key);
        }
        place();
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &window;
        QTest::keyClick(target, Qt::Key_N, Qt::ControlModifier);
        EXPECT_EQ(calls, ++expectedCalls);
    }
}

class CardFixture : public AppFixture {
protected:
    ScreenshotCache m_screenshots { zova::test::storage() };
};

TEST_F(CardFixture, StatusPillTable)
{
    Guide* g = addGuide(QStringLiteral("G"));
    GuideCard card(g, {}, {}, &m_screenshots);
    const struct {
        const char* raw;
        const char* text;
        QColor color;
    } rows[] = { { "draft", "Draft", ZOVAColor::amber() }, { "review", "Review", ZOVAColor::accent() },
        { "published", "Published", ZOVAColor::emerald() }, { "private", "Private", QColor(148, 163, 184) },
        { "Published", "Draft", ZOVAColor::amber() }, { "", "Draft", ZOVAColor::amber() } };
    for (const auto& row : rows) {
        g->setPublishStatusRaw(QString::fromLatin1(row.raw));
        EXPECT_EQ(card.statusText(), QString::fromLatin1(row.text)) << row.raw;
        EXPECT_EQ(card.statusColor(), row.color) << row.raw;
    }
}

TEST_F(CardFixture, StepTextsTitleAndPlaceholderLabel)
{
    const struct {
        int steps;
        const char* meta;
        const char* placeholder;
    } rows[] = { { 0, "0 steps", "0 STEPS" }, { 1, "1 step", "1 STEPS" }, { 3, "3 steps", "3 STEPS" } };
    for (const auto& row : rows) {
        QStringList names;
        for (int i = 0; i < row.steps; ++i)
            names << QString();
        Guide* g = addGuide(QString(), 0, names);
        GuideCard card(g, {}, {}, &m_screenshots);
        GuideListRow listRow(g, {}, &m_screenshots);
        EXPECT_EQ(card.stepsText(), QString::fromLatin1(row.meta));
        EXPECT_EQ(listRow.stepsText(), QString::fromLatin1(row.meta));
        EXPECT_EQ(card.placeholderLabel(), QString::fromLatin1(row.placeholder));
        EXPECT_EQ(card.titleText(), QStringLiteral("Untitled Guide"));
        EXPECT_EQ(listRow.titleText(), QStringLiteral("Untitled Guide"));
    }
    GuideCard spaced(addGuide(QStringLiteral(" ")), {}, {}, &m_screenshots);
    EXPECT_EQ(spaced.titleText(), QStringLiteral(" ")) << "not trimmed";
}

TEST_F(CardFixture, AiBadgeAndTooltip)
{
    Guide* g = addGuide(QStringLiteral("AI"));
    GuideCard off(
        g, {}, [] { return true; }, &m_screenshots);
    EXPECT_FALSE(off.showsAiBadge());
    g->setAiGenerated(true);
    GuideCard available(
        g, {}, [] { return true; }, &m_screenshots);
    GuideCard unavailable(
        g, {}, [] { return false; }, &m_screenshots);
    GuideCard unknown(g, {}, {}, &m_screenshots);
    EXPECT_TRUE(available.showsAiBadge());
    EXPECT_EQ(available.aiBadgeToolTip(),
        QStringLiteral("Generated by the on-device language model. AI can make mistakes \u2014 please review."));
    EXPECT_EQ(unavailable.aiBadgeToolTip(), QString());
    EXPECT_EQ(unknown.aiBadgeToolTip(), QString());
}

TEST_F(CardFixture, PreviewUsesOnlyTheFirstOrderedStep)
{
    const QString red = writeScreenshot(Qt::red), blue = writeScreenshot(Qt::blue);
    Guide* withImage = addGuide(QStringLiteral("A"), 0, { red, blue });
    withImage->steps()[0]->setOrder(5); // blue is now first in order
    Guide* firstMissing = addGuide(QStringLiteral("B"), 0, { QStringLiteral("missing.png"), red });
    Guide* empty = addGuide(QStringLiteral("C"));
    GuideCard a(withImage, {}, {}, &m_screenshots), b(firstMissing, {}, {}, &m_screenshots),
        c(empty, {}, {}, &m_screenshots);
    ASSERT_FALSE(a.previewImage().isNull());
    EXPECT_EQ(a.previewImage().pixelColor(5, 5), QColor(Qt::blue));
    EXPECT_TRUE(b.previewImage().isNull()) << "the placeholder shows even though step 2 has an image";
    EXPECT_TRUE(c.previewImage().isNull());
    GuideListRow rowB(firstMissing, {}, &m_screenshots);
    EXPECT_TRUE(rowB.thumbnail().isNull());
    // Painting both kinds must work offscreen.
    a.resize(260, a.heightForWidth(260));
    b.resize(260, b.heightForWidth(260));
    EXPECT_FALSE(a.grab().isNull());
    EXPECT_FALSE(b.grab().isNull());
}

TEST_F(CardFixture, MenusOfCardAndRow)
{
    Guide* g = addGuide(QStringLiteral("Menu"));
    QStringList calls;
    GuideActions actions { [&] { calls << "open"; }, [&] { calls << "rename"; }, [&] { calls << "delete"; } };
    GuideCard card(g, actions, {}, &m_screenshots);
    GuideListRow row(g, actions, &m_screenshots);
    for (QMenu* menu : { card.buildMenu(), row.buildMenu() }) {
        const auto items = menu->actions();
        ASSERT_EQ(items.size(), 4);
        EXPECT_EQ(items[0]->text(), QStringLiteral("Open"));
        EXPECT_EQ(items[0]->property("symbol").toString(), QStringLiteral("doc.text.magnifyingglass"));
        EXPECT_EQ(items[1]->text(), QStringLiteral("Rename\u2026"));
        EXPECT_TRUE(items[2]->isSeparator());
        EXPECT_EQ(items[3]->text(), QStringLiteral("Delete guide\u2026"));
        EXPECT_TRUE(items[3]->property("destructive").toBool());
        for (int i : { 0, 1, 3 })
            items[i]->trigger();
    }
    EXPECT_EQ(calls, (QStringList { "open", "rename", "delete", "open", "rename", "delete" }));
    EXPECT_EQ(card.moreButton()->toolTip(), QStringLiteral("More options"));
    card.resize(260, card.heightForWidth(260));
    card.show();
    QTest::mouseClick(&card, Qt::LeftButton, {}, QPoint(100, 150));
    EXPECT_EQ(calls.last(), QStringLiteral("open"));
}

TEST_F(LibraryFixture, OpeningAGuideShowsTheEditorPlace)
{
    Guide* g = addGuide(QStringLiteral("Open me"));
    LibraryView view(context(), zova::test::storage(), m_settings, m_permissions);
    view.show();
    GuideCard* card = view.collection()->cardFor(g);
    ASSERT_NE(card, nullptr);
    card->buildMenu()->actions()[0]->trigger();
    EXPECT_EQ(view.editingGuide(), g);
    ASSERT_NE(view.editorPlace(), nullptr);
    EXPECT_TRUE(view.editorPlace()->isVisible());
}
