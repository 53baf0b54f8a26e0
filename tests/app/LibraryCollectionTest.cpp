#include "AppFixture.h"

#include "app/library/GuideCard.h"
#include "app/library/GuideCollection.h"
#include "app/library/GuideListRow.h"
#include "app/library/LibraryView.h"
#include "app/shell/AppPalettes.h"
#include "model/ScreenshotCache.h"
#include "model/SettingsTable.h"
#include "model/StorageService.h"
#include "style/CachedPaint.h"

#include <QAbstractButton>
#include <QApplication>
#include <QScrollBar>
#include <QSignalSpy>

using namespace zova;

namespace {

// Counts the paint events of the widgets it watches.
struct PaintCount : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        paints += e->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

// Every third guide is an invoice; the others are reports.
class CollectionFixture : public AppFixture {
protected:
    void seed(int count, const QStringList& screenshots = {})
    {
        for (int i = 0; i < count; ++i) {
            auto* g = new Guide(i % 3 == 0 ? QStringLiteral("Invoice %1").arg(i) : QStringLiteral("Report %1").arg(i));
            g->setCreatedAt(m_base.addSecs(-i));
            context()->insert(g);
            for (const QString& name : screenshots) {
                auto* s = new Step(0, name);
                s->setGuide(g);
                context()->insert(s);
            }
        }
        ASSERT_TRUE(context()->save().hasValue());
    }

    std::unique_ptr<LibraryView> showLibrary()
    {
        LibraryHooks hooks;
        hooks.screenshots = &m_screenshots;
        auto view = std::make_unique<LibraryView>(context(), zova::test::storage(), m_settings, m_permissions, hooks);
        view->resize(1280, 820);
        view->show();
        QApplication::setActiveWindow(view.get());
        EXPECT_TRUE(QTest::qWaitForWindowExposed(view.get()));
        QCoreApplication::processEvents();
        return view;
    }

    // Every guide whose place meets the viewport has a visible widget there,
    // showing that guide, and no other guide has one but the one with the
    // focus. Returns how many show.
    template <typename W>
    static int expectBoundToView(GuideCollection* c, W* (GuideCollection::*widgetFor)(const Guide*) const)
    {
        const int top = c->verticalScrollBar()->value();
        const QRect view = c->viewport()->rect();
        int inView = 0;
        for (qsizetype i = 0; i < c->shown().size(); ++i) {
            const QRect place = c->itemRect(i).translated(0, -top);
            W* w = (c->*widgetFor)(c->shown()[i]);
            if (!place.intersects(view)) {
                // Only the card with the focus stays, out of view.
                if (w && w->isAncestorOf(QApplication::focusWidget())) {
                    ++inView;
                    EXPECT_EQ(w->geometry(), place);
                } else {
                    EXPECT_EQ(w, nullptr) << "guide " << i << " out of view has a widget";
                }
                continue;
            }
            ++inView;
            if (!w) {
                ADD_FAILURE() << "guide " << i << " in view has no widget";
                continue;
            }
            EXPECT_TRUE(w->isVisible()) << i;
            EXPECT_EQ(w->guide(), c->shown()[i]) << i;
            EXPECT_EQ(w->geometry(), place) << i;
        }
        int visible = 0;
        for (W* w : c->viewport()->findChildren<W*>(Qt::FindDirectChildrenOnly))
            visible += w->isVisible() ? 1 : 0;
        EXPECT_EQ(visible, inView) << "a widget shows that no guide in view has";
        return inView;
    }
    static int expectCardsInView(GuideCollection* c) { return expectBoundToView(c, &GuideCollection::cardFor); }

    ScreenshotCache m_screenshots { zova::test::storage() };
};

} // namespace

