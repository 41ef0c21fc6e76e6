#pragma once

#include "refhost/DemoData.h"

#include <QString>

namespace orvo::pghost {

struct PgDemoOptions {
    QString conninfo;                         // the server, with a database to connect to first
    QString prefix = QStringLiteral("orvo");  // demo databases are PREFIX_orvo_demo and PREFIX_public_sector
    bool force = false;                       // replace the host's tables of existing databases
};

// Makes the demo host data folder with its databases on a PostgreSQL
// server: one database per demo database, created when missing, loaded
// with COPY. A database that already has tables is refused unless forced.
class PgDemo {
public:
    static void create(const QString& folder, const refhost::DemoOptions& options, const PgDemoOptions& server);
    // Drops the demo databases again (for throwaway hosts).
    static void drop(const PgDemoOptions& server);
    static QStringList databaseNames(const QString& prefix);
};

} // namespace orvo::pghost
