#include "StoreFixture.h"

#include "model/Record.h"
#include "model/StorageService.h"
#include "support/TestStorage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <functional>

#include <unistd.h>

using namespace zova;

namespace {

QStringList columns(const QString& path, const char* table)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    QStringList names;
    sqlite3_stmt* st = nullptr;
    const QByteArray sql = QByteArray("PRAGMA table_info(") + table + ")";
    sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr);
    while (sqlite3_step(st) == SQLITE_ROW)
        names << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 1)));
    sqlite3_finalize(st);
    sqlite3_close(db);
    return names;
}

qint64 scalar(const QString& path, const char* sql)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
    const qint64 v = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int64(st, 0) : -1;
    sqlite3_finalize(st);
    sqlite3_close(db);
    return v;
}

} // namespace

TEST_F(StoreFixture, NewFileHasBothTablesWithTheRecordFields)
{
    open();
    EXPECT_EQ(columns(path(), "Guide"),
        QStringList({ "id", "title", "summary", "order", "createdAt", "updatedAt", "publishStatusRaw", "aiGenerated",
            "aiRewriteCount", "themeHueRaw", "ownerInitials", "videoBackgroundHex" }));
    EXPECT_EQ(columns(path(), "Step"),
        QStringList({ "id", "order", "screenshotFilename", "clickX", "clickY", "ocrLabel", "userDescription",
            "annotationsData", "capturedAt", "videoBackgroundHex", "guide" }));
    EXPECT_EQ(scalar(path(), "PRAGMA user_version"), ModelContainer::schemaVersion);
    EXPECT_EQ(scalar(path(), "SELECT count(*) FROM sqlite_master WHERE type='index' AND name='Step_guide'"), 1);
}

TEST_F(StoreFixture, FieldsSurviveReopenExactly)
{
    QUuid guideId, stepId;
    QDateTime created;
    {
        auto c = open();
        auto* g = new Guide(QStringLiteral("Ünïcode ‘title’"), AccentHue::Slate, QStringLiteral("ZV"));
        g->setSummary(QStringLiteral("sum"));
        g->setAiGenerated(true);
        g->setVideoBackgroundHex(QStringLiteral("112233"));
        g->setPublishStatusRaw(QStringLiteral("weird"));
        c->mainContext()->insert(g);
        auto* s = new Step(3, QStringLiteral("A.png"), 0.125, 1.0 / 3.0);
        s->setGuide(g);
        s->setOcrLabel(QStringLiteral("Click ‘OK’"));
        s->setAnnotationsData(QByteArray("[]"));
        guideId = g->id();
        stepId = s->id();
        created = g->createdAt();
        ASSERT_TRUE(c->mainContext()->save());
    }
    auto c = open();
    Guide* g = c->mainContext()->guide(guideId);
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->title(), "Ünïcode ‘title’");
    EXPECT_EQ(g->summary(), QStringLiteral("sum"));
    EXPECT_EQ(g->themeHueRaw(), "slate");
    EXPECT_EQ(g->ownerInitials(), "ZV");
    EXPECT_TRUE(g->aiGenerated());
    EXPECT_EQ(g->publishStatusRaw(), "weird");
    EXPECT_EQ(g->videoBackgroundHex(), QStringLiteral("112233"));
    EXPECT_EQ(g->createdAt(), created); // millisecond precision
    ASSERT_EQ(g->steps().size(), 1);
    Step* s = g->steps().first();
    EXPECT_EQ(s->id(), stepId);
    EXPECT_EQ(s->order(), 3);
    EXPECT_EQ(s->clickY(), 1.0 / 3.0);
    EXPECT_EQ(s->ocrLabel(), QStringLiteral("Click ‘OK’"));
    EXPECT_FALSE(s->userDescription().has_value());
    EXPECT_EQ(s->annotationsData(), QByteArray("[]"));
    EXPECT_EQ(s->guide(), g);
    EXPECT_EQ(scalar(path(), "SELECT count(*) FROM Guide WHERE id = upper(id) AND length(id) = 36"), 1);
}

