#include "model/Sqlite.h"

namespace zova::sqlite {

Statement::Statement(sqlite3* db, const char* sql)
{
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) == SQLITE_OK)
        m_stmt.reset(stmt);
}

bool Statement::bind(int index, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    return sqlite3_bind_text(m_stmt.get(), index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT) == SQLITE_OK;
}

bool Statement::bind(int index, const std::optional<QString>& text)
{
    return text ? bind(index, *text) : bindNull(index);
}

bool Statement::bind(int index, const std::optional<QByteArray>& blob)
{
    if (!blob)
        return bindNull(index);
    return sqlite3_bind_blob64(m_stmt.get(), index, blob->constData(), sqlite3_uint64(blob->size()), SQLITE_TRANSIENT)
        == SQLITE_OK;
}

bool Statement::bind(int index, qint64 value) { return sqlite3_bind_int64(m_stmt.get(), index, value) == SQLITE_OK; }

bool Statement::bind(int index, double value) { return sqlite3_bind_double(m_stmt.get(), index, value) == SQLITE_OK; }

bool Statement::bindNull(int index) { return sqlite3_bind_null(m_stmt.get(), index) == SQLITE_OK; }

int Statement::step() { return sqlite3_step(m_stmt.get()); }

void Statement::reset()
{
    sqlite3_reset(m_stmt.get());
    sqlite3_clear_bindings(m_stmt.get());
}

QString Statement::text(int column) const
{
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt.get(), column));
    return p ? QString::fromUtf8(p, sqlite3_column_bytes(m_stmt.get(), column)) : QString();
}

QByteArrayView Statement::bytes(int column) const
{
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt.get(), column));
    return p ? QByteArrayView(p, sqlite3_column_bytes(m_stmt.get(), column)) : QByteArrayView();
}

std::optional<QString> Statement::optionalText(int column) const
{
    if (isNull(column))
        return std::nullopt;
    return text(column);
}

std::optional<QByteArray> Statement::optionalBlob(int column) const
{
    if (isNull(column))
        return std::nullopt;
    const void* p = sqlite3_column_blob(m_stmt.get(), column);
    const int n = sqlite3_column_bytes(m_stmt.get(), column);
    return p ? QByteArray(static_cast<const char*>(p), n) : QByteArray();
}

qint64 Statement::integer(int column) const { return sqlite3_column_int64(m_stmt.get(), column); }

double Statement::real(int column) const { return sqlite3_column_double(m_stmt.get(), column); }

bool Statement::isNull(int column) const { return sqlite3_column_type(m_stmt.get(), column) == SQLITE_NULL; }

bool exec(sqlite3* db, const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }

QString lastError(sqlite3* db) { return QString::fromUtf8(sqlite3_errmsg(db)); }

} // namespace zova::sqlite
