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
    // An open descriptor the CSV goes to instead of outputPath (the command
    // line's "-" for standard output): no temporary file, no rename.
    int outputDescriptor = -1;
    enum class Format { Csv, Workbook };
    Format format = Format::Csv;
    // Rows of one worksheet of a workbook, the lines at its top included;
    // the rows after them continue on another sheet.
    int32_t sheetRows = 1048576;
    bool isoDates = false;           // CSV dates as yyyy-MM-dd
    QLocale locale = QLocale::system();
    QString encoding;                // empty: the system's codec
    bool byteOrderMark = false;
    // A confirmed stop keeps the complete rows (the wizard's Stop); false
    // makes a stop an abort that leaves the previous file as it was.
    bool keepRowsOnStop = true;

    // Formats and writes the rows on a second thread while this one reads
    // them from the host (on a machine with one processor it does not).
    // The file and every result are the same either way.
    bool pipelined = true;

    AllocationLists allocationLists;
    AllocationLinks allocationLinks;

    // Replaces the write system call (tests make the disk fail with it).
    AtomicFile::WriteFunction writeFunction;
};

} // namespace expwiz
