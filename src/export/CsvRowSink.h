#pragma once

#include "export/CsvWriter.h"
#include "export/RowSink.h"
#include "export/ValueFormatter.h"

namespace expwiz {

// The CSV file: every value as text, formatted by its type for the job's
// locale (and ISO dates when asked for).
class CsvRowSink final : public RowSink {
public:
    CsvRowSink(const QString& targetPath, const CsvWriter::Options& options, const ValueFormatter& formatter)
        : writer_(targetPath, options), formatter_(formatter)
    {
    }

    void textLine(QStringView csvLine) override
    {
        writer_.raw(csvLine);
        writer_.endLine();
    }
    void value(FieldType type, QStringView hostValue) override { writer_.cell(formatter_.format(type, hostValue, buffer_)); }
    void valueUtf8(FieldType type, std::string_view hostValue) override
    {
        writer_.cell(formatter_.format(type, hostValue, buffer_, bytes_));
    }
    void text(QStringView cell) override { writer_.cell(cell); }
    void endRow() override { writer_.endLine(); }
    void commit() override { writer_.commit(); }
    void discard() noexcept override { writer_.discard(); }
    qsizetype replacedCharacters() const override { return writer_.replacedCharacters(); }
    int64_t linesInFile() const override { return writer_.linesInFile(); }
    const QString& targetPath() const override { return writer_.targetPath(); }

private:
    CsvWriter writer_;
    ValueFormatter formatter_;
    QString buffer_;
    std::string bytes_;
};

} // namespace expwiz
