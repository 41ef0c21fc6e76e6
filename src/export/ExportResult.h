#pragma once

#include <QString>

#include <cstdint>

namespace expwiz {

enum class ExportOutcome { Completed, Stopped, Failed };

struct ExportResult {
    ExportOutcome outcome = ExportOutcome::Failed;
    int32_t rowsWritten = 0;
    int32_t total = 0;                 // the count query's answer
    qsizetype replacedCharacters = 0;  // not representable in the encoding
    int64_t unreadableValues = 0;      // written as empty cells
    bool fileReplaced = false;         // the target now holds this run's rows
    int32_t errorNumber = 0;
    QString errorDescription;
    QString message;                   // for the user; the wizard shows none when Stopped
    QString progressText;              // what the progress label shows at the end
    QString countQuery;                // the texts as the host ran them
    QString dataQuery;
};

} // namespace expwiz