TEST_F(StoreFixture, OrderTiesKeepInsertionOrderAcrossReopen)
{
    QList<QUuid> ids;
    QUuid guideId;
    {
        auto c = open();
        auto* g = new Guide(QStringLiteral("t"));
        c->mainContext()->insert(g);
        guideId = g->id();
        for (int order : { 1, 0, 1, 1, 0 }) {
            auto* s = new Step(order);
            s->setGuide(g);
            ids << s->id();
            ASSERT_TRUE(c->mainContext()->save()); // one save per step, as the recorder does
        }
    }
    auto c = open();
    QList<QUuid> ordered;
    for (Step* s : c->mainContext()->guide(guideId)->orderedSteps())
        ordered << s->id();
    EXPECT_EQ(ordered, QList<QUuid>({ ids[1], ids[4], ids[0], ids[2], ids[3] }));
}

// The records of a reopened store's steps are made when first reached; whichever
// way that is, each step is there once with its stored fields.
TEST_F(StoreFixture, StoredStepsAreTheSameWhicheverWayTheyAreFirstReached)
{
    QUuid a, b, orphan;
    QList<QUuid> stepsOfB;
    {
        auto c = open();
        for (const char* title : { "A", "B" }) {
            auto* g = new Guide(QString::fromLatin1(title));
            c->mainContext()->insert(g);
            (title[0] == 'A' ? a : b) = g->id();
            for (int i = 0; i < 3; ++i) {
                auto* s = new Step(i, QStringLiteral("%1%2.png").arg(QLatin1String(title)).arg(i));
                s->setGuide(g);
                if (title[0] == 'B')
                    stepsOfB << s->id();
            }
        }
        auto* loose = new Step(0, QStringLiteral("loose.png"));
        c->mainContext()->insert(loose);
        orphan = loose->id();
        ASSERT_TRUE(c->mainContext()->save());
    }
    const auto orders = [](const Guide* g) {
        QList<qint64> list;
        for (const Step* s : g->orderedSteps())
            list << s->order();
        return list;
    };

    {
        // By id first: the guide's list then holds that very record, once.
        auto c = open();
        Step* middle = c->mainContext()->step(stepsOfB[1]);
        ASSERT_TRUE(middle);
        EXPECT_EQ(middle->screenshotFilename(), "B1.png");
        Guide* g = c->mainContext()->guide(b);
        EXPECT_EQ(middle->guide(), g);
        EXPECT_EQ(g->steps().size(), 3);
        EXPECT_EQ(g->steps().count(middle), 1);
        ASSERT_TRUE(c->mainContext()->step(orphan));
        EXPECT_EQ(c->mainContext()->step(orphan)->guide(), nullptr);
        EXPECT_EQ(c->mainContext()->step(QUuid::createUuid()), nullptr);
    }
    {
        // Every record at once, and the names of every stored step from the file.
        auto c = open();
        EXPECT_EQ(c->mainContext()->allSteps().size(), 7);
        EXPECT_EQ(orders(c->mainContext()->guide(b)), QList<qint64>({ 0, 1, 2 }));
        std::optional<QStringList> names = ModelContainer::storedScreenshotNames(path());
        ASSERT_TRUE(names);
        names->sort();
        EXPECT_EQ(*names, QStringList({ "A0.png", "A1.png", "A2.png", "B0.png", "B1.png", "B2.png", "loose.png" }));
        EXPECT_FALSE(ModelContainer::storedScreenshotNames(m_dir.path() + "/missing.store"));
    }
    {
        // A step added to a guide whose stored steps were never asked for comes after them.
        auto c = open();
        Guide* g = c->mainContext()->guide(a);
        auto* added = new Step(g->nextStepOrder(), QStringLiteral("A3.png"));
        added->setGuide(g);
        EXPECT_EQ(orders(g), QList<qint64>({ 0, 1, 2, 3 }));
        // An edit of a stored step, and a guide removed with steps never asked for.
        g->orderedSteps()[1]->setOcrLabel(QStringLiteral("Click Save"));
        c->mainContext()->remove(c->mainContext()->guide(b));
        EXPECT_EQ(c->mainContext()->step(stepsOfB[0]), nullptr);
        ASSERT_TRUE(c->mainContext()->save());
    }
    EXPECT_EQ(scalar(path(), "SELECT count(*) FROM Step"), 5);
    auto c = open();
    EXPECT_EQ(c->mainContext()->guide(b), nullptr);
    Guide* g = c->mainContext()->guide(a);
    ASSERT_TRUE(g);
    EXPECT_EQ(orders(g), QList<qint64>({ 0, 1, 2, 3 }));
    EXPECT_EQ(g->orderedSteps()[1]->ocrLabel(), QStringLiteral("Click Save"));
}

