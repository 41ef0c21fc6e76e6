#include "refhost/Sqlite.h"

#include "host/HostError.h"

#include <utility>

namespace orvo::refhost {

namespace {

HostError sqlError(sqlite3* db, const QString& sql)
{
    QString message = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
    if (!sql.isEmpty())
        message += QStringLiteral(" (SQL: %1)").arg(sql);
    return HostError(errnum::HostFailure, message);
}

} // namespace

SqliteDb::SqliteDb(const QString& path, bool create)
{
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
    const QByteArray file = path.toUtf8();
    if (sqlite3_open_v2(file.constData(), &db_, flags, nullptr) != SQLITE_OK) {
        const QString reason = db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : QStringLiteral("out of memory");
        sqlite3_close(db_);
        db_ = nullptr;
        throw HostError(errnum::HostFailure,
                        QStringLiteral("Cannot open the database file %1: %2").arg(path, reason));
    }
    // Several processes share a database: wait for a writer instead of failing.
    sqlite3_busy_timeout(db_, 5000);
    sqlite3_extended_result_codes(db_, 1);
}

SqliteDb::~SqliteDb()
{
    if (db_)
        sqlite3_close_v2(db_);
}

SqliteDb::SqliteDb(SqliteDb&& other) noexcept : db_(std::exchange(other.db_, nullptr)) {}

SqliteDb& SqliteDb::operator=(SqliteDb&& other) noexcept
{
    if (this != &other) {
        if (db_)
            sqlite3_close_v2(db_);
        db_ = std::exchange(other.db_, nullptr);
    }
    return *this;
}

void SqliteDb::exec(const char* sql) const
{
    char* error = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        const QString message = QString::fromUtf8(error ? error : "unknown error");
        sqlite3_free(error);
        throw HostError(errnum::HostFailure, QStringLiteral("%1 (SQL: %2)").arg(message, QString::fromUtf8(sql)));
    }
}

void SqliteDb::exec(const QString& sql) const
{
    exec(sql.toUtf8().constData());
}

QString SqliteDb::errorMessage() const
{
    return QString::fromUtf8(sqlite3_errmsg(db_));
}

SqliteStatement::SqliteStatement(const SqliteDb& db, const QString& sql) : db_(db.handle()), sql_(sql)
{
    const QByteArray text = sql.toUtf8();
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db_, text.constData(), static_cast<int>(text.size()), &stmt_, &tail) != SQLITE_OK)
        throw sqlError(db_, sql);
    if (!stmt_)
        throw HostError(errnum::HostFailure, QStringLiteral("The SQL text holds no statement: %1").arg(sql));
    // Only one statement runs: a second one would be dropped without a word.
    sqlite3_stmt* next = nullptr;
    const char* end = text.constData() + text.size();
    if (tail && tail < end && sqlite3_prepare_v2(db_, tail, static_cast<int>(end - tail), &next, nullptr) == SQLITE_OK
        && !next)
        return;
    if (tail && tail < end) {
        sqlite3_finalize(next);
        sqlite3_finalize(std::exchange(stmt_, nullptr));
        throw HostError(errnum::HostFailure,
                        QStringLiteral("The SQL text holds more than one statement: %1").arg(sql));
    }
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(stmt_);
}

SqliteStatement::SqliteStatement(SqliteStatement&& other) noexcept
    : db_(other.db_), stmt_(std::exchange(other.stmt_, nullptr)), sql_(std::move(other.sql_))
{
}

SqliteStatement& SqliteStatement::operator=(SqliteStatement&& other) noexcept
{
    if (this != &other) {
        sqlite3_finalize(stmt_);
        db_ = other.db_;
        stmt_ = std::exchange(other.stmt_, nullptr);
        sql_ = std::move(other.sql_);
    }
    return *this;
}

bool SqliteStatement::step()
{
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    throw sqlError(db_, sql_);
}

void SqliteStatement::reset()
{
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

void SqliteStatement::bind(int index, int64_t value)
{
    sqlite3_bind_int64(stmt_, index, value);
}

void SqliteStatement::bind(int index, double value)
{
    sqlite3_bind_double(stmt_, index, value);
}

void SqliteStatement::bind(int index, const QString& value)
{
    if (value.isNull()) {
        sqlite3_bind_null(stmt_, index);
        return;
    }
    const QByteArray utf8 = value.toUtf8();
    sqlite3_bind_text(stmt_, index, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
}

void SqliteStatement::bindUtf8(int index, std::string_view value)
{
    sqlite3_bind_text(stmt_, index, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
}

void SqliteStatement::bindNull(int index)
{
    sqlite3_bind_null(stmt_, index);
}

std::string_view SqliteStatement::utf8(int column) const
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    if (!text)
        return {};
    return {text, static_cast<size_t>(sqlite3_column_bytes(stmt_, column))};
}

QString SqliteStatement::text(int column) const
{
    const std::string_view v = utf8(column);
    return QString::fromUtf8(v.data(), static_cast<qsizetype>(v.size()));
}

} // namespace orvo::refhost
