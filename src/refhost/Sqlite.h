#pragma once

// Small RAII owners for the SQLite C API handles the reference host uses.

#include <QString>

#include <sqlite3.h>

#include <cstdint>
#include <string_view>

namespace orvo::refhost {

class SqliteDb {
public:
    SqliteDb() = default;
    // Opens an existing file (create = false) or creates it. Raises HostError
    // naming the file when it cannot be opened.
    SqliteDb(const QString& path, bool create);
    ~SqliteDb();
    SqliteDb(SqliteDb&& other) noexcept;
    SqliteDb& operator=(SqliteDb&& other) noexcept;
    SqliteDb(const SqliteDb&) = delete;
    SqliteDb& operator=(const SqliteDb&) = delete;

    sqlite3* handle() const noexcept { return db_; }
    void exec(const char* sql) const;
    void exec(const QString& sql) const;
    QString errorMessage() const;

private:
    sqlite3* db_ = nullptr;
};

class SqliteStatement {
public:
    SqliteStatement() = default;
    // Prepares one statement; bad SQL raises HostError with SQLite's
    // message and the text.
    SqliteStatement(const SqliteDb& db, const QString& sql);
    ~SqliteStatement();
    SqliteStatement(SqliteStatement&& other) noexcept;
    SqliteStatement& operator=(SqliteStatement&& other) noexcept;
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    // True while a row is available; raises HostError on failure.
    bool step();
    void reset();
    void bind(int index, int64_t value);
    void bind(int index, double value);
    void bind(int index, const QString& value);   // a null QString binds NULL
    void bindNull(int index);
    void bindUtf8(int index, std::string_view value);   // copied by SQLite

    int columnCount() const { return sqlite3_column_count(stmt_); }
    bool isNull(int column) const { return sqlite3_column_type(stmt_, column) == SQLITE_NULL; }
    bool isReal(int column) const { return sqlite3_column_type(stmt_, column) == SQLITE_FLOAT; }
    double real(int column) const { return sqlite3_column_double(stmt_, column); }
    int64_t int64(int column) const { return sqlite3_column_int64(stmt_, column); }
    std::string_view utf8(int column) const;
    QString text(int column) const;

private:
    sqlite3* db_ = nullptr;
    sqlite3_stmt* stmt_ = nullptr;
    QString sql_;
};

} // namespace orvo::refhost
