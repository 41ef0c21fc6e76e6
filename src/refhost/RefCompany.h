#pragma once

#include "host/OrvoInterfaces.h"
#include "refhost/CompanyLock.h"
#include "refhost/Sqlite.h"

#include <memory>

namespace orvo::refhost {

// A stored company or book id as the host's 16-bit id; raises HostError
// naming the company or book when it does not fit.
int16_t hostId(int64_t id, const char* kind, const QString& name);

class RefBook : public IOrvoBook {
public:
    RefBook(int64_t id, QString name, bool active) : id_(id), name_(std::move(name)), active_(active) {}
    // Raises HostError naming the book when its stored id does not fit the
    // host's 16-bit book ids, so it never stands for another book.
    int16_t BookID() override;
    QString Name() override { return name_; }
    bool IsActive() override { return active_; }

private:
    int64_t id_;
    QString name_;
    bool active_;
};

struct CompanyRecord {
    int64_t id = 0;   // as stored; CompanyID() refuses one beyond 16 bits
    QString name;
    bool available = true;
    bool hasInventory = false;
};

class RefCompany : public IOrvoCompany, public IOrvoWritableCompany {
public:
    RefCompany(std::shared_ptr<SqliteDb> db, const QString& databaseFile, CompanyRecord record);

    QString Name() override { return record_.name; }
    // Raise HostError naming the company when its stored id does not fit
    // the host's 16-bit company ids, so it never stands for another one.
    int16_t CompanyID() override;
    bool IsAvailable() override { return record_.available; }
    bool HasInventory() override { return record_.hasInventory; }
    OrvoCollection<IOrvoBook> Books() override;
    // Opens may nest; the lock is released by the last Close.
    bool Open() override;
    void Close() override;
    std::shared_ptr<IOrvoGroupManager> GroupManager() override;

    bool isOpen() const { return openCount_ > 0; }

private:
    std::shared_ptr<SqliteDb> db_;
    CompanyRecord record_;
    CompanyLock lock_;
    int openCount_ = 0;
};

} // namespace orvo::refhost
