#pragma once

#include "refhost/HostDatabase.h"
#include "refhost/Sqlite.h"

#include <memory>

namespace orvo::refhost {

class RefCompany;

// One registered database: its entry in the host's list and, once opened,
// the database itself. Companies are read once, so the wizard finds the
// same company objects (and their open state) every time it asks.
class RefDatabase : public HostDatabase, public std::enable_shared_from_this<RefDatabase> {
public:
    RefDatabase(QString name, QString file);

    QString Name() override { return name_; }
    std::shared_ptr<IOrvoDatabase> Database() override;
    std::shared_ptr<IOrvoConnection> Connection() override;
    OrvoCollection<IOrvoCompany> Companies() override;

    // Opens the file; raises HostError naming it when it is missing or not
    // one of this host's databases.
    void open() override;
    bool isOpen() const { return db_ != nullptr; }
    const QString& file() const { return file_; }

private:
    QString name_;
    QString file_;
    std::shared_ptr<SqliteDb> db_;
    std::vector<std::shared_ptr<RefCompany>> companies_;
    bool companiesLoaded_ = false;
};

} // namespace orvo::refhost