TEST_F(StoreFixture, RemovingGuideCascadesButLeavesScreenshots)
{
    const auto png = zova::test::storage().saveScreenshot(QImage(4, 4, QImage::Format_RGB32));
    ASSERT_TRUE(png.hasValue());
    QUuid guideId, stepId;
    {
        auto c = open();
        auto* g = new Guide(QStringLiteral("t"));
        c->mainContext()->insert(g);
        auto* s = new Step(0, *png);
        s->setGuide(g);
        ASSERT_TRUE(c->mainContext()->save());
        guideId = g->id();
        stepId = s->id();

        QSignalSpy changed(c->mainContext(), &ModelContext::guidesChanged);
        c->mainContext()->remove(g);
        EXPECT_EQ(changed.count(), 1);
        EXPECT_TRUE(g->isDeleted());
        EXPECT_TRUE(s->isDeleted());
        EXPECT_EQ(c->mainContext()->guide(guideId), nullptr);
        EXPECT_EQ(c->mainContext()->step(stepId), nullptr);
        EXPECT_TRUE(c->mainContext()->guides().isEmpty());
        ASSERT_TRUE(c->mainContext()->save());
    }
    EXPECT_EQ(scalar(path(), "SELECT count(*) FROM Step"), 0);
    auto c = open();
    EXPECT_TRUE(c->mainContext()->guides().isEmpty());
    EXPECT_TRUE(QFile::exists(*zova::test::storage().pathFor(*png)));
}

TEST_F(StoreFixture, StepRemovalAndGuideEditsAreSaved)
{
    QUuid guideId;
    {
        auto c = open();
        auto* g = new Guide(QStringLiteral("t"));
        c->mainContext()->insert(g);
        for (int i = 0; i < 3; ++i)
            (new Step(i))->setGuide(g);
        ASSERT_TRUE(c->mainContext()->save());
        guideId = g->id();
        c->mainContext()->remove(g->orderedSteps()[1]);
        EXPECT_EQ(g->steps().size(), 2);
        g->setTitle(QStringLiteral("renamed"));
        ASSERT_TRUE(c->mainContext()->save());
        EXPECT_FALSE(c->mainContext()->hasChanges());
    }
    auto c = open();
    Guide* g = c->mainContext()->guide(guideId);
    EXPECT_EQ(g->title(), "renamed");
    ASSERT_EQ(g->orderedSteps().size(), 2);
    EXPECT_EQ(g->orderedSteps()[1]->order(), 2);
}

TEST_F(StoreFixture, SmallEditsAreSavedAutomatically)
{
    QUuid guideId;
    {
        auto c = open();
        c->mainContext()->setAutosaveDelay(20);
        auto* g = new Guide(QStringLiteral("t"));
        c->mainContext()->insert(g);
        ASSERT_TRUE(c->mainContext()->save());
        guideId = g->id();
        g->setTitle(QStringLiteral("typed"));
        ASSERT_TRUE(zova::test::waitUntil([&] { return !c->mainContext()->hasChanges(); }));
        EXPECT_EQ(scalar(path(), "SELECT count(*) FROM Guide WHERE title = 'typed'"), 1);
    }
}

