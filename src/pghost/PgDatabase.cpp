#include "pghost/PgDatabase.h"

#include "pghost/PgCompany.h"
#include "pghost/PgConnection.h"
#include "pghost/PgSession.h"
#include "pghost/PgSessionPool.h"

namespace orvo::pghost {

PgDatabase::PgDatabase(QString name, QString conninfo) : name_(std::move(name)), conninfo_(std::move(conninfo)) {}

PgDatabase::~PgDatabase() = default;

void PgDatabase::open()
{
    if (session_)
        return;
    auto session = std::make_shared<PgSession>(conninfo_, name_);
    // Any host table will do to tell a database of this host from another.
    const PgResult probe = session->exec("SELECT to_regclass('company') IS NOT NULL");
    if (QByteArray(PQgetvalue(probe.get(), 0, 0)) != "t")
        throw HostError(errnum::HostFailure, QStringLiteral("The database '%1' (%2) is not a host database.")
                                                 .arg(name_, displayConnection(conninfo_)));
    session_ = std::move(session);
    cursorSessions_ = std::make_shared<PgSessionPool>(conninfo_, name_);
}

std::shared_ptr<IOrvoDatabase> PgDatabase::Database()
{
    open();
    return shared_from_this();
}

std::shared_ptr<IOrvoConnection> PgDatabase::Connection()
{
    open();
    return std::make_shared<PgConnection>(session_, cursorSessions_);
}

OrvoCollection<IOrvoCompany> PgDatabase::Companies()
{
    open();
    if (!companiesLoaded_) {
        const PgResult q = session_->exec("SELECT companyid, name, available, hasinventory FROM Company "
                                          "ORDER BY position, companyid");
        for (int row = 0; row < PQntuples(q.get()); ++row) {
            refhost::CompanyRecord r;
            r.id = QByteArray(PQgetvalue(q.get(), row, 0)).toLongLong();
            r.name = QString::fromUtf8(PQgetvalue(q.get(), row, 1));
            r.available = QByteArray(PQgetvalue(q.get(), row, 2)) == "T";
            r.hasInventory = QByteArray(PQgetvalue(q.get(), row, 3)) == "T";
            companies_.push_back(std::make_shared<PgCompany>(session_, std::move(r)));
        }
        companiesLoaded_ = true;
    }
    return {companies_.begin(), companies_.end()};
}

} // namespace orvo::pghost
