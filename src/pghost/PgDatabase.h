#pragma once

#include "refhost/HostDatabase.h"

#include <memory>
#include <vector>

namespace orvo::pghost {

class PgCompany;
class PgSession;
class PgSessionPool;

// A host database on a PostgreSQL server. It keeps one session open for as
// long as the host has the database: the companies' locks live on it, so a
// host that dies frees its companies with its connection.
class PgDatabase : public refhost::HostDatabase, public std::enable_shared_from_this<PgDatabase> {
public:
    PgDatabase(QString name, QString conninfo);
    ~PgDatabase() override;

    QString Name() override { return name_; }
    std::shared_ptr<IOrvoDatabase> Database() override;
    std::shared_ptr<IOrvoConnection> Connection() override;
    OrvoCollection<IOrvoCompany> Companies() override;

    void open() override;

private:
    QString name_;
    QString conninfo_;
    std::shared_ptr<PgSession> session_;
    std::shared_ptr<PgSessionPool> cursorSessions_;
    std::vector<std::shared_ptr<PgCompany>> companies_;
    bool companiesLoaded_ = false;
};

} // namespace orvo::pghost
