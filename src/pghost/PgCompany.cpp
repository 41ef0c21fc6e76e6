#include "pghost/PgCompany.h"

#include "pghost/PgSession.h"
#include "refhost/RefGroups.h"

#include <QStringList>

namespace orvo::pghost {

namespace {

// The first half of the advisory lock key: what kind of thing is locked.
constexpr const char* kCompanyLockClass = "20306";

} // namespace

PgCompany::PgCompany(std::shared_ptr<PgSession> session, refhost::CompanyRecord record)
    : session_(std::move(session)), record_(std::move(record))
{
}

PgCompany::~PgCompany()
{
    if (openCount_ > 0) {
        openCount_ = 1;
        Close();
    }
}

OrvoCollection<IOrvoBook> PgCompany::Books()
{
    const PgResult q = session_->exec("SELECT bookid, name, active FROM Book WHERE companyid = $1 "
                                      "ORDER BY position, bookid",
                                      {QByteArray::number(record_.id)});
    OrvoCollection<IOrvoBook> books;
    for (int row = 0; row < PQntuples(q.get()); ++row)
        books.push_back(std::make_shared<refhost::RefBook>(
            QByteArray(PQgetvalue(q.get(), row, 0)).toLongLong(),
            QString::fromUtf8(PQgetvalue(q.get(), row, 1)), QByteArray(PQgetvalue(q.get(), row, 2)) == "T"));
    return books;
}

bool PgCompany::Open()
{
    if (openCount_ == 0) {
        CompanyID();   // an id out of range never reaches the lock
        const PgResult r = session_->exec("SELECT pg_try_advisory_lock($1::int, $2::int)",
                                          {QByteArray(kCompanyLockClass), QByteArray::number(record_.id)});
        if (QByteArray(PQgetvalue(r.get(), 0, 0)) != "t") {
            const QString who = holder();
            throw HostError(errnum::CompanyLocked,
                            who.isEmpty() ? QStringLiteral("Company '%1' is locked by another user.").arg(record_.name)
                                          : QStringLiteral("Company '%1' is locked by another user (%2).")
                                                .arg(record_.name, who));
        }
    }
    ++openCount_;
    return true;
}

void PgCompany::Close()
{
    if (openCount_ == 0)
        return;
    if (--openCount_ > 0)
        return;
    // A lost connection has freed the lock already.
    const QByteArray id = QByteArray::number(record_.id);
    const char* values[] = {kCompanyLockClass, id.constData()};
    PgResult(PQexecParams(session_->handle(), "SELECT pg_advisory_unlock($1::int, $2::int)", 2, nullptr, values,
                          nullptr, nullptr, 0));
}

QString PgCompany::holder() const
{
    const PgResult r = session_->exec(
        "SELECT a.application_name, l.pid, host(a.client_addr), a.usename FROM pg_locks l "
        "LEFT JOIN pg_stat_activity a ON a.pid = l.pid "
        "WHERE l.locktype = 'advisory' AND l.granted AND l.objsubid = 2 "
        "AND l.database = (SELECT oid FROM pg_database WHERE datname = current_database()) "
        "AND l.classid = $1::oid AND l.objid = $2::oid LIMIT 1",
        {QByteArray(kCompanyLockClass), QByteArray::number(record_.id)});
    if (PQntuples(r.get()) == 0)
        return {};
    QStringList parts;
    const QString application = QString::fromUtf8(PQgetvalue(r.get(), 0, 0));
    const QString user = QString::fromUtf8(PQgetvalue(r.get(), 0, 3));
    if (!application.isEmpty())
        parts << application;
    if (!user.isEmpty())
        parts << QStringLiteral("user %1").arg(user);
    parts << QStringLiteral("server process %1").arg(QString::fromUtf8(PQgetvalue(r.get(), 0, 1)));
    parts << (PQgetisnull(r.get(), 0, 2) ? QStringLiteral("local connection")
                                         : QStringLiteral("from %1").arg(QString::fromUtf8(PQgetvalue(r.get(), 0, 2))));
    return parts.join(QStringLiteral(", "));
}

std::shared_ptr<IOrvoGroupManager> PgCompany::GroupManager()
{
    const PgResult q = session_->exec("SELECT name, condition FROM AssetGroup WHERE companyid = $1 "
                                      "ORDER BY position, groupid",
                                      {QByteArray::number(record_.id)});
    std::vector<std::shared_ptr<refhost::RefGroup>> groups;
    for (int row = 0; row < PQntuples(q.get()); ++row)
        groups.push_back(std::make_shared<refhost::RefGroup>(QString::fromUtf8(PQgetvalue(q.get(), row, 0)),
                                                             QString::fromUtf8(PQgetvalue(q.get(), row, 1))));
    // The server's plans may return the records of one asset in any order.
    return std::make_shared<refhost::RefGroupManager>(std::make_shared<refhost::RefGroupList>(std::move(groups)),
                                                      true);
}

} // namespace orvo::pghost
