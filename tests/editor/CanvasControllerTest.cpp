#include "EditorFixture.h"

#include "editor/EditorController.h"

#include <QRegularExpression>
#include <QSignalSpy>

#include <sqlite3.h>

using namespace zova;

namespace {

class CanvasControllerTest : public EditorFixture {
protected:
    void SetUp() override
    {
        EditorFixture::SetUp();
        // The chosen image as a file of its own; a null one as a file that is no image.
        hooks.chooseImageFile = [this]() -> std::optional<QString> {
            ++m_asked;
            if (m_chosenPath)
                return m_chosenPath;
            if (!m_choice)
                return std::nullopt;
            const QString path = m_picks.filePath(QStringLiteral("chosen-%1.png").arg(m_asked));
            EXPECT_TRUE(m_choice->isNull() ? test::writeFile(path, "not an image") : m_choice->save(path, "png"));
            return path;
        };
        hooks.imageEditor = ImageEditorHandOff(m_handOff.path() + "/Z.O.V.A", [this](const QUrl& url) {
            m_opened.append(url);
            return m_openSucceeds;
        });
    }
    void open(const QList<qint64>& orders, bool withFiles = true)
    {
        m_guide = makeGuide(orders, withFiles);
        m_controller = std::make_unique<EditorController>(m_guide, context(), withTestFiles(hooks));
        m_controller->list().appear();
    }
    QList<Step*> steps() const { return m_guide->orderedSteps(); }
    Step* focused() const { return m_controller->focusedStep(); }
    static QImage picture(QSize size = QSize(64, 48))
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        return image;
    }
    static QStringList screenshotFiles()
    {
        return QDir(zova::test::storage().screenshotsDirectory()).entryList(QDir::Files);
    }
    std::optional<QString> fileError() const { return m_controller->state().alerts.fileOpError; }

    // Another connection holds the write lock while this lives: saves fail.
    struct StoreLock {
        explicit StoreLock(const QString& path, ModelContext* context)
        {
            context->setBusyTimeout(0);
            sqlite3_open(path.toUtf8().constData(), &db);
            locked = sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK;
        }
        ~StoreLock()
        {
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            sqlite3_close(db);
        }
        sqlite3* db = nullptr;
        bool locked = false;
    };

    EditorController::Hooks hooks;
    std::optional<QImage> m_choice = picture();
    // Chosen as it is, instead of a file of m_choice.
    std::optional<QString> m_chosenPath;
    QTemporaryDir m_picks;
    int m_asked = 0;
    QTemporaryDir m_handOff;
    QList<QUrl> m_opened;
    bool m_openSucceeds = true;
    Guide* m_guide = nullptr;
    std::unique_ptr<EditorController> m_controller;
};

TEST_F(CanvasControllerTest, MarkerDragMovesOnlyThePendingHotspotUntilItEnds)
{
    open({ 0, 1 });
    Step* step = focused();
    step->setClickX(0.5);
    step->setClickY(0.5);
    QSignalSpy canvas(m_controller.get(), &EditorController::canvasChanged);
    const QSizeF displayed(400, 300);
    m_controller->canvas().dragHotspot({ 200, 0 }, displayed);
    EXPECT_EQ(m_controller->state().pendingClick, QPointF(1.0, 0.5));
    m_controller->canvas().dragHotspot({ 600, 30 }, displayed);
    EXPECT_EQ(m_controller->state().pendingClick, QPointF(1.0, 0.6));
    EXPECT_EQ(step->clickX(), 0.5) << "the stored hotspot moved during the drag";
    EXPECT_EQ(step->clickY(), 0.5);
    m_controller->canvas().dragHotspot({ 5, 5 }, QSizeF(0, 300));
    EXPECT_EQ(m_controller->state().pendingClick, QPointF(1.0, 0.6)) << "a zero-width image takes no drag";
    m_controller->canvas().endHotspotDrag();
    EXPECT_EQ(step->clickX(), 1.0);
    EXPECT_DOUBLE_EQ(step->clickY(), 0.6);
    EXPECT_FALSE(m_controller->state().pendingClick);
    EXPECT_EQ(canvas.count(), 3);

    // A press and release without movement writes nothing.
    QSignalSpy writes(step, &Step::clickXChanged);
    m_controller->canvas().endHotspotDrag();
    EXPECT_EQ(writes.count(), 0);
    EXPECT_EQ(step->clickX(), 1.0);
}

