#pragma once

// A small host over in-memory rows that records every call it receives and
// can be told to fail, for call-order and fault cases of the export.

#include "export/ExportJob.h"
#include "host/OrvoInterfaces.h"

#include <QStringList>

#include <functional>
#include <memory>
#include <set>
#include <utility>
#include <vector>

namespace memhost {

using Table = std::vector<QStringList>;

struct CallLog {
    QStringList calls;
    bool logItems = true;
    void add(const QString& call) { calls << call; }
    QString joined() const { return calls.join(QStringLiteral(" | ")); }
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

// A company, group or book: a name and an id.
struct MemoryCompany : orvo::IOrvoCompany, orvo::IOrvoGroup, orvo::IOrvoBook {
    MemoryCompany(int16_t id, QString name) : id(id), name(std::move(name)) {}
    QString Name() override { return name; }
    int16_t CompanyID() override { return id; }
    int16_t BookID() override { return id; }
    bool IsActive() override { return true; }
    bool IsAvailable() override { return true; }
    bool HasInventory() override { return false; }
    orvo::OrvoCollection<orvo::IOrvoBook> Books() override { return {}; }
    bool Open() override { return true; }
    void Close() override {}
    int16_t id;
    QString name;
};
using MemoryGroup = MemoryCompany;
using MemoryBook = MemoryCompany;

// The database, its connection and the company's group manager and query
// in one object. The group query adds "AND GROUPCOND" before any ORDER BY,
// like a host restricting to the group; `rewrite` replaces that when set.
class MemoryDatabase : public orvo::IOrvoDatabase, public orvo::IOrvoConnection, public orvo::IOrvoGroupManager,
                       public orvo::IOrvoGroupQuery, public std::enable_shared_from_this<MemoryDatabase> {
public:
    explicit MemoryDatabase(std::shared_ptr<CallLog> log) : log_(std::move(log)) {}
    std::shared_ptr<orvo::IOrvoConnection> Connection() override;
    orvo::OrvoCollection<orvo::IOrvoCompany> Companies() override { return {}; }
    std::shared_ptr<orvo::IOrvoCursor> OpenCursor(const QString& sql, int32_t batchSize) override;
    int32_t CountRows(const QString& sql) override;
    std::shared_ptr<orvo::IOrvoGroupList> GroupList() override { return {}; }
    std::shared_ptr<orvo::IOrvoGroupQuery> GroupQuery() override;
    QString ApplyGroup(const QString& sql) override;
    void SetGroup(std::shared_ptr<orvo::IOrvoGroup> group, int32_t a, int32_t b, int32_t c, int32_t d) override;
    void Reset() override { log_->add(QStringLiteral("Reset")); }

    Table dataRows;         // answers every other query
    Table allocationRows;   // answers "SELECT AssetAlloc..."
    Table listRows;         // answers "SELECT FieldID, Prompt ..."
    Faults faults;
    std::vector<QString> queries;   // every text sent to OpenCursor
    std::function<QString(const QString&)> rewrite;
    bool fails = false;     // ApplyGroup fails

private:
    std::shared_ptr<CallLog> log_;
};
using MemoryConnection = MemoryDatabase;
using MemoryGroupQuery = MemoryDatabase;
using MemoryGroupManager = MemoryDatabase;

// Everything a job needs, wired together.
struct Host {
    expwiz::ExportJob job(std::vector<int32_t> fieldIds, const QString& outputPath) const;

    std::shared_ptr<CallLog> log = std::make_shared<CallLog>();
    std::shared_ptr<MemoryDatabase> database = std::make_shared<MemoryDatabase>(log);
    std::shared_ptr<MemoryDatabase> connection = database, groupQuery = database, groupManager = database;
    std::shared_ptr<MemoryCompany> company = std::make_shared<MemoryCompany>(7, QStringLiteral("Acme Holdings"));
    std::shared_ptr<MemoryGroup> group = std::make_shared<MemoryGroup>(0, QStringLiteral("All Orvo Assets"));
    std::shared_ptr<MemoryBook> book = std::make_shared<MemoryBook>(1, QStringLiteral("Tax"));
};

} // namespace memhost
