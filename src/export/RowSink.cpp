#include "export/RowSink.h"

#include "export/CsvRowSink.h"
#include "export/ExportJob.h"
#include "export/PipelinedRowSink.h"
#include "export/WorkbookRowSink.h"

#include <thread>

namespace expwiz {

RowSink::~RowSink() = default;

void RowSink::valueUtf8(FieldType type, std::string_view hostValue)
{
    value(type, QString::fromUtf8(hostValue.data(), static_cast<qsizetype>(hostValue.size())));
}

namespace {
std::unique_ptr<RowSink> openFile(const ExportJob& job)
{
    if (job.format == ExportJob::Format::Workbook)
        return std::make_unique<WorkbookRowSink>(job.outputPath, job.sheetRows);
    CsvWriter::Options options{job.encoding, job.byteOrderMark, job.writeFunction, job.outputDescriptor};
    return std::make_unique<CsvRowSink>(job.outputPath, options, ValueFormatter(job.locale, job.isoDates));
}
} // namespace

std::unique_ptr<RowSink> RowSink::open(const ExportJob& job)
{
    std::unique_ptr<RowSink> sink = openFile(job);
    if (job.pipelined && std::thread::hardware_concurrency() > 1)
        return std::make_unique<PipelinedRowSink>(std::move(sink));
    return sink;
}

} // namespace expwiz
