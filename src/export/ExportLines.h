#pragma once

#include <QString>

#include <cstdint>
#include <vector>

namespace expwiz {

class AllocationLinks;

// The two optional lines at the top of an export file, without their line
// end.
class ExportLines {
public:
    // Company, group and book name as three quoted cells.
    static QString companyLine(const QString& company, const QString& group, const QString& book);

    // One header cell per map entry: the quoted display label; in the
    // organization editions an allocation field is headed by its list's 70
    // names, unquoted and joined by ", " (70 columns, one per data cell).
    static QString headerLine(const std::vector<int32_t>& fieldIds, bool isGASB, const AllocationLinks& links);
};

} // namespace expwiz