TEST_F(CanvasControllerTest, FocusChangeDropsThePendingHotspot)
{
    open({ 0, 1 });
    m_controller->canvas().dragHotspot({ 10, 10 }, { 100, 100 });
    ASSERT_TRUE(m_controller->state().pendingClick);
    const QUuid other = steps()[1]->id();
    m_controller->list().clickRow(other, selection::Click::Plain);
    EXPECT_FALSE(m_controller->state().pendingClick);
    m_controller->canvas().endHotspotDrag();
    EXPECT_EQ(steps()[1]->clickX(), 0) << "the drag of one step wrote into another";
}

TEST_F(CanvasControllerTest, DescriptionFieldTextAndEdits)
{
    open({ 0 });
    Step* step = focused();
    EXPECT_EQ(StepCanvasController::descriptionText(*step), "Step with order 0")
        << "the label shows when no description";
    EXPECT_FALSE(step->userDescription());
    m_controller->canvas().setDescription(step->id(), "Step with order 0!");
    EXPECT_EQ(step->userDescription(), "Step with order 0!");
    m_controller->canvas().setDescription(step->id(), QString());
    EXPECT_EQ(step->userDescription(), QString()) << "a cleared field stores the empty text, not none";
    EXPECT_EQ(StepCanvasController::descriptionText(*step), QString()) << "an empty description hides the label";
}

TEST_F(CanvasControllerTest, WithStepsLeftOneIsAlwaysFocused)
{
    open({ 0, 1, 2 });
    const QUuid first = steps()[0]->id(), third = steps()[2]->id();
    // Ctrl-click takes the only selected (and focused) step out of the selection.
    m_controller->list().clickRow(third, selection::Click::Plain);
    m_controller->list().clickRow(third, selection::Click::Toggle);
    EXPECT_TRUE(m_controller->state().selection.selected.isEmpty());
    EXPECT_EQ(m_controller->state().selection.focused, first);

    // The focused step removed elsewhere.
    context()->remove(steps()[0]);
    ASSERT_TRUE(test::waitUntil([&] { return focused() == steps().first(); }));
}

TEST_F(CanvasControllerTest, StepsArrivingInAnEmptyGuideGetTheFocus)
{
    open({});
    EXPECT_EQ(focused(), nullptr);
    auto* recorded = new Step(0, saveShot(1));
    recorded->setGuide(m_guide);
    ASSERT_TRUE(test::waitUntil([&] { return focused() == recorded; }));
}

TEST_F(CanvasControllerTest, CropStartsOnlyForAReadableScreenshot)
{
    open({ 0, 1 });
    QFile::remove(QDir(zova::test::storage().screenshotsDirectory()).filePath(steps()[0]->screenshotFilename()));
    m_controller->canvas().requestCrop();
    EXPECT_FALSE(m_controller->state().sheets.cropping) << "cropping began on a screenshot that cannot be read";

    const QUuid second = steps()[1]->id();
    m_controller->list().clickRow(steps()[0]->id(), selection::Click::Toggle);
    m_controller->canvas().cropStep(second);
    EXPECT_TRUE(m_controller->state().sheets.cropping);
    EXPECT_EQ(m_controller->state().selection, (Selection { { second }, second }));
    m_controller->canvas().endCropping();
    EXPECT_FALSE(m_controller->state().sheets.cropping);
}

struct AddCase {
    const char* name;
    QList<qint64> orders;
    qint64 expected;
};

class AddStepOrder : public CanvasControllerTest, public ::testing::WithParamInterface<AddCase> { };

TEST_P(AddStepOrder, FollowsTheLargestOrderAndIsFocusedAlone)
{
    open(GetParam().orders);
    QSet<QUuid> before;
    for (const Step* s : m_guide->steps())
        before.insert(s->id());
    if (steps().size() > 1) {
        m_controller->list().clickRow(steps()[0]->id(), selection::Click::Plain);
        m_controller->list().clickRow(steps()[1]->id(), selection::Click::Toggle);
    }
    m_controller->canvas().addStepFromImageFile();
    finishFileReads();
    ASSERT_EQ(steps().size(), GetParam().orders.size() + 1);
    Step* added = nullptr;
    for (Step* s : m_guide->steps())
        if (!before.contains(s->id()))
            added = s;
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->order(), GetParam().expected);
    EXPECT_EQ(added->clickX(), 0.5);
    EXPECT_EQ(added->clickY(), 0.5);
    EXPECT_FALSE(added->ocrLabel());
    EXPECT_FALSE(added->userDescription());
    EXPECT_FALSE(added->annotationsData());
    EXPECT_FALSE(added->videoBackgroundHex());
    EXPECT_TRUE(fileExists(added->screenshotFilename()));
    EXPECT_EQ(m_controller->state().selection, (Selection { { added->id() }, added->id() }));
    EXPECT_EQ(storedOrders().value(added->id(), -1), GetParam().expected) << "the new step was not saved";
    EXPECT_FALSE(fileError());
}

