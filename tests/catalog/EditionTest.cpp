#include "catalog/Edition.h"

#include "QtPrinters.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using expwiz::Edition;

TEST(Edition, CodesPickTheirRowAndUnknownCodesTheDefault)
{
    struct Case { std::vector<int32_t> codes; const char *db, *kind; bool lite, gasb, nord, oem; const char* allocationAppId; };
    const Case cases[] = {
        {{1, 5}, "NWHALDENSYS", "DB", false, false, false, false, " 3 "},
        {{27, 29}, "MSHALDENSYS", "MSDB", false, false, false, false, " 3 "},
        {{34, 35}, "HALDENSYS", "DB", true, false, false, false, " 3 "},
        {{36, 37}, "PORVOSYS", "DB", false, true, false, false, " 4 "},
        {{38, 39}, "PNWORVOSYS", "DB", false, true, false, false, " 4 "},
        {{44, 45}, "PMSORVOSYS", "MSDB", false, true, false, false, " 4 "},
        {{48, 49}, "ORVOSYS", "DB", true, false, false, false, " 3 "},
        {{52, 53}, "NORVOSYS", "DB", false, true, true, false, " 6 "},
        {{54}, "NNWORVOSYS", "DB", false, true, true, false, " 6 "},
        {{55}, "NMSORVOSYS", "MSDB", false, true, true, false, " 6 "},
        {{60, 62}, "NWHALDENSYS", "DB", false, false, false, true, " 3 "},
        {{61}, "MSHALDENSYS", "MSDB", false, false, false, true, " 3 "},
        {{63}, "NWHALDENSYS", "DB", false, false, true, true, " 3 "},   // regional without organizations
        {{-5, 0, 2, 6, 28, 30, 56, 64}, "HALDENSYS", "DB", false, false, false, false, " 3 "},
    };
    for (const Case& c : cases) {
        for (const int32_t code : c.codes) {
            const Edition e = Edition::fromCode(code);
            const QString word = QLatin1String(c.oem ? "Orv" : "Orvo");
            EXPECT_EQ(std::tuple(e.appType, e.systemDatabaseName, e.systemDatabaseKind, e.isLite, e.isGASB, e.isNord, e.isOEM),
                      std::tuple(code, QLatin1String(c.db), QLatin1String(c.kind), c.lite, c.gasb, c.nord, c.oem)) << code;
            EXPECT_EQ(QStringList({e.allocationAppId(), e.defaultExportBaseName(), e.exportFileFilter(), e.fieldMapFileFilter()}),
                      QStringList({QLatin1String(c.allocationAppId), word + u"Export"_s, word + u" Export File (.csv) | *.csv"_s,
                                   word + u" Field Map File (.exp) | *.exp"_s})) << code;
        }
    }
    for (int code = -2; code < 70; ++code)
        EXPECT_EQ(Edition::isOrganizationCode(code), Edition::fromCode(code).isGASB) << code;
}
