#include "catalog/Edition.h"

#include <initializer_list>

namespace expwiz {

namespace {

struct Row {
    std::initializer_list<int32_t> codes;
    const char* database;
    const char* kind;
    bool lite, gasb, nord, oem;
};

// Each code stands in exactly one row; unknown codes take the default.
const Row kRows[] = {
    {{1, 5}, "NWHALDENSYS", "DB", false, false, false, false},
    {{27, 29}, "MSHALDENSYS", "MSDB", false, false, false, false},
    {{34, 35}, "HALDENSYS", "DB", true, false, false, false},
    {{36, 37}, "PORVOSYS", "DB", false, true, false, false},
    {{38, 39}, "PNWORVOSYS", "DB", false, true, false, false},
    {{44, 45}, "PMSORVOSYS", "MSDB", false, true, false, false},
    {{48, 49}, "ORVOSYS", "DB", true, false, false, false},
    {{52, 53}, "NORVOSYS", "DB", false, true, true, false},
    {{54}, "NNWORVOSYS", "DB", false, true, true, false},
    {{55}, "NMSORVOSYS", "MSDB", false, true, true, false},
    {{60, 62}, "NWHALDENSYS", "DB", false, false, false, true},
    {{61}, "MSHALDENSYS", "MSDB", false, false, false, true},
    {{63}, "NWHALDENSYS", "DB", false, false, true, true},
};
const Row kDefault = {{}, "HALDENSYS", "DB", false, false, false, false};

const Row& rowFor(int32_t code)
{
    for (const Row& row : kRows)
        for (int32_t c : row.codes)
            if (c == code)
                return row;
    return kDefault;
}

} // namespace

Edition Edition::fromCode(int32_t appType)
{
    const Row& row = rowFor(appType);
    Edition e;
    e.appType = appType;
    e.systemDatabaseName = QString::fromLatin1(row.database);
    e.systemDatabaseKind = QString::fromLatin1(row.kind);
    e.isLite = row.lite;
    e.isGASB = row.gasb;
    e.isNord = row.nord;
    e.isOEM = row.oem;
    return e;
}

bool Edition::isOrganizationCode(int32_t appType)
{
    switch (appType) {
    case 36: case 37: case 38: case 39: case 44: case 45: case 52: case 53: case 54: case 55:
        return true;
    default:
        return false;
    }
}

QString Edition::allocationAppId() const
{
    if (!isGASB)
        return QStringLiteral(" 3 ");
    return isNord ? QStringLiteral(" 6 ") : QStringLiteral(" 4 ");
}

QString Edition::defaultExportBaseName() const
{
    return isOEM ? QStringLiteral("OrvExport") : QStringLiteral("OrvoExport");
}

QString Edition::exportFileFilter() const
{
    return isOEM ? QStringLiteral("Orv Export File (.csv) | *.csv")
                 : QStringLiteral("Orvo Export File (.csv) | *.csv");
}

QString Edition::fieldMapFileFilter() const
{
    return isOEM ? QStringLiteral("Orv Field Map File (.exp) | *.exp")
                 : QStringLiteral("Orvo Field Map File (.exp) | *.exp");
}

} // namespace expwiz
