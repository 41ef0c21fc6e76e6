#pragma once

#include <QString>

#include <libpq-fe.h>

#include <memory>

namespace orvo::pghost {

// Owns one PGresult.
struct PgResultFree {
    void operator()(PGresult* result) const noexcept { PQclear(result); }
};
using PgResult = std::unique_ptr<PGresult, PgResultFree>;

// One connection to the server. The connection string passes to libpq
// untouched (passwords files, sslmode and the rest keep working); only the
// client encoding is fixed, since the host's text is UTF-8.
class PgSession {
public:
    // Raises HostError naming the server (never the password) when the
    // server is down or refuses the login. databaseName names the host's
    // database in messages; serverDatabase, when given, replaces the
    // database of the connection string.
    PgSession(QString conninfo, QString databaseName, QString serverDatabase = {});
    ~PgSession();
    PgSession(const PgSession&) = delete;
    PgSession& operator=(const PgSession&) = delete;

    PGconn* handle() const noexcept { return conn_; }
    const QString& conninfo() const noexcept { return conninfo_; }
    const QString& databaseName() const noexcept { return databaseName_; }
    const QString& serverDatabase() const noexcept { return serverDatabase_; }

    // Runs one statement (no rows or some rows); failures raise HostError
    // with the server's message and the SQL text, or say the connection
    // was lost.
    PgResult exec(const QString& sql) const;
    PgResult exec(const char* sql) const { return exec(QString::fromUtf8(sql)); }
    // Same, with text parameters $1, $2, ...
    PgResult exec(const char* sql, std::initializer_list<QByteArray> params) const;

    // The HostError for a failed call: the server's message, the server's
    // name, and the SQL when there is one.
    [[noreturn]] void fail(const PGresult* result, const QString& sql) const;
    // The server and database, without the password.
    QString display() const;

private:
    QString conninfo_;
    QString databaseName_;
    QString serverDatabase_;
    PGconn* conn_ = nullptr;
};

// The connection string without its password, for messages and lists.
QString displayConnection(const QString& conninfo);
// The connection string with its database replaced (and no password, which
// belongs in a password file, not in the host's lists).
QString withDatabase(const QString& conninfo, const QString& database);

} // namespace orvo::pghost
