#include "export/ExportRun.h"

#include "catalog/FieldCatalog.h"
#include "export/AllocationValue.h"
#include "export/AssetAllocations.h"
#include "export/ExportLines.h"
#include "export/ExportTexts.h"
#include "export/QueryBuilder.h"
#include "export/RowSink.h"
#include "host/OrvoInterfaces.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

namespace expwiz {

namespace {

// A host that fails to move to the next row this many times in a row will
// not recover; the run ends there as a read failure.
constexpr int kNavigationAttempts = 3;

template <class T>
void require(const std::shared_ptr<T>& object, const char* what)
{
    if (!object)
        throw orvo::HostError(orvo::errnum::ObjectRequired,
                              QStringLiteral("No %1 is selected for the export.").arg(QLatin1String(what)));
}

class BusyGuard {
public:
    explicit BusyGuard(const std::function<void(bool)>& busy) : busy_(busy)
    {
        if (busy_)
            busy_(true);
    }
    ~BusyGuard()
    {
        if (busy_)
            busy_(false);
    }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

private:
    const std::function<void(bool)>& busy_;
};

} // namespace

struct ExportRun::Column {
    FieldType type;
    const AllocationLinks::Link* link;   // set for an allocation field
};

ExportRun::ExportRun(ExportJob job, ExportCallbacks callbacks)
    : job_(std::move(job)), callbacks_(std::move(callbacks))
{
}

int32_t ExportRun::systemNumberColumn(const std::vector<int32_t>& fieldIds)
{
    for (size_t i = 0; i < fieldIds.size(); ++i)
        if (fieldIds[i] == kSystemNumberFieldId)
            return static_cast<int32_t>(i);
    return static_cast<int32_t>(fieldIds.size());
}

ExportQueries ExportRun::prepareQueries(const ExportJob& job)
{
    require(job.database, "database");
    require(job.company, "company");
    require(job.groupManager, "group manager");
    require(job.group, "group");
    require(job.book, "book");
    const QueryBuilder builder(job.fieldIds, job.company->CompanyID(), job.book->BookID(), job.edition.isGASB,
                               job.allocationLinks.hasAllocationFields());
    ExportQueries queries{builder.countQuery(), builder.dataQuery()};
    QueryBuilder::applyGroup(*job.groupManager, job.group, queries.count, queries.data);
    return queries;
}

ExportResult ExportRun::fail(ExportResult result, int32_t number, const QString& description,
                             const QString& message)
{
    result.outcome = ExportOutcome::Failed;
    result.errorNumber = number;
    result.errorDescription = description;
    result.message = message;
    return result;
}

ExportResult ExportRun::run()
{
    ExportResult result;
    result.progressText = ExportTexts::idleProgress();
    if (job_.fieldIds.empty())
        return fail(result, orvo::errnum::InvalidProcedureCall, ExportTexts::emptyFieldMap(),
                    ExportTexts::emptyFieldMap());
    result.progressText = ExportTexts::searching();
    // Building the texts and the group restriction: a failure shows its
    // own description.
    ExportQueries queries;
    try {
        queries = prepareQueries(job_);
    } catch (const orvo::HostError& e) {
        return fail(result, e.number(), e.description(), e.description());
    }
    return run(queries);
}

ExportResult ExportRun::run(const ExportQueries& queries)
{
    ExportResult result;
    result.progressText = ExportTexts::idleProgress();
    if (job_.fieldIds.empty())
        return fail(result, orvo::errnum::InvalidProcedureCall, ExportTexts::emptyFieldMap(),
                    ExportTexts::emptyFieldMap());
    // What the progress label shows until the first row.
    result.progressText = ExportTexts::searching();
    result.countQuery = queries.count;
    result.dataQuery = queries.data;

    const bool isGASB = job_.edition.isGASB;
    const FieldCatalog& catalog = FieldCatalog::instance();
    std::vector<Column> columns;
    std::vector<int16_t> listIds;
    columns.reserve(job_.fieldIds.size());
    for (const int32_t id : job_.fieldIds) {
        // Outside the organization editions a linked field is headed by one
        // label, so it is written as one cell as well.
        const AllocationLinks::Link* link = isGASB ? job_.allocationLinks.find(id) : nullptr;
        columns.push_back({catalog.entry(id).type, link});
        if (link)
            listIds.push_back(link->listId);
    }
    const bool readsAssetId = !listIds.empty();
    const int32_t assetIdColumn =
        job_.systemNumberColumn >= 0 ? job_.systemNumberColumn : systemNumberColumn(job_.fieldIds);

    std::unique_ptr<RowSink> writer;
    AssetAllocations allocations;
    std::shared_ptr<orvo::IOrvoRowset> rows;
    std::shared_ptr<orvo::IOrvoFields> fields;
    bool onRow = false;

    // Everything up to the first row: a failure leaves no file behind.
    try {
        try {
            writer = RowSink::open(job_);
        } catch (const orvo::HostError& e) {
            if (e.number() == orvo::errnum::PermissionDenied)
                return fail(result, e.number(), e.description(), ExportTexts::fileInUse());
            if (e.number() == orvo::errnum::PathNotFound)
                return fail(result, e.number(), e.description(), ExportTexts::pathNotFound());
            throw;
        }
        if (job_.companyLine) {
            writer->textLine(ExportLines::companyLine(job_.company->Name(), job_.group->Name(), job_.book->Name()));
        }
        if (job_.header) {
            writer->textLine(ExportLines::headerLine(job_.fieldIds, isGASB, job_.allocationLinks));
        }
        const std::shared_ptr<orvo::IOrvoConnection> connection = job_.database->Connection();
        if (!connection)
            throw orvo::HostError(orvo::errnum::ObjectRequired,
                                  QStringLiteral("The database gave no connection."));
        if (readsAssetId)
            allocations.load(*connection, job_.company->CompanyID(), job_.edition.allocationAppId(), listIds);
        {
            const BusyGuard busy(callbacks_.busy);
            result.total = connection->CountRows(result.countQuery);
        }
        const std::shared_ptr<orvo::IOrvoCursor> cursor = connection->OpenCursor(result.dataQuery, 100);
        if (!cursor) {
            writer->discard();
            return fail(result, orvo::errnum::ObjectRequired, QStringLiteral("cursor is null"),
                        ExportTexts::noCursor(result.dataQuery));
        }
        rows = cursor->Rows();
        if (!rows)
            throw orvo::HostError(orvo::errnum::ObjectRequired, QStringLiteral("The cursor gave no rows."));
        fields = rows->Fields();
        if (!fields)
            throw orvo::HostError(orvo::errnum::ObjectRequired, QStringLiteral("The rows gave no fields."));
        onRow = rows->MoveFirst();
    } catch (const orvo::HostError& e) {
        if (writer)
            writer->discard();
        return fail(result, e.number(), e.description(),
                    ExportTexts::creationError(e.number(), e.description(), result.dataQuery));
    }

    const AssetAllocations noAllocations;
    const auto processEvents = [this] {
        if (callbacks_.processEvents)
            callbacks_.processEvents();
    };
    QString value, assetIdText;
    std::string valueBytes;
    QStringList cells;
    int32_t written = 0;
    int32_t shownRow = 0;
    bool stopped = false;
    std::optional<orvo::HostError> navigationError;
    const int32_t n = static_cast<int32_t>(columns.size());

    ProgressPace pace(callbacks_.progressInterval, callbacks_.clock);
    try {
        for (bool end = !onRow; !end;) {
            shownRow = written + 1;
            if (pace.due()) {
                if (callbacks_.progress)
                    callbacks_.progress(shownRow, result.total);
                processEvents();
            }
            if (callbacks_.stopRequested && callbacks_.stopRequested()
                && (!callbacks_.confirmStop || callbacks_.confirmStop())) {
                stopped = true;
                break;
            }

            const AssetAllocations* source = &noAllocations;
            int32_t assetId = 0;
            if (readsAssetId) {
                try {
                    fields->ReadItem(assetIdColumn, assetIdText);
                    bool ok = false;
                    assetId = QStringView(assetIdText).trimmed().toInt(&ok);
                    if (ok)
                        source = &allocations;
                } catch (const orvo::HostError&) {
                    // Without the asset id its allocations cannot be found:
                    // its allocation cells stay empty.
                }
            }

            for (int32_t i = 0; i < n; ++i) {
                const Column& column = columns[static_cast<size_t>(i)];
                if (column.link) {
                    try {
                        fields->ReadItem(i, value);
                    } catch (const orvo::HostError&) {
                        // An unreadable value is an empty cell, never the
                        // text of the cell before it.
                        value.resize(0);
                        ++result.unreadableValues;
                    }
                    AllocationValue::cells(*source, assetId, column.link->listId, column.link->slotCount, value, cells);
                    for (const QString& cell : std::as_const(cells))
                        writer->text(cell);
                    continue;
                }
                std::string_view bytes;
                try {
                    bytes = fields->ReadItemUtf8(i, valueBytes);
                } catch (const orvo::HostError&) {
                    bytes = {};
                    ++result.unreadableValues;
                }
                writer->valueUtf8(column.type, bytes);
            }
            writer->endRow();

            try {
                end = rows->IsLastRow();
            } catch (const orvo::HostError&) {
                // Moving on tells whether there is another row.
            }
            ++written;
            bool moved = false;
            for (int attempt = 0; attempt < kNavigationAttempts && !moved; ++attempt) {
                try {
                    if (!rows->MoveNext())
                        end = true;
                    moved = true;
                } catch (const orvo::HostError& e) {
                    navigationError = e;
                }
            }
            if (!moved)
                break;
            navigationError.reset();
        }

        // A sink writing behind the rows reports its failures here at the
        // latest, before a read failure or a stop decides the outcome.
        writer->finishRows();
        result.rowsWritten = written;
        // Only a stop the caller keeps replaces the file with part of the
        // rows; a read failure or an abort leaves the previous file.
        if (navigationError || (stopped && !job_.keepRowsOnStop)) {
            writer->discard();
        } else {
            writer->commit();
            result.fileReplaced = true;
        }
    } catch (const orvo::HostError& e) {
        writer->discard();
        // What reached the file, not what was still buffered.
        const int64_t headerLines = (job_.companyLine ? 1 : 0) + (job_.header ? 1 : 0);
        written = static_cast<int32_t>(std::clamp<int64_t>(writer->linesInFile() - headerLines, 0, written));
        result.rowsWritten = written;
        result.replacedCharacters = writer->replacedCharacters();
        if (const int32_t failedRow = writer->failedRow(); failedRow > 0)
            shownRow = failedRow;
        result.progressText = ExportTexts::rowProgress(shownRow, result.total);
        return fail(result, e.number(), e.description(),
                    ExportTexts::writeFailure(writer->targetPath(), written, result.total, e.number(),
                                              e.description()));
    }

    result.replacedCharacters = writer->replacedCharacters();
    const QString replaced = result.replacedCharacters > 0
        ? QStringLiteral(" ") + ExportTexts::replacedCharacters(result.replacedCharacters, job_.encoding)
        : QString();
    if (navigationError) {
        result = fail(result, navigationError->number(), navigationError->description(),
                      ExportTexts::readFailure(writer->targetPath(), written, result.total,
                                               navigationError->number(), navigationError->description())
                          + replaced);
        result.progressText = ExportTexts::rowProgress(shownRow, result.total);
        return result;
    }
    if (stopped) {
        result.outcome = ExportOutcome::Stopped;
        result.message = result.fileReplaced
            ? ExportTexts::stopped(writer->targetPath(), written, result.total) + replaced
            : ExportTexts::aborted(writer->targetPath(), written, result.total);
        result.progressText = ExportTexts::rowProgress(shownRow, result.total);
        return result;
    }
    result.outcome = ExportOutcome::Completed;
    result.message = ExportTexts::completeMessage() + replaced;
    result.progressText = ExportTexts::completion(written, result.total);
    return result;
}

} // namespace expwiz