TEST_F(CollectionFixture, OnlyAScreenfulOfCardsExistAndFilteringRebindsThemBothWays)
{
    seed(1000);
    auto view = showLibrary();
    GuideCollection* c = view->collection();
    QScrollBar* bar = c->verticalScrollBar();
    const auto cardWidgets = [&] { return c->viewport()->findChildren<GuideCard*>().size(); };

    ASSERT_EQ(c->shown().size(), 1000);
    const int screenful = expectCardsInView(c);
    EXPECT_GE(screenful, 8);
    EXPECT_LE(screenful, 16) << "a 1280 x 820 window shows two to four rows of four";
    EXPECT_EQ(cardWidgets(), screenful);
    EXPECT_GT(c->contentHeight(), 200 * c->itemRect(0).height()) << "the content is as tall as 250 rows";
    EXPECT_EQ(bar->maximum(), c->contentHeight() - c->viewport()->height());

    const struct {
        const char* search;
        qsizetype shown;
        int scrollTo; // -1: the end
    } steps[] = {
        { "Invoice", 334, 0 }, // narrowing
        { "Invoice 99", 5, 0 }, // 99, 990, 993, 996, 999
        { "Invoice", 334, -1 }, // widening, then to the end
        { "", 1000, -1 }, { "Report", 666, -1 }, // narrowing while at the end: the end moves up
        { "Invoice 9", 39, 0 }, { "", 1000, 0 }, // widening back to the start
    };
    for (const auto& step : steps) {
        view->setSearchText(QString::fromLatin1(step.search));
        ASSERT_EQ(c->shown().size(), step.shown) << step.search;
        for (const Guide* g : c->shown())
            EXPECT_TRUE(g->title().contains(QString::fromLatin1(step.search))) << step.search;
        if (step.scrollTo < 0)
            bar->setValue(bar->maximum());
        else
            bar->setValue(step.scrollTo);
        SCOPED_TRACE(step.search);
        const int inView = expectCardsInView(c);
        EXPECT_LE(cardWidgets(), 2 * screenful) << "widgets are kept for reuse, not made per guide";
        if (step.scrollTo < 0 && step.shown > 16) {
            EXPECT_NE(c->cardFor(c->shown().last()), nullptr) << "the last guide shows at the end";
            EXPECT_GE(inView, 4);
        }
    }

    // A guide that stays in view keeps its card while the filter changes.
    view->setSearchText(QStringLiteral("Invoice"));
    GuideCard* invoice = c->cardFor(c->shown()[1]);
    ASSERT_NE(invoice, nullptr);
    const Guide* kept = invoice->guide();
    view->setSearchText(QStringLiteral("Invoice 3"));
    EXPECT_EQ(kept->title(), QStringLiteral("Invoice 3"));
    EXPECT_EQ(c->cardFor(kept), invoice);
}

TEST_F(CollectionFixture, ListRowsAreBoundToTheViewAsWell)
{
    m_settings.setValue(settings::libraryViewMode, LibraryViewMode::List);
    seed(1000);
    auto view = showLibrary();
    GuideCollection* c = view->collection();
    ASSERT_TRUE(c->isListMode());
    const int screenful = expectBoundToView(c, &GuideCollection::rowFor);
    EXPECT_GE(screenful, 6);
    EXPECT_LE(screenful, 12);
    c->verticalScrollBar()->setValue(c->verticalScrollBar()->maximum() / 2);
    expectBoundToView(c, &GuideCollection::rowFor);
    view->setSearchText(QStringLiteral("Invoice 1"));
    expectBoundToView(c, &GuideCollection::rowFor);
    EXPECT_LE(c->viewport()->findChildren<GuideListRow*>().size(), 2 * screenful);
    view->toggleLayout();
    for (const GuideListRow* row : c->viewport()->findChildren<GuideListRow*>())
        EXPECT_FALSE(row->isVisible()) << "no row shows in the grid";
    expectCardsInView(c);
}

TEST_F(CollectionFixture, TabWalksEveryGuideAndTheFocusedCardKeepsItsGuide)
{
    seed(100);
    auto view = showLibrary();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    GuideCollection* c = view->collection();
    const int screenful = expectCardsInView(c);
    c->cardFor(c->shown()[0])->moreButton()->setFocus(Qt::TabFocusReason);

    const int steps = screenful + 9; // past the cards in view
    for (int i = 1; i <= steps; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        GuideCard* card = c->cardFor(c->shown()[i]);
        ASSERT_NE(card, nullptr) << i;
        ASSERT_TRUE(card->moreButton()->hasFocus()) << "tab " << i;
        const QRect place = card->moreButton()->geometry().translated(card->pos());
        EXPECT_TRUE(c->viewport()->rect().contains(place)) << "the focused button is scrolled into view, " << i;
    }
    for (int i = steps - 1; i >= steps - 6; --i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        ASSERT_TRUE(c->cardFor(c->shown()[i])->moreButton()->hasFocus()) << "back tab " << i;
    }

    // Scrolled away by the wheel's way, the focused card still shows its guide.
    Guide* focused = c->shown()[steps - 6];
    c->verticalScrollBar()->setValue(c->verticalScrollBar()->maximum());
    GuideCard* card = c->cardFor(focused);
    ASSERT_NE(card, nullptr);
    EXPECT_TRUE(card->moreButton()->hasFocus());
    EXPECT_EQ(card->guide(), focused);
    expectCardsInView(c);
    // Filtered out, it gives the focus up rather than pass it to another guide's card.
    view->setSearchText(QStringLiteral("Report"));
    ASSERT_FALSE(c->shown().contains(focused));
    for (GuideCard* other : c->viewport()->findChildren<GuideCard*>())
        EXPECT_FALSE(other->moreButton()->hasFocus() && other->guide() == focused);
}

