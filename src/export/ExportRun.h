#pragma once

#include "export/ExportCallbacks.h"
#include "export/ExportJob.h"
#include "export/ExportResult.h"

#include <QString>

namespace expwiz {

struct ExportQueries {
    QString count;
    QString data;
};

// One export: builds the queries, lets the host restrict them to the group,
// and streams the rows from the host's cursor into the CSV file, formatting
// each value by its field's type. No window: progress and stop go through
// the callbacks.
//
// The file appears at its path only complete (or, when the user stops, with
// the complete rows so far); any failure leaves the previous file as it was.
class ExportRun {
public:
    ExportRun(ExportJob job, ExportCallbacks callbacks = {});

    // The count and data texts as the host will run them. Raises
    // orvo::HostError for a missing object or a field id outside the catalog.
    static ExportQueries prepareQueries(const ExportJob& job);

    ExportResult run();
    // The same with texts the caller has already had the host restrict
    // (the wizard builds them before it starts, to report a failure there).
    ExportResult run(const ExportQueries& queries);

    // The column of the asset id for a map: the first System No, or the
    // entry count.
    static int32_t systemNumberColumn(const std::vector<int32_t>& fieldIds);

private:
    struct Column;
    ExportResult fail(ExportResult result, int32_t number, const QString& description, const QString& message);

    ExportJob job_;
    ExportCallbacks callbacks_;
};

} // namespace expwiz
