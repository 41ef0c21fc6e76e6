#include "refhost/RefDatabase.h"

#include "refhost/RefCompany.h"
#include "refhost/RefConnection.h"

#include <QFileInfo>

namespace orvo::refhost {

RefDatabase::RefDatabase(QString name, QString file) : name_(std::move(name)), file_(std::move(file)) {}

void RefDatabase::open()
{
    if (db_)
        return;
    if (!QFileInfo(file_).isFile())
        throw HostError(errnum::FileNotFound,
                        QStringLiteral("The database '%1' has no file at %2.").arg(name_, file_));
    auto db = std::make_shared<SqliteDb>(file_, false);
    // Any host table will do to tell a database of this host from another
    // file. SQLite reads the file only here, so its reason (not a database,
    // damaged, no permission) is the one to give.
    bool isHostDatabase = false;
    try {
        SqliteStatement probe(*db, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name = 'Company'"));
        isHostDatabase = probe.step() && probe.int64(0) == 1;
    } catch (const HostError&) {
        throw HostError(errnum::HostFailure,
                        QStringLiteral("The file %1 of database '%2' cannot be read: %3.").arg(file_, name_, db->errorMessage()));
    }
    if (!isHostDatabase)
        throw HostError(errnum::HostFailure,
                        QStringLiteral("The file %1 of database '%2' is not a host database.").arg(file_, name_));
    db_ = std::move(db);
}

std::shared_ptr<IOrvoDatabase> RefDatabase::Database()
{
    open();
    return shared_from_this();
}

std::shared_ptr<IOrvoConnection> RefDatabase::Connection()
{
    open();
    return std::make_shared<RefConnection>(db_);
}

OrvoCollection<IOrvoCompany> RefDatabase::Companies()
{
    open();
    if (!companiesLoaded_) {
        SqliteStatement q(*db_, QStringLiteral("SELECT companyid, name, available, hasinventory FROM Company "
                                               "ORDER BY position, companyid"));
        while (q.step()) {
            CompanyRecord r;
            r.id = q.int64(0);
            r.name = q.text(1);
            r.available = q.text(2) == QLatin1String("T");
            r.hasInventory = q.text(3) == QLatin1String("T");
            companies_.push_back(std::make_shared<RefCompany>(db_, file_, std::move(r)));
        }
        companiesLoaded_ = true;
    }
    return {companies_.begin(), companies_.end()};
}

} // namespace orvo::refhost
