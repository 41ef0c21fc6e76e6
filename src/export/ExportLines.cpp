#include "export/ExportLines.h"

#include "catalog/FieldCatalog.h"
#include "export/AllocationLinks.h"
#include "export/CsvWriter.h"

namespace expwiz {

QString ExportLines::companyLine(const QString& company, const QString& group, const QString& book)
{
    QString line;
    CsvWriter::appendQuoted(company, line);
    line += QLatin1Char(',');
    CsvWriter::appendQuoted(group, line);
    line += QLatin1Char(',');
    CsvWriter::appendQuoted(book, line);
    return line;
}

QString ExportLines::headerLine(const std::vector<int32_t>& fieldIds, bool isGASB, const AllocationLinks& links)
{
    const FieldCatalog& catalog = FieldCatalog::instance();
    QString line;
    for (size_t i = 0; i < fieldIds.size(); ++i) {
        if (i > 0)
            line += QLatin1Char(',');
        const AllocationLinks::Link* link = isGASB ? links.find(fieldIds[i]) : nullptr;
        if (link)
            line += link->columnNames;
        else
            CsvWriter::appendQuoted(catalog.displayLabel(fieldIds[i], isGASB), line);
    }
    return line;
}

} // namespace expwiz
