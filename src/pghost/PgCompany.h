#pragma once

#include "host/OrvoInterfaces.h"
#include "refhost/RefCompany.h"

#include <memory>

namespace orvo::pghost {

class PgSession;

// A company of a database on the server. Open takes an advisory lock keyed
// by the company on the host's session (advisory locks belong to one
// database already), so another user on any machine is refused while this
// host has the company, and the server frees it when this host's
// connection ends, however it ends.
class PgCompany : public IOrvoCompany, public IOrvoWritableCompany {
public:
    PgCompany(std::shared_ptr<PgSession> session, refhost::CompanyRecord record);
    ~PgCompany() override;

    QString Name() override { return record_.name; }
    int16_t CompanyID() override { return refhost::hostId(record_.id, "company", record_.name); }
    bool IsAvailable() override { return record_.available; }
    bool HasInventory() override { return record_.hasInventory; }
    OrvoCollection<IOrvoBook> Books() override;
    // Opens may nest; the lock is released by the last Close.
    bool Open() override;
    void Close() override;
    std::shared_ptr<IOrvoGroupManager> GroupManager() override;

private:
    // Who holds the lock, as the server knows them.
    QString holder() const;

    std::shared_ptr<PgSession> session_;
    refhost::CompanyRecord record_;
    int openCount_ = 0;
};

} // namespace orvo::pghost
