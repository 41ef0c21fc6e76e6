#pragma once

// A host over in-memory rows that logs every call it receives and can be told to fail.

#include "export/ExportJob.h"
#include "host/OrvoInterfaces.h"

#include <functional>
#include <set>

namespace memhost {

using Table = std::vector<QStringList>;
using Log = std::shared_ptr<QStringList>;
using orvo::HostError;

struct Faults {
    std::set<std::pair<int, int>> unreadable;   // (row, column) whose Item fails
    int moveNextFailsAtRow = -1;                // MoveNext from this row fails ...
    int moveNextFailures = 0;                   // ... this many times
    bool noCursor = false, countFails = false, isLastRowFails = false;
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

// The cursor, its rows and their fields in one object.
class MemoryRowset : public orvo::IOrvoCursor, public orvo::IOrvoRowset, public orvo::IOrvoFields,
                     public std::enable_shared_from_this<MemoryRowset> {
public:
    MemoryRowset(Log log, Table table, Faults faults) : log_(log), table_(std::move(table)), faults_(std::move(faults)) {}
    std::shared_ptr<orvo::IOrvoRowset> Rows() override { return *log_ << "Rows", shared_from_this(); }
    std::shared_ptr<orvo::IOrvoFields> Fields() override { return *log_ << "Fields", shared_from_this(); }
    bool MoveFirst() override { return *log_ << "MoveFirst", row_ = 0, !table_.empty(); }
    bool MoveNext() override
    {
        *log_ << "MoveNext";
        if (row_ == faults_.moveNextFailsAtRow && failed_++ < faults_.moveNextFailures)
            throw HostError(orvo::errnum::HostFailure, "connection lost");
        failed_ = 0;
        return ++row_ < int(table_.size());
    }
    bool IsLastRow() override
    {
        if (*log_ << "IsLastRow"; faults_.isLastRowFails)
            throw HostError(orvo::errnum::HostFailure, "no answer");
        return row_ + 1 >= int(table_.size());
    }
    int32_t Count() override { return table_.empty() ? 0 : int32_t(table_.front().size()); }
    QString Item(int32_t column) override
    {
        if (*log_ << QStringLiteral("Item %1").arg(column); faults_.unreadable.count({row_, column}))
            throw HostError(orvo::errnum::TypeMismatch, "value cannot be read");
        if (column < 0 || column >= table_.at(size_t(row_)).size())
            throw HostError(orvo::errnum::SubscriptOutOfRange, "no such column");
        return table_[size_t(row_)][column];
    }

private:
    Log log_;
    Table table_;
    Faults faults_;
    int row_ = 0, failed_ = 0;
};

// The database, its connection and the company's group manager and query in one object. The group query adds
// "AND GROUPCOND" before any ORDER BY, like a host restricting to the group; `rewrite` replaces that when set.
class MemoryDatabase : public orvo::IOrvoDatabase, public orvo::IOrvoConnection, public orvo::IOrvoGroupManager,
                       public orvo::IOrvoGroupQuery, public std::enable_shared_from_this<MemoryDatabase> {
public:
    explicit MemoryDatabase(Log log) : log_(std::move(log)) {}
    std::shared_ptr<orvo::IOrvoConnection> Connection() override { return *log_ << "Connection", shared_from_this(); }
    std::shared_ptr<orvo::IOrvoGroupQuery> GroupQuery() override { return *log_ << "GroupQuery", shared_from_this(); }
    orvo::OrvoCollection<orvo::IOrvoCompany> Companies() override { return {}; }
    std::shared_ptr<orvo::IOrvoGroupList> GroupList() override { return {}; }
    void Reset() override { *log_ << "Reset"; }
    void SetGroup(std::shared_ptr<orvo::IOrvoGroup> group, int32_t a, int32_t b, int32_t c, int32_t d) override
    {
        *log_ << QStringLiteral("SetGroup %1 %2 %3 %4 %5").arg(group->Name()).arg(a).arg(b).arg(c).arg(d);
    }
    QString ApplyGroup(const QString& sql) override
    {
        if (*log_ << "ApplyGroup " + sql; fails)
            throw HostError(orvo::errnum::HostFailure, "The group condition is damaged.");
        if (rewrite)
            return rewrite(sql);
        const qsizetype at = sql.indexOf(" ORDER BY");
        return at < 0 ? sql + "AND GROUPCOND " : sql.left(at) + "AND GROUPCOND" + sql.mid(at);
    }
    std::shared_ptr<orvo::IOrvoCursor> OpenCursor(const QString& sql, int32_t batchSize) override
    {
        *log_ << QStringLiteral("OpenCursor %1 %2").arg(sql).arg(batchSize);
        queries.push_back(sql);
        if (sql.startsWith("SELECT AssetAlloc."))
            return std::make_shared<MemoryRowset>(log_, allocationRows, Faults{});
        if (sql.startsWith("SELECT FieldID, Prompt"))
            return std::make_shared<MemoryRowset>(log_, listRows, Faults{});
        return faults.noCursor ? nullptr : std::make_shared<MemoryRowset>(log_, dataRows, faults);
    }
    int32_t CountRows(const QString& sql) override
    {
        if (*log_ << "CountRows " + sql; faults.countFails)
            throw HostError(orvo::errnum::HostFailure, "no such table: Bookparts");
        return faults.countOverride >= 0 ? faults.countOverride : int32_t(dataRows.size());
    }

    Table dataRows;         // answers every other query
    Table allocationRows;   // answers "SELECT AssetAlloc..."
    Table listRows;         // answers "SELECT FieldID, Prompt ..."
    Faults faults;
    std::vector<QString> queries;   // every text sent to OpenCursor
    std::function<QString(const QString&)> rewrite;
    bool fails = false;     // ApplyGroup fails

private:
    Log log_;
};

// Everything a job needs, wired together.
struct Host {
    expwiz::ExportJob job(std::vector<int32_t> fieldIds, const QString& outputPath) const
    {
        return {.database = database, .company = company, .groupManager = database, .group = group,
                .book = book, .fieldIds = std::move(fieldIds), .edition = expwiz::Edition::fromCode(1),
                .outputPath = outputPath, .locale = QLocale::c(), .encoding = {}, .allocationLists = {},
                .allocationLinks = {}, .writeFunction = {}};
    }

    Log log = std::make_shared<QStringList>();
    std::shared_ptr<MemoryDatabase> database = std::make_shared<MemoryDatabase>(log);
    std::shared_ptr<MemoryCompany> company = std::make_shared<MemoryCompany>(7, "Acme Holdings");
    std::shared_ptr<MemoryCompany> group = std::make_shared<MemoryCompany>(0, "All Orvo Assets");
    std::shared_ptr<MemoryCompany> book = std::make_shared<MemoryCompany>(1, "Tax");
};

} // namespace memhost