INSTANTIATE_TEST_SUITE_P(Orders, AddStepOrder,
    ::testing::Values(AddCase { "empty_guide", {}, 0 }, AddCase { "dense", { 0, 1, 2 }, 3 },
        AddCase { "gap_stays", { 0, 1, 5 }, 6 }, AddCase { "largest_not_count", { 4, 0 }, 5 }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CanvasControllerTest, CancelledOrUnreadableImageAddsNothing)
{
    open({ 0 });
    const QStringList files = screenshotFiles();
    m_choice = std::nullopt;
    m_controller->canvas().addStepFromImageFile();
    finishFileReads();
    m_choice = QImage();
    m_controller->canvas().addStepFromImageFile();
    finishFileReads();
    EXPECT_EQ(m_asked, 2);
    EXPECT_EQ(steps().size(), 1);
    EXPECT_EQ(screenshotFiles(), files);
    EXPECT_FALSE(fileError());
}

TEST_F(CanvasControllerTest, AddedStepThatCannotBeSavedLeavesNoStepAndNoFile)
{
    open({ 0, 1 });
    const QStringList files = screenshotFiles();
    const Selection before = m_controller->state().selection;
    {
        StoreLock lock(storePath(), context());
        ASSERT_TRUE(lock.locked);
        m_controller->canvas().addStepFromImageFile();
        finishFileReads();
    }
    EXPECT_EQ(steps().size(), 2);
    EXPECT_EQ(screenshotFiles(), files) << "the new file stayed behind";
    ASSERT_TRUE(fileError());
    EXPECT_TRUE(fileError()->startsWith("Couldn't add that image: ")) << fileError()->toStdString();
    EXPECT_EQ(m_controller->state().selection, before);
    ASSERT_TRUE(context()->save().hasValue());
    EXPECT_EQ(storedOrders().size(), 2);
}

TEST_F(CanvasControllerTest, ReplacedScreenshotIsCommittedBeforeTheOldFileGoes)
{
    open({ 0, 1 });
    Step* step = steps()[1];
    step->setClickX(0.25);
    step->setClickY(0.75);
    ASSERT_TRUE(context()->save().hasValue());
    const QString old = step->screenshotFilename();
    const QSet<QUuid> selected = m_controller->state().selection.selected;
    // The old file still exists when the record is written.
    bool oldPresentAtSave = false;
    QObject::connect(context(), &ModelContext::didSave, context(), [&] { oldPresentAtSave = fileExists(old); });
    m_choice = picture(QSize(200, 100));
    m_controller->canvas().replaceScreenshot(step->id());
    finishFileReads();
    EXPECT_TRUE(oldPresentAtSave) << "the old file went before the new name was stored";
    EXPECT_FALSE(fileExists(old));
    EXPECT_NE(step->screenshotFilename(), old);
    EXPECT_TRUE(QRegularExpression("^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\.png$")
                    .match(step->screenshotFilename())
                    .hasMatch())
        << step->screenshotFilename().toStdString();
    EXPECT_EQ(zova::test::storage().loadScreenshot(step->screenshotFilename()).size(), QSize(200, 100));
    EXPECT_EQ(step->clickX(), 0.25);
    EXPECT_EQ(step->clickY(), 0.75);
    EXPECT_EQ(m_controller->state().selection.selected, selected);
    EXPECT_FALSE(context()->hasChanges()) << "the replacement was not saved";
    EXPECT_FALSE(fileError());
}

TEST_F(CanvasControllerTest, ReplacementThatCannotBeSavedRestoresTheStepAndRemovesTheNewFile)
{
    open({ 0 });
    Step* step = steps()[0];
    const QString old = step->screenshotFilename();
    const QStringList files = screenshotFiles();
    {
        StoreLock lock(storePath(), context());
        ASSERT_TRUE(lock.locked);
        m_controller->canvas().replaceScreenshot(step->id());
        finishFileReads();
    }
    EXPECT_EQ(step->screenshotFilename(), old);
    EXPECT_TRUE(fileExists(old));
    EXPECT_EQ(screenshotFiles(), files) << "the new file stayed behind";
    ASSERT_TRUE(fileError());
    EXPECT_TRUE(fileError()->startsWith("Couldn't replace the screenshot: ")) << fileError()->toStdString();
}

TEST_F(CanvasControllerTest, ReplacementThatCannotBeWrittenKeepsTheOldFile)
{
    open({ 0 });
    Step* step = steps()[0];
    const QString old = step->screenshotFilename();
    // A file where the screenshot folder must be: nothing can be written into it.
    const QString folder = zova::test::storage().screenshotsDirectory();
    ASSERT_TRUE(QDir().rename(folder, folder + ".away"));
    ASSERT_TRUE(test::writeFile(folder, "not a folder"));
    m_controller->canvas().replaceScreenshot(step->id());
    finishFileReads();
    QFile::remove(folder);
    ASSERT_TRUE(QDir().rename(folder + ".away", folder));
    EXPECT_EQ(step->screenshotFilename(), old);
    EXPECT_TRUE(fileExists(old));
    ASSERT_TRUE(fileError());
    EXPECT_TRUE(fileError()->startsWith("Couldn't replace the screenshot: ")) << fileError()->toStdString();
}

TEST_F(CanvasControllerTest, CancelledReplacementChangesNothing)
{
    open({ 0 });
    const QString old = steps()[0]->screenshotFilename();
    m_choice = std::nullopt;
    m_controller->canvas().replaceScreenshot(steps()[0]->id());
    finishFileReads();
    EXPECT_EQ(steps()[0]->screenshotFilename(), old);
    EXPECT_TRUE(fileExists(old));
    EXPECT_FALSE(context()->hasChanges());
    EXPECT_FALSE(fileError());
}

TEST_F(CanvasControllerTest, ImageEditorGetsANamedCopyOfTheFocusedScreenshot)
{
    open({ 0 });
    const QString own = QDir(zova::test::storage().screenshotsDirectory()).filePath(focused()->screenshotFilename());
    m_controller->canvas().editInImageEditor();
    ASSERT_EQ(m_opened.size(), 1);
    const QString path = m_opened.first().toLocalFile();
    EXPECT_EQ(QFileInfo(path).absolutePath(), m_handOff.path() + "/Z.O.V.A");
    EXPECT_TRUE(QRegularExpression("^ZOVA_[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\.png$")
                    .match(QFileInfo(path).fileName())
                    .hasMatch())
        << path.toStdString();
    EXPECT_EQ(test::readFile(path), test::readFile(own)) << "the copy is not the screenshot";
    EXPECT_TRUE(QFile::exists(own));
    EXPECT_FALSE(fileError());

    m_controller->canvas().editInImageEditor();
    ASSERT_EQ(m_opened.size(), 2);
    EXPECT_NE(m_opened[0], m_opened[1]) << "a second hand-off overwrote the first copy";
}

TEST_F(CanvasControllerTest, ImageEditorFailuresAreReported)
{
    open({ 0 });
    m_openSucceeds = false;
    m_controller->canvas().editInImageEditor();
    ASSERT_TRUE(fileError());
    EXPECT_TRUE(fileError()->startsWith("Could not open the image editor: ")) << fileError()->toStdString();
    m_controller->clearFileError();

    // A file where the folder must be.
    ASSERT_TRUE(QDir(m_handOff.path() + "/Z.O.V.A").removeRecursively());
    ASSERT_TRUE(test::writeFile(m_handOff.path() + "/Z.O.V.A", "in the way"));
    m_controller->canvas().editInImageEditor();
    ASSERT_TRUE(fileError());
    EXPECT_TRUE(fileError()->startsWith("Failed to write temporary image: ")) << fileError()->toStdString();
    EXPECT_EQ(m_opened.size(), 1);
}

TEST_F(CanvasControllerTest, ImageEditorDoesNothingWithoutAReadableScreenshot)
{
    open({ 0 }, false);
    m_controller->canvas().editInImageEditor();
    open({});
    m_controller->canvas().editInImageEditor();
    EXPECT_TRUE(m_opened.isEmpty());
    EXPECT_FALSE(fileError());
    EXPECT_FALSE(QFileInfo::exists(m_handOff.path() + "/Z.O.V.A")) << "a file was written";
}

} // namespace