TEST_F(StoreFixture, FailedSaveLeavesFileAndKeepsChanges)
{
    auto c = open();
    c->mainContext()->setBusyTimeout(50);
    auto* g = new Guide(QStringLiteral("before"));
    c->mainContext()->insert(g);
    ASSERT_TRUE(c->mainContext()->save());

    // Another connection holds the write lock.
    sqlite3* other = nullptr;
    sqlite3_open(QFile::encodeName(path()).constData(), &other);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);

    g->setTitle(QStringLiteral("after"));
    (new Step(0))->setGuide(g);
    const auto failed = c->mainContext()->save();
    EXPECT_FALSE(failed.hasValue());
    EXPECT_EQ(failed.error().code, StoreError::Code::WriteFailed);
    EXPECT_TRUE(c->mainContext()->hasChanges());

    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_EQ(scalar(path(), "SELECT count(*) FROM Guide WHERE title = 'before'"), 1);
    EXPECT_EQ(scalar(path(), "SELECT count(*) FROM Step"), 0);

    ASSERT_TRUE(c->mainContext()->save());
    EXPECT_EQ(scalar(path(), "SELECT count(*) FROM Guide WHERE title = 'after'"), 1);
    EXPECT_EQ(scalar(path(), "SELECT count(*) FROM Step"), 1);
}

TEST_F(StoreFixture, StepOfRemovedGuideIsRefused)
{
    auto c = open();
    auto* g = new Guide(QStringLiteral("t"));
    c->mainContext()->insert(g);
    c->mainContext()->remove(g);
    auto* s = new Step(0);
    s->setParent(c->mainContext());
    s->setGuide(g);
    EXPECT_FALSE(c->mainContext()->insert(s));
    EXPECT_TRUE(c->mainContext()->save());
    EXPECT_EQ(scalar(path(), "SELECT count(*) FROM Step"), 0);
}

struct BadFileCase {
    const char* name;
    QByteArray contents;
    StoreError::Code code;
};

class BadStoreFile : public StoreFixture, public ::testing::WithParamInterface<BadFileCase> { };

TEST_P(BadStoreFile, IsRefusedAndLeftUntouched)
{
    QByteArray contents = GetParam().contents;
    if (contents == "foreign") {
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(path()).constData(), &db);
        sqlite3_exec(db, "CREATE TABLE notes(x); INSERT INTO notes VALUES (1);", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        contents = zova::test::readFile(path());
    } else {
        ASSERT_TRUE(zova::test::writeFile(path(), contents));
    }
    const auto opened = ModelContainer::open(path());
    ASSERT_FALSE(opened.hasValue());
    EXPECT_EQ(opened.error().code, GetParam().code);
    EXPECT_EQ(zova::test::readFile(path()), contents);
    EXPECT_FALSE(QFile::exists(path() + "-wal"));
}

