#pragma once

#include <QString>

#include <cstdint>

namespace expwiz {

// What the host's edition code decides: the system database the host is
// told to use, its kind, and the four edition flags the wizard reads.
struct Edition {
    int32_t appType = 0;
    QString systemDatabaseName;
    QString systemDatabaseKind;
    bool isLite = false;
    bool isGASB = false;   // public-sector or regional: companies are "organizations"
    bool isNord = false;   // regional
    bool isOEM = false;    // short product word "Orv"

    static Edition fromCode(int32_t appType);

    // The menu placement uses its own copy of the organization code set,
    // which is exactly the one that sets isGASB.
    static bool isOrganizationCode(int32_t appType);

    // The application id of the allocation query: " 3 ", " 4 " or " 6 ".
    QString allocationAppId() const;

    QString defaultExportBaseName() const;   // "OrvExport" / "OrvoExport"
    QString exportFileFilter() const;        // for the export file dialog
    QString fieldMapFileFilter() const;      // for the field map file dialog
};

} // namespace expwiz
