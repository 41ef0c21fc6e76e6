#include "pghost/PgSession.h"

#include "host/HostError.h"

#include <QCoreApplication>

#include <vector>

namespace orvo::pghost {

namespace {

// libpq's messages run over several lines; a one-line message reads better.
QString oneLine(const char* message)
{
    QString text = QString::fromUtf8(message ? message : "").trimmed();
    text.replace(QLatin1Char('\n'), QStringLiteral("; "));
    return text.isEmpty() ? QStringLiteral("no reason given") : text;
}

QString quoted(const QString& value)
{
    if (!value.isEmpty() && !value.contains(QLatin1Char(' ')) && !value.contains(QLatin1Char('\''))
        && !value.contains(QLatin1Char('\\')))
        return value;
    QString out = value;
    out.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    out.replace(QLatin1Char('\''), QStringLiteral("\\'"));
    return QLatin1Char('\'') + out + QLatin1Char('\'');
}

// Rebuilds the settings given in a connection string, without the password
// and with the database replaced when one is given.
QString rebuild(const QString& conninfo, const QString& database)
{
    char* error = nullptr;
    PQconninfoOption* options = PQconninfoParse(conninfo.toUtf8().constData(), &error);
    if (!options) {
        const QString reason = oneLine(error);
        PQfreemem(error);
        throw HostError(errnum::InvalidProcedureCall,
                        QStringLiteral("The connection string is not valid: %1").arg(reason));
    }
    QStringList parts;
    bool hasDatabase = false;
    for (PQconninfoOption* o = options; o->keyword; ++o) {
        const QString key = QString::fromUtf8(o->keyword);
        if (!o->val || key == QLatin1String("password"))
            continue;
        QString value = QString::fromUtf8(o->val);
        if (key == QLatin1String("dbname") && !database.isEmpty()) {
            value = database;
            hasDatabase = true;
        }
        parts << key + QLatin1Char('=') + quoted(value);
    }
    PQconninfoFree(options);
    if (!database.isEmpty() && !hasDatabase)
        parts << QStringLiteral("dbname=") + quoted(database);
    return parts.join(QLatin1Char(' '));
}

} // namespace

QString displayConnection(const QString& conninfo)
{
    try {
        return rebuild(conninfo, {});
    } catch (const HostError&) {
        return QStringLiteral("(a connection string that cannot be read)");
    }
}

QString withDatabase(const QString& conninfo, const QString& database)
{
    return rebuild(conninfo, database);
}

PgSession::PgSession(QString conninfo, QString databaseName, QString serverDatabase)
    : conninfo_(std::move(conninfo)), databaseName_(std::move(databaseName)), serverDatabase_(std::move(serverDatabase))
{
    // The application name tells other users who holds a company.
    const QByteArray info = conninfo_.toUtf8();
    QByteArray application = QCoreApplication::applicationName().toUtf8();
    if (application.isEmpty())
        application = "orvo";
    const QByteArray database = serverDatabase_.toUtf8();
    const char* keys[] = {"dbname", "fallback_application_name", "client_encoding",
                          serverDatabase_.isEmpty() ? nullptr : "dbname", nullptr};
    const char* values[] = {info.constData(), application.constData(), "UTF8", database.constData(), nullptr};
    conn_ = PQconnectdbParams(keys, values, 1);
    if (!conn_)
        throw HostError(errnum::HostFailure, QStringLiteral("Out of memory connecting to the database server."));
    if (PQstatus(conn_) != CONNECTION_OK) {
        const QString reason = oneLine(PQerrorMessage(conn_));
        PQfinish(conn_);
        conn_ = nullptr;
        throw HostError(errnum::HostFailure,
                        QStringLiteral("Cannot connect to the database server for '%1' (%2): %3")
                            .arg(databaseName_, display(), reason));
    }
}

QString PgSession::display() const
{
    return serverDatabase_.isEmpty() ? displayConnection(conninfo_) : withDatabase(conninfo_, serverDatabase_);
}

PgSession::~PgSession()
{
    if (conn_)
        PQfinish(conn_);
}

void PgSession::fail(const PGresult* result, const QString& sql) const
{
    // Connection failures and an administrator's shutdown are a lost
    // connection, whatever the statement was.
    const QByteArray state = result ? QByteArray(PQresultErrorField(result, PG_DIAG_SQLSTATE)) : QByteArray();
    if (PQstatus(conn_) == CONNECTION_BAD || state.startsWith("08") || state.startsWith("57P"))
        throw HostError(errnum::HostFailure,
                        QStringLiteral("The connection to the database server for '%1' (%2) was lost: %3")
                            .arg(databaseName_, display(), oneLine(PQerrorMessage(conn_))));
    QString message = oneLine(result ? PQresultErrorMessage(result) : PQerrorMessage(conn_));
    if (!sql.isEmpty())
        message += QStringLiteral(" (SQL: %1)").arg(sql);
    throw HostError(errnum::HostFailure, message);
}

PgResult PgSession::exec(const QString& sql) const
{
    PgResult result(PQexec(conn_, sql.toUtf8().constData()));
    const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        fail(result.get(), sql);
    return result;
}

PgResult PgSession::exec(const char* sql, std::initializer_list<QByteArray> params) const
{
    std::vector<const char*> values;
    for (const QByteArray& p : params)
        values.push_back(p.constData());
    PgResult result(PQexecParams(conn_, sql, static_cast<int>(values.size()), nullptr, values.data(), nullptr,
                                 nullptr, 0));
    const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        fail(result.get(), QString::fromUtf8(sql));
    return result;
}

} // namespace orvo::pghost
