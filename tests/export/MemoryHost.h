#pragma once

// A small host over in-memory rows that records every call it receives and
// can be told to fail, for call-order and fault cases of the export.

#include "export/ExportJob.h"
#include "host/OrvoInterfaces.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <utility>
#include <vector>

namespace memhost {

using Table = std::vector<QStringList>;

struct CallLog {
    std::vector<QString> calls;
    bool logItems = true;
    void add(const QString& call) { calls.push_back(call); }
    QString joined() const;
};

struct Faults {
    std::set<std::pair<int, int>> unreadable;   // (row, column) whose Item fails
    int moveNextFailsAtRow = -1;                // MoveNext from this row fails ...
    int moveNextFailures = 0;                   // ... this many times
    bool noCursor = false;
    bool countFails = false;
    bool isLastRowFails = false;
    int countOverride = -1;                     // CountRows answers this when >= 0
};

class MemoryGroup : public orvo::IOrvoGroup {
public:
    explicit MemoryGroup(QString name) : name_(std::move(name)) {}
    QString Name() override { return name_; }

private:
    QString name_;
};

class MemoryBook : public orvo::IOrvoBook {
public:
    MemoryBook(int16_t id, QString name) : id_(id), name_(std::move(name)) {}
    int16_t BookID() override { return id_; }
    QString Name() override { return name_; }
    bool IsActive() override { return true; }

private:
    int16_t id_;
    QString name_;
};

class MemoryCompany : public orvo::IOrvoCompany {
public:
    MemoryCompany(int16_t id, QString name) : id_(id), name_(std::move(name)) {}
    QString Name() override { return name_; }
    int16_t CompanyID() override { return id_; }
    bool IsAvailable() override { return true; }
    bool HasInventory() override { return false; }
    orvo::OrvoCollection<orvo::IOrvoBook> Books() override { return {}; }
    bool Open() override { return true; }
    void Close() override {}

private:
    int16_t id_;
    QString name_;
};

// Adds " AND GROUPCOND " before any ORDER BY, like a host restricting to
// the group; `rewrite` replaces that when set.
class MemoryGroupQuery : public orvo::IOrvoGroupQuery {
public:
    explicit MemoryGroupQuery(std::shared_ptr<CallLog> log) : log_(std::move(log)) {}
    QString ApplyGroup(const QString& sql) override;
    void SetGroup(std::shared_ptr<orvo::IOrvoGroup> group, int32_t a, int32_t b, int32_t c, int32_t d) override;
    void Reset() override { log_->add(QStringLiteral("Reset")); }
    std::function<QString(const QString&)> rewrite;
    bool fails = false;

private:
    std::shared_ptr<CallLog> log_;
};

class MemoryGroupManager : public orvo::IOrvoGroupManager {
public:
    MemoryGroupManager(std::shared_ptr<CallLog> log, std::shared_ptr<MemoryGroupQuery> query)
        : log_(std::move(log)), query_(std::move(query)) {}
    std::shared_ptr<orvo::IOrvoGroupList> GroupList() override { return {}; }
    std::shared_ptr<orvo::IOrvoGroupQuery> GroupQuery() override
    {
        log_->add(QStringLiteral("GroupQuery"));
        return query_;
    }

private:
    std::shared_ptr<CallLog> log_;
    std::shared_ptr<memhost::MemoryGroupQuery> query_;
};

class MemoryConnection : public orvo::IOrvoConnection {
public:
    explicit MemoryConnection(std::shared_ptr<CallLog> log) : log_(std::move(log)) {}
    std::shared_ptr<orvo::IOrvoCursor> OpenCursor(const QString& sql, int32_t batchSize) override;
    int32_t CountRows(const QString& sql) override;

    Table dataRows;         // answers every other query
    Table allocationRows;   // answers "SELECT AssetAlloc..."
    Table listRows;         // answers "SELECT FieldID, Prompt ..."
    Faults faults;
    std::vector<QString> queries;   // every text sent to OpenCursor

private:
    std::shared_ptr<CallLog> log_;
};

class MemoryDatabase : public orvo::IOrvoDatabase {
public:
    MemoryDatabase(std::shared_ptr<CallLog> log, std::shared_ptr<MemoryConnection> connection)
        : log_(std::move(log)), connection_(std::move(connection)) {}
    std::shared_ptr<orvo::IOrvoConnection> Connection() override
    {
        log_->add(QStringLiteral("Connection"));
        return connection_;
    }
    orvo::OrvoCollection<orvo::IOrvoCompany> Companies() override { return {}; }

private:
    std::shared_ptr<CallLog> log_;
    std::shared_ptr<memhost::MemoryConnection> connection_;
};

// Everything a job needs, wired together.
struct Host {
    Host();
    expwiz::ExportJob job(std::vector<int32_t> fieldIds, const QString& outputPath) const;

    std::shared_ptr<CallLog> log = std::make_shared<CallLog>();
    std::shared_ptr<memhost::MemoryConnection> connection;
    std::shared_ptr<memhost::MemoryDatabase> database;
    std::shared_ptr<memhost::MemoryCompany> company;
    std::shared_ptr<memhost::MemoryGroupQuery> groupQuery;
    std::shared_ptr<memhost::MemoryGroupManager> groupManager;
    std::shared_ptr<memhost::MemoryGroup> group;
    std::shared_ptr<memhost::MemoryBook> book;
};

} // namespace memhost
