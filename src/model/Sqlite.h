#pragma once

#include <QByteArray>
#include <QString>

#include <sqlite3.h>

#include <memory>
#include <optional>

namespace zova::sqlite {

struct DatabaseCloser {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
struct StatementFinalizer {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using DatabaseHandle = std::unique_ptr<sqlite3, DatabaseCloser>;
using StatementHandle = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

// A prepared statement with typed binding by 1-based index. Every bind and step
// result is reported; reset() readies it for the next use.
class Statement {
public:
    Statement() = default;
    Statement(sqlite3* db, const char* sql);

    bool isValid() const { return bool(m_stmt); }
    sqlite3_stmt* get() const { return m_stmt.get(); }

    bool bind(int index, const QString& text);
    bool bind(int index, const std::optional<QString>& text);
    bool bind(int index, const std::optional<QByteArray>& blob);
    bool bind(int index, qint64 value);
    bool bind(int index, double value);
    bool bindNull(int index);

    // SQLITE_ROW, SQLITE_DONE or an error code.
    int step();
    void reset();

    QString text(int column) const;
    // The column's text as stored, valid until the next step or reset.
    QByteArrayView bytes(int column) const;
    std::optional<QString> optionalText(int column) const;
    std::optional<QByteArray> optionalBlob(int column) const;
    qint64 integer(int column) const;
    double real(int column) const;
    bool isNull(int column) const;

private:
    StatementHandle m_stmt;
};

// Runs one or more statements without results; false on any error.
bool exec(sqlite3* db, const char* sql);
QString lastError(sqlite3* db);

} // namespace zova::sqlite
