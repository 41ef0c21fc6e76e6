#include "pghost/PgSessionPool.h"

namespace orvo::pghost {

PgSessionPool::PgSessionPool(QString conninfo, QString databaseName, QString serverDatabase)
    : conninfo_(std::move(conninfo)), databaseName_(std::move(databaseName)), serverDatabase_(std::move(serverDatabase))
{
}

std::unique_ptr<PgSession> PgSessionPool::take()
{
    {
        const std::lock_guard lock(mutex_);
        if (idle_)
            return std::move(idle_);
    }
    return std::make_unique<PgSession>(conninfo_, databaseName_, serverDatabase_);
}

void PgSessionPool::give(std::unique_ptr<PgSession> session) noexcept
{
    if (!session || PQstatus(session->handle()) != CONNECTION_OK
        || PQtransactionStatus(session->handle()) != PQTRANS_IDLE)
        return;
    const std::lock_guard lock(mutex_);
    if (!idle_)
        idle_ = std::move(session);
}

} // namespace orvo::pghost
