#include "pghost/PgSessionPool.h"

namespace orvo::pghost {

namespace {

// The export's queries join whole tables and read every row once: parallel
// workers spend more of the server's CPU on them (building shared hash
// tables, merging sorted runs) than they save, and contend with the stream
// the export is reading. Compiling their plain column lists to machine code
// costs more than it saves too (a sixth of the server's time for a count,
// an eighth for a copy of a million rows). Set once for each new session.
constexpr const char* kStreaming = "SET max_parallel_workers_per_gather = 0; SET jit = off";

} // namespace

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
    auto session = std::make_unique<PgSession>(conninfo_, databaseName_, serverDatabase_);
    session->exec(kStreaming);
    return session;
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
