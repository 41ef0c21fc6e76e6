#include "pghost/PgDemo.h"

#include "host/HostError.h"
#include "pghost/PgSession.h"
#include "refhost/DemoSink.h"
#include "refhost/Schema.h"

#include <QRegularExpression>

#include <cstdio>

namespace orvo::pghost {

namespace {

using refhost::DemoRows;

// Rows of one table streamed with COPY on a session of their own, so the
// tables of one load can be written side by side.
class CopyRows : public DemoRows {
public:
    CopyRows(const QString& conninfo, const QString& database, const char* table,
             const std::vector<const char*>& columns)
        : DemoRows(columns.size()), session_(conninfo, database, database)
    {
        QString sql = QStringLiteral("COPY %1 (").arg(QString::fromLatin1(table));
        for (size_t i = 0; i < columns.size(); ++i)
            sql += (i ? QStringLiteral(", ") : QString()) + QString::fromLatin1(columns[i]);
        sql += QStringLiteral(") FROM STDIN");
        PgResult r(PQexec(session_.handle(), sql.toUtf8().constData()));
        if (!r || PQresultStatus(r.get()) != PGRES_COPY_IN)
            session_.fail(r.get(), sql);
        buffer_.reserve(kFlushAt + 4096);
    }

    void finish() override
    {
        if (finished_)
            return;
        finished_ = true;
        flush();
        if (PQputCopyEnd(session_.handle(), nullptr) != 1)
            session_.fail(nullptr, {});
        PgResult r(PQgetResult(session_.handle()));
        if (!r || PQresultStatus(r.get()) != PGRES_COMMAND_OK)
            session_.fail(r.get(), {});
    }

protected:
    void write(const std::vector<Value>& row) override
    {
        char number[32];
        for (size_t i = 0; i < row.size(); ++i) {
            if (i)
                buffer_ += '\t';
            const Value& v = row[i];
            switch (v.kind) {
            case Value::Null: buffer_ += "\\N"; break;
            case Value::Integer: buffer_ += std::to_string(v.integer); break;
            case Value::Real:
                // All 17 digits: the server holds the very double SQLite would.
                std::snprintf(number, sizeof number, "%.17g", v.real);
                buffer_ += number;
                break;
            case Value::Text:
                for (char ch : v.text) {
                    switch (ch) {
                    case '\\': buffer_ += "\\\\"; break;
                    case '\n': buffer_ += "\\n"; break;
                    case '\r': buffer_ += "\\r"; break;
                    case '\t': buffer_ += "\\t"; break;
                    default: buffer_ += ch;
                    }
                }
                break;
            }
        }
        buffer_ += '\n';
        if (buffer_.size() >= kFlushAt)
            flush();
    }

private:
    static constexpr size_t kFlushAt = 256 * 1024;

    void flush()
    {
        if (buffer_.empty())
            return;
        if (PQputCopyData(session_.handle(), buffer_.data(), static_cast<int>(buffer_.size())) != 1)
            session_.fail(nullptr, {});
        buffer_.clear();
    }

    PgSession session_;
    std::string buffer_;
    bool finished_ = false;
};

class CopySink : public refhost::DemoSink {
public:
    CopySink(QString conninfo, QString database) : conninfo_(std::move(conninfo)), database_(std::move(database)) {}
    std::unique_ptr<DemoRows> table(const char* name, const std::vector<const char*>& columns) override
    {
        return std::make_unique<CopyRows>(conninfo_, database_, name, columns);
    }

private:
    QString conninfo_;
    QString database_;
};

void checkPrefix(const QString& prefix)
{
    static const QRegularExpression name(QStringLiteral("^[a-z_][a-z0-9_]{0,40}$"));
    if (!name.match(prefix).hasMatch())
        throw HostError(errnum::InvalidProcedureCall,
                        QStringLiteral("The database prefix '%1' must be lower-case letters, digits and '_' "
                                       "(at most 41), starting with a letter.")
                            .arg(prefix));
}

// Creates the database when missing; an existing one must hold no tables
// unless forced, when the host's tables are dropped.
void prepareDatabase(const PgSession& server, const QString& conninfo, const QString& name, bool force)
{
    const PgResult exists = server.exec("SELECT 1 FROM pg_database WHERE datname = $1", {name.toUtf8()});
    if (PQntuples(exists.get()) == 0) {
        server.exec(QStringLiteral("CREATE DATABASE %1 ENCODING 'UTF8' TEMPLATE template0").arg(name));
        return;
    }
    PgSession db(conninfo, name, name);
    const PgResult tables = db.exec("SELECT count(*) FROM pg_tables "
                                    "WHERE schemaname NOT IN ('pg_catalog', 'information_schema')");
    if (QByteArray(PQgetvalue(tables.get(), 0, 0)) == "0")
        return;
    if (!force)
        throw HostError(errnum::PathFileAccess,
                        QStringLiteral("The database '%1' on %2 already has tables. Add --force to replace the "
                                       "host's tables in it, or choose another --db-prefix.")
                            .arg(name, displayConnection(conninfo)));
    db.exec(QStringLiteral("DROP TABLE IF EXISTS %1 CASCADE").arg(refhost::hostTableNames().join(QStringLiteral(", "))));
}

} // namespace

QStringList PgDemo::databaseNames(const QString& prefix)
{
    QStringList names;
    for (const auto& [name, stem] : refhost::DemoContent::databases())
        names << prefix + QLatin1Char('_') + QString(stem).replace(QLatin1Char('-'), QLatin1Char('_'));
    return names;
}

void PgDemo::create(const QString& folder, const refhost::DemoOptions& options, const PgDemoOptions& server)
{
    checkPrefix(server.prefix);
    const QDir dir = refhost::DemoData::prepareFolder(folder);
    const QStringList names = databaseNames(server.prefix);
    const PgSession maintenance(server.conninfo, displayConnection(server.conninfo));
    std::vector<refhost::DatabaseRecord> databases;
    for (qsizetype n = 0; n < names.size(); ++n) {
        prepareDatabase(maintenance, server.conninfo, names[n], server.force);
        // The list names the server without the password: that belongs in
        // a password file.
        databases.push_back({refhost::DemoContent::databases()[static_cast<size_t>(n)].first,
                             withDatabase(server.conninfo, names[n])});
    }

    refhost::DemoContent content(options);
    for (size_t n = 0; n < databases.size(); ++n) {
        const QString& name = names[static_cast<qsizetype>(n)];
        const PgSession db(server.conninfo, name, name);
        for (const QString& statement : refhost::schemaStatements(refhost::SqlDialect::Postgres))
            db.exec(statement);
        CopySink sink(server.conninfo, name);
        content.write(n, sink);
        for (const QString& statement : refhost::indexStatements())
            db.exec(statement);
        // Statistics now, as the SQLite demo has them, rather than whenever
        // autovacuum comes round: until then the planner guesses the sizes
        // and may count with a hash join that spills to disk.
        db.exec(QStringLiteral("ANALYZE"));
    }
    refhost::DemoData::writeHostFiles(dir.absolutePath(), databases, options);
}

void PgDemo::drop(const PgDemoOptions& server)
{
    const PgSession maintenance(server.conninfo, displayConnection(server.conninfo));
    for (const QString& name : databaseNames(server.prefix))
        maintenance.exec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name));
}

} // namespace orvo::pghost
