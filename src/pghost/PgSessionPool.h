#pragma once

#include "pghost/PgSession.h"

#include <QString>

#include <memory>
#include <mutex>

namespace orvo::pghost {

// The sessions cursors read on, set up for streaming whole tables. A cursor
// that has read its query to the end leaves its session here for the next
// one: a new session costs the server a process start and the client a
// round of authentication.
class PgSessionPool {
public:
    PgSessionPool(QString conninfo, QString databaseName, QString serverDatabase = {});

    // An idle session, or a new one (which may raise HostError).
    std::unique_ptr<PgSession> take();
    // Keeps one idle session; one in a transaction or a broken one is closed.
    void give(std::unique_ptr<PgSession> session) noexcept;

private:
    QString conninfo_;
    QString databaseName_;
    QString serverDatabase_;
    std::mutex mutex_;
    std::unique_ptr<PgSession> idle_;
};

} // namespace orvo::pghost