INSTANTIATE_TEST_SUITE_P(Table, BadStoreFile,
    ::testing::Values(BadFileCase { "garbage", QByteArray(4096, 'x'), StoreError::Code::NotADatabase },
        BadFileCase { "foreignDatabase", "foreign", StoreError::Code::ForeignFile }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(StoreFixture, ApplicationExitsWithFatalMessageOnGarbageStore)
{
    const QByteArray garbage("this is not a database, it is a note\n");
    ASSERT_TRUE(zova::test::writeFile(path(), garbage));
    QProcess app;
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert("ZOVA_STORE_PATH", path());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    app.setProcessEnvironment(env);
    app.start(QStringLiteral(ZOVA_BINARY), {});
    ASSERT_TRUE(app.waitForFinished(30000));
    EXPECT_NE(app.exitCode(), 0);
    EXPECT_TRUE(
        app.readAllStandardError().startsWith("Could not create ModelContainer: The store file is not a database."));
    EXPECT_EQ(zova::test::readFile(path()), garbage);
}

TEST_F(StoreFixture, SavedGuideSurvivesSigkillRightAfterSave)
{
    QProcess writer;
    writer.start(QStringLiteral(STORE_WRITER), { path() });
    ASSERT_TRUE(writer.waitForFinished(30000));
    EXPECT_EQ(writer.exitStatus(), QProcess::CrashExit);
    const QString guideId = QString::fromUtf8(writer.readAllStandardOutput()).trimmed();
    ASSERT_EQ(guideId.size(), 36);

    auto c = open();
    Guide* g = c->mainContext()->guide(QUuid::fromString(guideId));
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->title(), "killed right after save");
    ASSERT_EQ(g->steps().size(), 20);
    EXPECT_EQ(g->orderedSteps().last()->ocrLabel(), QStringLiteral("label 19"));
}

namespace {

// Runs SQL on the file through a connection of its own, as another program would.
bool execOn(const QString& path, const char* sql)
{
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    const bool ok = sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

QFileDevice::Permissions mode(const QString& path)
{
    return QFile::permissions(path) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser);
}

constexpr QFileDevice::Permissions privateFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr QFileDevice::Permissions privateFolder = privateFile | QFileDevice::ExeOwner;

} // namespace

TEST_F(StoreFixture, FailedAutomaticSaveIsRetriedUntilItIsOnDisk)
{
    auto c = open();
    ModelContext* ctx = c->mainContext();
    ctx->setBusyTimeout(20);
    ctx->setAutosaveDelay(20);
    auto* g = new Guide(QStringLiteral("before"));
    ctx->insert(g);
    ASSERT_TRUE(ctx->save());

    sqlite3* other = nullptr;
    sqlite3_open(QFile::encodeName(path()).constData(), &other);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    QSignalSpy failed(ctx, &ModelContext::saveFailed);
    g->setTitle(QStringLiteral("after"));
    ASSERT_TRUE(zova::test::waitUntil([&] { return failed.count() >= 2; })) << "the failed save is tried again";
    EXPECT_TRUE(ctx->hasChanges());

    // No new edit: the pending retry alone writes the change once the lock is gone.
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    ASSERT_TRUE(zova::test::waitUntil([&] { return !ctx->hasChanges(); }, 10000));
    EXPECT_EQ(scalar(path(), "SELECT count(*) FROM Guide WHERE title = 'after'"), 1);
}

TEST_F(StoreFixture, StepWhoseGuideRowIsGoneIsDroppedAndTheRestIsSaved)
{
    auto c = open();
    ModelContext* ctx = c->mainContext();
    auto* doomed = new Guide(QStringLiteral("deleted elsewhere"));
    ctx->insert(doomed);
    auto* orphan = new Step(0);
    orphan->setGuide(doomed);
    ASSERT_TRUE(ctx->save());
    const QByteArray del
        = "PRAGMA foreign_keys = ON; DELETE FROM Guide WHERE id = '" + uuidText(doomed->id()).toUtf8() + "'";
    ASSERT_TRUE(execOn(path(), del.constData()));

    orphan->setUserDescription(QStringLiteral("edited after the delete"));
    auto* fresh = new Guide(QStringLiteral("new"));
    ctx->insert(fresh);
    ASSERT_TRUE(ctx->save()) << "one record the file cannot take must not fail the save";
    EXPECT_FALSE(ctx->hasChanges());
    EXPECT_EQ(scalar(path(), "SELECT count(*) FROM Guide WHERE title = 'new'"), 1);
    EXPECT_EQ(scalar(path(), "SELECT count(*) FROM Step"), 0);

    fresh->setTitle(QStringLiteral("renamed later"));
    ASSERT_TRUE(ctx->save());
    EXPECT_EQ(scalar(path(), "SELECT count(*) FROM Guide WHERE title = 'renamed later'"), 1);
}

TEST_F(StoreFixture, RowsWithIdsSpelledOtherwiseAreRenamedAndDeletedInPlace)
{
    open();
    const std::function<QByteArray(const QUuid&)> spellings[] = {
        [](const QUuid& id) { return uuidText(id).toLower().toUtf8(); },
        [](const QUuid& id) { return id.toString(QUuid::WithBraces).toUpper().toUtf8(); },
    };
    for (const auto& spelled : spellings) {
        const QUuid guideId = QUuid::createUuid(), stepId = QUuid::createUuid();
        const QByteArray g = spelled(guideId), s = spelled(stepId);
        SCOPED_TRACE(g.constData());
        const QByteArray insert = "INSERT INTO Guide (id, title, createdAt, updatedAt) VALUES ('" + g
            + "', 'old', 0, 0); INSERT INTO Step (id, capturedAt, guide) VALUES ('" + s + "', 0, '" + g + "');";
        ASSERT_TRUE(execOn(path(), insert.constData()));
        {
            // Asked for by id before its guide's steps: found by its row as spelled there.
            auto c = open();
            Step* step = c->mainContext()->step(stepId);
            ASSERT_NE(step, nullptr);
            EXPECT_EQ(step->guide(), c->mainContext()->guide(guideId));
        }
        {
            auto c = open();
            Guide* guide = c->mainContext()->guide(guideId);
            ASSERT_NE(guide, nullptr);
            guide->setTitle(QStringLiteral("new"));
            ASSERT_EQ(guide->steps().size(), 1);
            guide->steps().first()->setUserDescription(QStringLiteral("typed"));
            ASSERT_TRUE(c->mainContext()->save());
            EXPECT_EQ(scalar(path(), "SELECT count(*) FROM Guide"), 1);
            EXPECT_EQ(scalar(path(), "SELECT count(*) FROM Guide WHERE title = 'new'"), 1);
            EXPECT_EQ(scalar(path(), "SELECT count(*) FROM Step WHERE userDescription = 'typed'"), 1);
            EXPECT_EQ(scalar(path(), "SELECT count(*) FROM Step"), 1);
        }
        {
            auto c = open();
            c->mainContext()->remove(c->mainContext()->guide(guideId));
            ASSERT_TRUE(c->mainContext()->save());
        }
        EXPECT_EQ(scalar(path(), "SELECT count(*) FROM Guide"), 0);
        EXPECT_EQ(scalar(path(), "SELECT count(*) FROM Step"), 0);
        EXPECT_TRUE(open()->mainContext()->guides().isEmpty());
    }
}

TEST_F(StoreFixture, FarOutStoredOrdersAreClampedWhereTheyAreRead)
{
    open();
    const struct {
        const char* stored;
        qint64 read;
    } rows[] = {
        { "9223372036854775807", qint64(1) << 62 },
        { "-9223372036854775808", -(qint64(1) << 62) },
        { "41", 41 },
    };
    for (const auto& row : rows) {
        const QUuid stepId = QUuid::createUuid();
        const QByteArray insert = "INSERT INTO Step (id, \"order\", capturedAt) VALUES ('" + uuidText(stepId).toUtf8()
            + "', " + row.stored + ", 0)";
        ASSERT_TRUE(execOn(path(), insert.constData()));
        auto c = open();
        Step* step = c->mainContext()->step(stepId);
        ASSERT_NE(step, nullptr) << row.stored;
        EXPECT_EQ(step->order(), row.read) << row.stored;
        EXPECT_EQ(step->displayLabel(), QStringLiteral("Step ") + QString::number(row.read + 1)) << row.stored;
    }
}

TEST_F(StoreFixture, StoreWithAMissingColumnIsRefusedBeforeAnyWrite)
{
    ASSERT_TRUE(execOn(path(),
        "CREATE TABLE Guide (id TEXT PRIMARY KEY, title TEXT, summary TEXT, \"order\" INTEGER, createdAt INTEGER, "
        "updatedAt INTEGER, publishStatusRaw TEXT, aiGenerated INTEGER, aiRewriteCount INTEGER, themeHueRaw TEXT, "
        "ownerInitials TEXT, videoBackgroundHex TEXT);"
        "CREATE TABLE Step (id TEXT PRIMARY KEY, \"order\" INTEGER, screenshotFilename TEXT, clickX REAL, "
        "clickY REAL, ocrLabel TEXT, userDescription TEXT, annotationsData BLOB, capturedAt INTEGER, "
        "videoBackgroundHex TEXT);"
        "PRAGMA user_version = 10000; PRAGMA application_id = 1515148865;"));
    const QByteArray before = zova::test::readFile(path());
    const auto opened = ModelContainer::open(path());
    ASSERT_FALSE(opened.hasValue());
    EXPECT_EQ(opened.error().code, StoreError::Code::IncompatibleSchema);
    EXPECT_EQ(opened.error().description(),
        QStringLiteral("The store file's tables do not match this version. (table Step has no column guide)"));
    EXPECT_EQ(zova::test::readFile(path()), before) << "the header was not switched to WAL";
    EXPECT_FALSE(QFile::exists(path() + "-wal"));
}

TEST_F(StoreFixture, StoreAndItsFolderAreForTheUserAlone)
{
    // A fresh start, then an installation from before, with open modes.
    const QString folder = m_dir.path() + "/ZOVA";
    const QString store = folder + "/ZOVA.store";
    for (bool older : { false, true }) {
        if (older) {
            QFile::setPermissions(folder, privateFolder | QFileDevice::ReadOther | QFileDevice::ExeOther);
            for (const char* suffix : { "", "-wal", "-shm" })
                QFile::setPermissions(store + suffix, privateFile | QFileDevice::ReadGroup | QFileDevice::ReadOther);
        }
        auto opened = ModelContainer::open(store);
        ASSERT_TRUE(opened.hasValue()) << opened.error().description().toStdString();
        auto* g = new Guide(QStringLiteral("private"));
        opened.value()->mainContext()->insert(g);
        ASSERT_TRUE(opened.value()->mainContext()->save());
        EXPECT_EQ(mode(folder), privateFolder) << older;
        for (const char* suffix : { "", "-wal", "-shm" }) {
            ASSERT_TRUE(QFile::exists(store + suffix)) << suffix;
            EXPECT_EQ(mode(store + suffix), privateFile) << suffix << " older " << older;
        }
    }
}

TEST_F(StoreFixture, ScreenshotsAreForTheUserAloneAfterAFreshAndAnOlderStart)
{
    StorageService& storage = zova::test::storage();
    const auto png = storage.saveScreenshot(QImage(4, 4, QImage::Format_RGB32));
    ASSERT_TRUE(png.hasValue());
    const QString file = *storage.pathFor(*png);
    const QString folder = storage.screenshotsDirectory();
    EXPECT_EQ(mode(file), privateFile);
    EXPECT_EQ(mode(folder), privateFolder);
    EXPECT_EQ(mode(QFileInfo(folder).absolutePath()), privateFolder);

    const auto open = privateFile | QFileDevice::ReadGroup | QFileDevice::ReadOther;
    QFile::setPermissions(file, open);
    QFile::setPermissions(folder, privateFolder | QFileDevice::ReadOther | QFileDevice::ExeOther);
    QFile::setPermissions(QFileInfo(folder).absolutePath(), privateFolder | QFileDevice::ExeOther);
    storage.tightenPermissions();
    EXPECT_EQ(mode(file), privateFile);
    EXPECT_EQ(mode(folder), privateFolder);
    EXPECT_EQ(mode(QFileInfo(folder).absolutePath()), privateFolder);
}

TEST_F(StoreFixture, StoreThatCannotBeWrittenGetsTheFatalMessage)
{
    // root writes to any file whatever its mode, so as root the application runs as
    // the unprivileged user "nobody", which may read the store but not write it.
    QTemporaryDir dir(QDir::tempPath() + "/zova-read-only-XXXXXX");
    const QString store = dir.filePath("ZOVA.store");
    {
        auto opened = ModelContainer::open(store);
        ASSERT_TRUE(opened.hasValue());
        opened.value()->mainContext()->insert(new Guide(QStringLiteral("kept")));
        ASSERT_TRUE(opened.value()->mainContext()->save());
    }
    ASSERT_TRUE(execOn(store, "PRAGMA journal_mode = DELETE"));
    QFile::setPermissions(dir.path(), privateFolder | QFileDevice::ReadOther | QFileDevice::ExeOther);
    QFile::setPermissions(store, QFileDevice::ReadOwner | QFileDevice::ReadOther);
    const QByteArray before = zova::test::readFile(store);

    QProcess app;
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert("ZOVA_STORE_PATH", store);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    app.setProcessEnvironment(env);
    if (::geteuid() == 0)
        app.start(QStringLiteral("setpriv"),
            { "--reuid=65534", "--regid=65534", "--clear-groups", "--", QStringLiteral(ZOVA_BINARY) });
    else
        app.start(QStringLiteral(ZOVA_BINARY), {});
    ASSERT_TRUE(app.waitForFinished(30000));
    EXPECT_NE(app.exitCode(), 0);
    const QByteArray err = app.readAllStandardError();
    EXPECT_TRUE(err.contains("Could not create ModelContainer: The store file cannot be written.")) << err.constData();
    EXPECT_EQ(zova::test::readFile(store), before);
}
