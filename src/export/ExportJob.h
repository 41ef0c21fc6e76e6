#pragma once

#include "catalog/Edition.h"
#include "export/AllocationLinks.h"
#include "export/AllocationLists.h"
#include "export/AtomicFile.h"

#include <QLocale>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

namespace orvo {
class IOrvoBook;
class IOrvoCompany;
class IOrvoDatabase;
class IOrvoGroup;
class IOrvoGroupManager;
} // namespace orvo

namespace expwiz {

// Everything one export needs, gathered by the wizard or the command line.
struct ExportJob {
    std::shared_ptr<orvo::IOrvoDatabase> database;
    std::shared_ptr<orvo::IOrvoCompany> company;
    std::shared_ptr<orvo::IOrvoGroupManager> groupManager;
    std::shared_ptr<orvo::IOrvoGroup> group;
    std::shared_ptr<orvo::IOrvoBook> book;

    std::vector<int32_t> fieldIds;   // the field map, in column order
    bool companyLine = false;        // company, group and book names first
    bool header = false;             // a line of column headers

    Edition edition;
    // The column holding the asset id: the position of System No in the map,
    // or the map's length (the extra asset id column). -1: work it out.
    int32_t systemNumberColumn = -1;

    QString outputPath;
    QLocale locale = QLocale::system();
    QString encoding;                // empty: the system's codec
    bool byteOrderMark = false;
    // A confirmed stop keeps the complete rows (the wizard's Stop); false
    // makes a stop an abort that leaves the previous file as it was.
    bool keepRowsOnStop = true;

    AllocationLists allocationLists;
    AllocationLinks allocationLinks;

    // Replaces the write system call (tests make the disk fail with it).
    AtomicFile::WriteFunction writeFunction;
};

} // namespace expwiz
