#include "refhost/RefCompany.h"

#include "refhost/RefGroups.h"

#include <limits>

namespace orvo::refhost {

int16_t hostId(int64_t id, const char* kind, const QString& name)
{
    if (id < std::numeric_limits<int16_t>::min() || id > std::numeric_limits<int16_t>::max())
        throw HostError(errnum::Overflow,
                        QStringLiteral("The %1 \"%2\" has the id %3, which does not fit the host's 16-bit %1 ids; "
                                       "it cannot be used.")
                            .arg(QLatin1String(kind), name)
                            .arg(id));
    return static_cast<int16_t>(id);
}

int16_t RefBook::BookID()
{
    return hostId(id_, "book", name_);
}

RefCompany::RefCompany(std::shared_ptr<SqliteDb> db, const QString& databaseFile, CompanyRecord record)
    : db_(std::move(db)), record_(std::move(record)),
      // An id out of range never reaches the lock: Open refuses it first.
      lock_(databaseFile, static_cast<int>(record_.id), record_.name)
{
}

int16_t RefCompany::CompanyID()
{
    return hostId(record_.id, "company", record_.name);
}

OrvoCollection<IOrvoBook> RefCompany::Books()
{
    SqliteStatement q(*db_, QStringLiteral("SELECT bookid, name, active FROM Book WHERE companyid = ?1 "
                                           "ORDER BY position, bookid"));
    q.bind(1, static_cast<int64_t>(record_.id));
    OrvoCollection<IOrvoBook> books;
    while (q.step())
        books.push_back(std::make_shared<RefBook>(q.int64(0), q.text(1),
                                                  q.text(2) == QLatin1String("T")));
    return books;
}

bool RefCompany::Open()
{
    if (openCount_ == 0) {
        CompanyID();
        lock_.acquire();
    }
    ++openCount_;
    return true;
}

void RefCompany::Close()
{
    if (openCount_ == 0)
        return;
    if (--openCount_ == 0)
        lock_.release();
}

std::shared_ptr<IOrvoGroupManager> RefCompany::GroupManager()
{
    SqliteStatement q(*db_, QStringLiteral("SELECT name, condition FROM AssetGroup WHERE companyid = ?1 "
                                           "ORDER BY position, groupid"));
    q.bind(1, static_cast<int64_t>(record_.id));
    std::vector<std::shared_ptr<RefGroup>> groups;
    while (q.step())
        groups.push_back(std::make_shared<RefGroup>(q.text(0), q.text(1)));
    return std::make_shared<RefGroupManager>(std::make_shared<RefGroupList>(std::move(groups)));
}

} // namespace orvo::refhost
