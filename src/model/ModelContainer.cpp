#include "model/ModelContainer.h"

#include "model/ModelContext.h"
#include "model/Sqlite.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>

#include <array>
#include <span>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace zova {

namespace {

constexpr const char* schemaSql = R"sql(
CREATE TABLE Guide (
  id TEXT PRIMARY KEY NOT NULL,
  title TEXT NOT NULL DEFAULT '',
  summary TEXT,
  "order" INTEGER NOT NULL DEFAULT 0,
  createdAt INTEGER NOT NULL,
  updatedAt INTEGER NOT NULL,
  publishStatusRaw TEXT NOT NULL DEFAULT 'draft',
  aiGenerated INTEGER NOT NULL DEFAULT 0,
  aiRewriteCount INTEGER NOT NULL DEFAULT 0,
  themeHueRaw TEXT NOT NULL DEFAULT 'pink',
  ownerInitials TEXT NOT NULL DEFAULT '',
  videoBackgroundHex TEXT
);
CREATE TABLE Step (
  id TEXT PRIMARY KEY NOT NULL,
  "order" INTEGER NOT NULL DEFAULT 0,
  screenshotFilename TEXT NOT NULL DEFAULT '',
  clickX REAL NOT NULL DEFAULT 0,
  clickY REAL NOT NULL DEFAULT 0,
  ocrLabel TEXT,
  userDescription TEXT,
  annotationsData BLOB,
  capturedAt INTEGER NOT NULL,
  videoBackgroundHex TEXT,
  guide TEXT REFERENCES Guide(id) ON DELETE CASCADE
);
CREATE INDEX Step_guide ON Step(guide);
)sql";

constexpr std::array guideColumns { "id", "title", "summary", "order", "createdAt", "updatedAt", "publishStatusRaw",
    "aiGenerated", "aiRewriteCount", "themeHueRaw", "ownerInitials", "videoBackgroundHex" };
constexpr std::array stepColumns { "id", "order", "screenshotFilename", "clickX", "clickY", "ocrLabel",
    "userDescription", "annotationsData", "capturedAt", "videoBackgroundHex", "guide" };

StoreError errorOf(StoreError::Code code, sqlite3* db)
{
    return StoreError { code, db ? sqlite::lastError(db) : QString() };
}

std::optional<qint64> pragmaValue(sqlite3* db, const char* sql, int* rc)
{
    sqlite::Statement st(db, sql);
    if (!st.isValid()) {
        *rc = sqlite3_errcode(db);
        return std::nullopt;
    }
    *rc = st.step();
    if (*rc != SQLITE_ROW)
        return std::nullopt;
    return st.integer(0);
}

std::optional<StoreError> checkColumns(sqlite3* db);

// Reads the header and the tables of an existing file without writing to it.
std::optional<StoreError> checkExisting(sqlite3* db, bool* isEmpty)
{
    int rc = SQLITE_OK;
    const auto tables = pragmaValue(db, "SELECT count(*) FROM sqlite_master", &rc);
    if (!tables) {
        const bool notDb = rc == SQLITE_NOTADB || rc == SQLITE_CORRUPT;
        return errorOf(notDb ? StoreError::Code::NotADatabase : StoreError::Code::OpenFailed, db);
    }
    const auto appId = pragmaValue(db, "PRAGMA application_id", &rc);
    const auto version = pragmaValue(db, "PRAGMA user_version", &rc);
    if (!appId || !version)
        return errorOf(StoreError::Code::ReadFailed, db);
    *isEmpty = *tables == 0 && *appId == 0 && *version == 0;
    if (*isEmpty)
        return std::nullopt;
    if (*appId != ModelContainer::applicationId)
        return StoreError { StoreError::Code::ForeignFile, {} };
    if (*version != ModelContainer::schemaVersion)
        return StoreError { StoreError::Code::UnsupportedVersion, QStringLiteral("version %1").arg(*version) };
    return checkColumns(db);
}

// Every column the records are read from and written to must be there.
std::optional<StoreError> checkColumns(sqlite3* db)
{
    using Table = std::pair<const char*, std::span<const char* const>>;
    for (const auto& [table, expected] : { Table { "Guide", guideColumns }, Table { "Step", stepColumns } }) {
        sqlite::Statement info(db, (QByteArray("PRAGMA table_info(\"") + table + "\")").constData());
        if (!info.isValid())
            return errorOf(StoreError::Code::ReadFailed, db);
        QStringList present;
        int rc;
        while ((rc = info.step()) == SQLITE_ROW)
            present << info.text(1);
        if (rc != SQLITE_DONE)
            return errorOf(StoreError::Code::ReadFailed, db);
        if (present.isEmpty())
            return StoreError { StoreError::Code::IncompatibleSchema,
                QStringLiteral("no table %1").arg(QLatin1String(table)) };
        for (const char* column : expected) {
            if (!present.contains(QLatin1String(column)))
                return StoreError { StoreError::Code::IncompatibleSchema,
                    QStringLiteral("table %1 has no column %2").arg(QLatin1String(table), QLatin1String(column)) };
        }
    }
    return std::nullopt;
}

