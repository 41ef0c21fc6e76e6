#pragma once

#include "catalog/FieldCatalog.h"

#include <QString>
#include <QStringView>

#include <memory>
#include <string_view>

namespace expwiz {

struct ExportJob;

// Where an export's rows go: the CSV file or a workbook. The run hands over
// each value as the host gave it, with its field's type, so each kind of
// file writes it in its own form; what it writes is all or nothing (commit
// or discard), with the same rules for every kind.
class RowSink {
public:
    virtual ~RowSink();

    // A line that is CSV text already (the company line, the header).
    virtual void textLine(QStringView csvLine) = 0;
    // One value of the current row, in the host's canonical text.
    virtual void value(FieldType type, QStringView hostValue) = 0;
    // The same from the host's UTF-8 bytes; by default converted to text.
    virtual void valueUtf8(FieldType type, std::string_view hostValue);
    // One cell whose text is final (the cells of an allocation field).
    virtual void text(QStringView cell) = 0;
    virtual void endRow() = 0;

    // Waits until every row handed over is in the sink's own hands and
    // raises a failure of writing them (a sink that writes behind the rows).
    virtual void finishRows() {}

    // Completes the file and puts it in the target's place; raises
    // orvo::HostError and leaves the target as it was on failure.
    virtual void commit() = 0;
    virtual void discard() noexcept = 0;

    virtual qsizetype replacedCharacters() const { return 0; }
    // Whole lines handed on to the file so far (the top lines included).
    virtual int64_t linesInFile() const = 0;
    virtual const QString& targetPath() const = 0;
    // The 1-based row whose writing failed, for a sink that writes behind
    // the rows handed to it; 0 when the failure belongs to the current call.
    virtual int32_t failedRow() const { return 0; }

    // The sink the job asks for; raises orvo::HostError when its file cannot
    // be created.
    static std::unique_ptr<RowSink> open(const ExportJob& job);
};

} // namespace expwiz
