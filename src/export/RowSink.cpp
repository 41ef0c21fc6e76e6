#include "export/RowSink.h"

#include "export/CsvRowSink.h"
#include "export/ExportJob.h"
#include "export/WorkbookRowSink.h"

namespace expwiz {

RowSink::~RowSink() = default;

void RowSink::valueUtf8(FieldType type, std::string_view hostValue)
{
    value(type, QString::fromUtf8(hostValue.data(), static_cast<qsizetype>(hostValue.size())));
}

std::unique_ptr<RowSink> RowSink::open(const ExportJob& job)
{
    if (job.format == ExportJob::Format::Workbook)
        return std::make_unique<WorkbookRowSink>(job.outputPath, job.sheetRows);
    CsvWriter::Options options{job.encoding, job.byteOrderMark, job.writeFunction, job.outputDescriptor};
    return std::make_unique<CsvRowSink>(job.outputPath, options, ValueFormatter(job.locale, job.isoDates));
}

} // namespace expwiz