TEST_F(CollectionFixture, ThumbnailsArriveOffTheGuiThreadAndRepaintTheirCard)
{
    ScreenshotCache& cache = m_screenshots;
    cache.clear();
    QSignalSpy arrived(&cache, &ScreenshotCache::loaded);
    const QSize box = GuideCard::previewBox();
    const QString shot = writeScreenshot(Qt::blue);
    seed(1, { shot });
    auto view = showLibrary();
    GuideCard* card = view->collection()->cardFor(view->collection()->shown()[0]);
    ASSERT_NE(card, nullptr);
    cache.waitForIdle();
    ASSERT_EQ(arrived.size(), 1) << "the card's paint asked for its preview";
    EXPECT_EQ(arrived[0][0].toString(), shot);
    EXPECT_EQ(cache.lookup(shot, box).status, ScreenshotCache::Status::Ready);

    // Painted while its preview decodes, the card paints again once it is there.
    cache.clear();
    PaintCount counter;
    card->installEventFilter(&counter);
    card->repaint();
    ASSERT_EQ(counter.paints, 1);
    cache.waitForIdle();
    ASSERT_EQ(arrived.size(), 2);
    EXPECT_TRUE(test::waitUntil([&] { return counter.paints > 1; })) << "the card repaints once it arrives";
    card->removeEventFilter(&counter);

    // A missing file reports once and is not read again at every paint.
    const QString missing = QStringLiteral("00000000-0000-0000-0000-000000000000.png");
    EXPECT_EQ(cache.lookup(missing, box).status, ScreenshotCache::Status::Loading);
    cache.waitForIdle();
    EXPECT_EQ(cache.lookup(missing, box).status, ScreenshotCache::Status::Missing);
    cache.waitForIdle();
    EXPECT_EQ(arrived.size(), 3);
    EXPECT_EQ(cache.lookup(QStringLiteral("../escape.png"), box).status, ScreenshotCache::Status::Missing);
    EXPECT_EQ(cache.lookup(QString(), box).status, ScreenshotCache::Status::Missing);
    cache.waitForIdle();
    EXPECT_EQ(arrived.size(), 3) << "a name that is not a bare file name is never read";
}

TEST_F(CollectionFixture, ACardRepaintsForTheGuideItShowsNow)
{
    seed(200);
    auto view = showLibrary();
    GuideCollection* c = view->collection();
    Guide* first = c->shown()[0];
    GuideCard* card = c->cardFor(first);
    ASSERT_NE(card, nullptr);
    PaintCount counter;
    card->installEventFilter(&counter);
    const auto paintsAfter = [&](const std::function<void()>& change) {
        QCoreApplication::processEvents();
        counter.paints = 0;
        change();
        QTest::qWait(20);
        return counter.paints;
    };
    EXPECT_GE(paintsAfter([&] { first->setPublishStatusRaw(QStringLiteral("published")); }), 1);
    EXPECT_GE(paintsAfter([&] { first->setAiGenerated(true); }), 1);

    // Scrolled out of view, the card shows another guide and follows that one.
    c->verticalScrollBar()->setValue(c->verticalScrollBar()->maximum());
    ASSERT_NE(card->guide(), first);
    ASSERT_TRUE(card->isVisible()) << "the card is reused at the end";
    Guide* now = card->guide();
    EXPECT_EQ(paintsAfter([&] { first->setPublishStatusRaw(QStringLiteral("review")); }), 0);
    EXPECT_GE(paintsAfter([&] { now->setPublishStatusRaw(QStringLiteral("private")); }), 1);
}

TEST_F(CollectionFixture, CardsFollowTheAppearanceThroughTheirKeptImages)
{
    seed(4);
    const QPalette before = QApplication::palette();
    auto view = showLibrary();
    GuideCard* card = view->collection()->cardFor(view->collection()->shown()[0]);
    ASSERT_NE(card, nullptr);
    const auto look = [&](const QPalette& palette) {
        QApplication::setPalette(palette);
        QCoreApplication::processEvents();
        return card->grab().toImage();
    };
    const QImage light = look(AppPalettes::light());
    const QImage dark = look(AppPalettes::dark());
    EXPECT_NE(dark, light);
    EXPECT_EQ(look(AppPalettes::light()), light) << "back to light, as it was";
    CachedPaint::clear();
    EXPECT_EQ(look(AppPalettes::dark()), dark) << "after the switch the card was drawn for the dark palette";
    QApplication::setPalette(before);
}