// A store that opens but cannot take a write would lose every later change
// without a word; it is refused instead.
std::optional<StoreError> checkWritable(sqlite3* db)
{
    if (sqlite3_db_readonly(db, "main") == 1)
        return StoreError { StoreError::Code::ReadOnly, {} };
    // Taking the write lock needs write access; a lock held elsewhere is no reason to refuse.
    const bool began = sqlite::exec(db, "BEGIN IMMEDIATE");
    const int rc = began ? SQLITE_OK : sqlite3_errcode(db);
    const StoreError error = errorOf(StoreError::Code::ReadOnly, db);
    sqlite::exec(db, "ROLLBACK");
    if (rc == SQLITE_READONLY || rc == SQLITE_PERM)
        return error;
    return std::nullopt;
}

constexpr QFileDevice::Permissions ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr QFileDevice::Permissions ownerOnlyFolder = ownerOnly | QFileDevice::ExeOwner;

// Only the user may read the store and its side files.
void makePrivate(const QString& path)
{
    for (const char* suffix : { "", "-wal", "-shm", "-journal" }) {
        const QString file = path + QLatin1String(suffix);
        if (QFileInfo(file).isFile() && !QFileInfo(file).isSymLink())
            QFile::setPermissions(file, ownerOnly);
    }
}

} // namespace

std::optional<QStringList> ModelContainer::storedScreenshotNames(const QString& path)
{
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(
        QFile::encodeName(path).constData(), &raw, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    sqlite::DatabaseHandle db(raw);
    if (rc != SQLITE_OK)
        return std::nullopt;
    sqlite3_busy_timeout(db.get(), 5000);
    sqlite::Statement names(db.get(), "SELECT screenshotFilename FROM Step");
    if (!names.isValid())
        return std::nullopt;
    QStringList list;
    int step;
    while ((step = names.step()) == SQLITE_ROW)
        list.append(names.text(0));
    if (step != SQLITE_DONE)
        return std::nullopt;
    return list;
}

QString ModelContainer::defaultStorePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/ZOVA/ZOVA.store");
}

ModelContainer::~ModelContainer() = default;

Expected<std::unique_ptr<ModelContainer>, StoreError> ModelContainer::open(const QString& path)
{
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath()))
        return unexpected(
            StoreError { StoreError::Code::OpenFailed, QStringLiteral("cannot create ") + info.absolutePath() });
    QFile::setPermissions(info.absolutePath(), ownerOnlyFolder);

    bool existed = info.exists();
    if (existed && !info.isFile())
        return unexpected(StoreError { StoreError::Code::OpenFailed, QStringLiteral("not a regular file") });
    if (!existed) {
        // Created empty and private before the engine sees it: its side files take the same mode.
        const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0)
            return unexpected(StoreError { StoreError::Code::OpenFailed, QString::fromLocal8Bit(strerror(errno)) });
        ::close(fd);
        existed = true;
    }

    sqlite3* raw = nullptr;
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &raw, flags, nullptr);
    sqlite::DatabaseHandle db(raw);
    if (rc != SQLITE_OK)
        return unexpected(errorOf(StoreError::Code::OpenFailed, db.get()));
    sqlite3_extended_result_codes(db.get(), 0);

    bool isEmpty = true;
    if (auto error = checkExisting(db.get(), &isEmpty))
        return unexpected(*error);
    sqlite3_busy_timeout(db.get(), 5000);
    if (auto error = checkWritable(db.get()))
        return unexpected(*error);
    makePrivate(path);

    if (!sqlite::exec(db.get(), "PRAGMA foreign_keys = ON") || !sqlite::exec(db.get(), "PRAGMA journal_mode = WAL")
        || !sqlite::exec(db.get(), "PRAGMA synchronous = NORMAL"))
        return unexpected(errorOf(StoreError::Code::OpenFailed, db.get()));

    if (isEmpty) {
        const QByteArray stamp = QStringLiteral("PRAGMA user_version = %1; PRAGMA application_id = %2;")
                                     .arg(schemaVersion)
                                     .arg(applicationId)
                                     .toUtf8();
        if (!sqlite::exec(db.get(), "BEGIN") || !sqlite::exec(db.get(), schemaSql)
            || !sqlite::exec(db.get(), stamp.constData()) || !sqlite::exec(db.get(), "COMMIT")) {
            const StoreError error = errorOf(StoreError::Code::WriteFailed, db.get());
            sqlite::exec(db.get(), "ROLLBACK");
            return unexpected(error);
        }
    }

    std::unique_ptr<ModelContainer> container(new ModelContainer());
    container->m_path = path;
    container->m_context.reset(new ModelContext(std::move(db)));
    if (auto loaded = container->m_context->loadAll(); !loaded)
        return unexpected(loaded.error());
    makePrivate(path); // the side files made by the switch to WAL
    return container;
}

} // namespace zova
