#include "refhost/RefCompany.h"

#include "refhost/RefGroups.h"

namespace orvo::refhost {

RefCompany::RefCompany(std::shared_ptr<SqliteDb> db, const QString& databaseFile, CompanyRecord record)
    : db_(std::move(db)), record_(std::move(record)), lock_(databaseFile, record_.id, record_.name)
{
}

OrvoCollection<IOrvoBook> RefCompany::Books()
{
    SqliteStatement q(*db_, QStringLiteral("SELECT bookid, name, active FROM Book WHERE companyid = ?1 "
                                           "ORDER BY position, bookid"));
    q.bind(1, static_cast<int64_t>(record_.id));
    OrvoCollection<IOrvoBook> books;
    while (q.step())
        books.push_back(std::make_shared<RefBook>(static_cast<int16_t>(q.int64(0)), q.text(1),
                                                  q.text(2) == QLatin1String("T")));
    return books;
}

bool RefCompany::Open()
{
    if (openCount_ == 0)
        lock_.acquire();
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
