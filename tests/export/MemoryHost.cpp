#include "MemoryHost.h"

namespace memhost {

namespace {

// The cursor, its rows and their fields in one object.
class MemoryRowset : public orvo::IOrvoCursor, public orvo::IOrvoRowset, public orvo::IOrvoFields,
                     public std::enable_shared_from_this<MemoryRowset> {
public:
    MemoryRowset(std::shared_ptr<CallLog> log, Table table, Faults faults)
        : log_(std::move(log)), table_(std::move(table)), faults_(std::move(faults)) {}
    std::shared_ptr<orvo::IOrvoRowset> Rows() override
    {
        log_->add(QStringLiteral("Rows"));
        return shared_from_this();
    }
    bool MoveFirst() override
    {
        log_->add(QStringLiteral("MoveFirst"));
        row_ = 0;
        return !table_.empty();
    }
    bool MoveNext() override
    {
        log_->add(QStringLiteral("MoveNext"));
        if (row_ == faults_.moveNextFailsAtRow && failed_ < faults_.moveNextFailures) {
            ++failed_;
            throw orvo::HostError(orvo::errnum::HostFailure, QStringLiteral("connection lost"));
        }
        failed_ = 0;
        return ++row_ < int(table_.size());
    }
    bool IsLastRow() override
    {
        log_->add(QStringLiteral("IsLastRow"));
        if (faults_.isLastRowFails)
            throw orvo::HostError(orvo::errnum::HostFailure, QStringLiteral("no answer"));
        return row_ + 1 >= int(table_.size());
    }
    std::shared_ptr<orvo::IOrvoFields> Fields() override
    {
        log_->add(QStringLiteral("Fields"));
        return shared_from_this();
    }
    int32_t Count() override { return table_.empty() ? 0 : int32_t(table_.front().size()); }
    QString Item(int32_t column) override
    {
        if (log_->logItems)
            log_->add(QStringLiteral("Item %1").arg(column));
        if (faults_.unreadable.count({row_, column}))
            throw orvo::HostError(orvo::errnum::TypeMismatch, QStringLiteral("value cannot be read"));
        const QStringList& r = table_.at(size_t(row_));
        if (column < 0 || column >= r.size())
            throw orvo::HostError(orvo::errnum::SubscriptOutOfRange, QStringLiteral("no such column"));
        return r[column];
    }

private:
    std::shared_ptr<CallLog> log_;
    Table table_;
    Faults faults_;
    int row_ = 0;
    int failed_ = 0;
};

} // namespace

std::shared_ptr<orvo::IOrvoConnection> MemoryDatabase::Connection()
{
    log_->add(QStringLiteral("Connection"));
    return shared_from_this();
}

std::shared_ptr<orvo::IOrvoGroupQuery> MemoryDatabase::GroupQuery()
{
    log_->add(QStringLiteral("GroupQuery"));
    return shared_from_this();
}

QString MemoryDatabase::ApplyGroup(const QString& sql)
{
    log_->add(QStringLiteral("ApplyGroup ") + sql);
    if (fails)
        throw orvo::HostError(orvo::errnum::HostFailure, QStringLiteral("The group condition is damaged."));
    if (rewrite)
        return rewrite(sql);
    const qsizetype at = sql.indexOf(QStringLiteral(" ORDER BY"));
    return at < 0 ? sql + QStringLiteral("AND GROUPCOND ") : sql.left(at) + QStringLiteral("AND GROUPCOND") + sql.mid(at);
}

void MemoryDatabase::SetGroup(std::shared_ptr<orvo::IOrvoGroup> group, int32_t a, int32_t b, int32_t c, int32_t d)
{
    log_->add(QStringLiteral("SetGroup %1 %2 %3 %4 %5").arg(group ? group->Name() : QStringLiteral("-")).arg(a).arg(b).arg(c).arg(d));
}

std::shared_ptr<orvo::IOrvoCursor> MemoryDatabase::OpenCursor(const QString& sql, int32_t batchSize)
{
    log_->add(QStringLiteral("OpenCursor %1 %2").arg(sql).arg(batchSize));
    queries.push_back(sql);
    const auto cursor = [this](const Table& table, const Faults& f) -> std::shared_ptr<orvo::IOrvoCursor> {
        return std::make_shared<MemoryRowset>(log_, table, f);
    };
    if (sql.startsWith(QStringLiteral("SELECT AssetAlloc.")))
        return cursor(allocationRows, {});
    if (sql.startsWith(QStringLiteral("SELECT FieldID, Prompt")))
        return cursor(listRows, {});
    return faults.noCursor ? nullptr : cursor(dataRows, faults);
}

int32_t MemoryDatabase::CountRows(const QString& sql)
{
    log_->add(QStringLiteral("CountRows ") + sql);
    if (faults.countFails)
        throw orvo::HostError(orvo::errnum::HostFailure, QStringLiteral("no such table: Bookparts"));
    return faults.countOverride >= 0 ? faults.countOverride : int32_t(dataRows.size());
}

expwiz::ExportJob Host::job(std::vector<int32_t> fieldIds, const QString& outputPath) const
{
    expwiz::ExportJob job;
    job.database = database;
    job.company = company;
    job.groupManager = groupManager;
    job.group = group;
    job.book = book;
    job.fieldIds = std::move(fieldIds);
    job.outputPath = outputPath;
    job.locale = QLocale::c();
    job.edition = expwiz::Edition::fromCode(1);
    return job;
}

} // namespace memhost
