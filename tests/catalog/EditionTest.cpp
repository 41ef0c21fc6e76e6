#include "catalog/Edition.h"

#include <gtest/gtest.h>

using expwiz::Edition;

TEST(Edition, CodesPickTheirRowAndUnknownCodesTheDefault)
{
    struct Case {
        int code;
        const char* db;
        const char* kind;
        bool lite, gasb, nord, oem;
    };
    const Case cases[] = {
        {1, "NWHALDENSYS", "DB", false, false, false, false},
        {29, "MSHALDENSYS", "MSDB", false, false, false, false},
        {35, "HALDENSYS", "DB", true, false, false, false},
        {39, "PNWORVOSYS", "DB", false, true, false, false},
        {45, "PMSORVOSYS", "MSDB", false, true, false, false},
        {49, "ORVOSYS", "DB", true, false, false, false},
        {54, "NNWORVOSYS", "DB", false, true, true, false},
        {55, "NMSORVOSYS", "MSDB", false, true, true, false},
        {61, "MSHALDENSYS", "MSDB", false, false, false, true},
        {63, "NWHALDENSYS", "DB", false, false, true, true},
        // between known codes, zero, negative and above the range
        {0, "HALDENSYS", "DB", false, false, false, false},
        {-5, "HALDENSYS", "DB", false, false, false, false},
        {2, "HALDENSYS", "DB", false, false, false, false},
        {28, "HALDENSYS", "DB", false, false, false, false},
        {56, "HALDENSYS", "DB", false, false, false, false},
        {64, "HALDENSYS", "DB", false, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        const Edition e = Edition::fromCode(c.code);
        EXPECT_EQ(e.systemDatabaseName.toStdString(), c.db);
        EXPECT_EQ(e.systemDatabaseKind.toStdString(), c.kind);
        EXPECT_EQ(e.isLite, c.lite);
        EXPECT_EQ(e.isGASB, c.gasb);
        EXPECT_EQ(e.isNord, c.nord);
        EXPECT_EQ(e.isOEM, c.oem);
    }
}

TEST(Edition, OrganizationCodesAreExactlyThoseThatSetGasb)
{
    for (int code = -2; code < 70; ++code)
        EXPECT_EQ(Edition::isOrganizationCode(code), Edition::fromCode(code).isGASB) << code;
}

TEST(Edition, AllocationAppIdAndNamesFollowTheFlags)
{
    EXPECT_EQ(Edition::fromCode(63).allocationAppId(), " 3 ");   // Nord without GASB
    EXPECT_EQ(Edition::fromCode(36).allocationAppId(), " 4 ");
    EXPECT_EQ(Edition::fromCode(52).allocationAppId(), " 6 ");
    EXPECT_EQ(Edition::fromCode(61).defaultExportBaseName(), "OrvExport");
    EXPECT_EQ(Edition::fromCode(27).defaultExportBaseName(), "OrvoExport");
    EXPECT_EQ(Edition::fromCode(60).fieldMapFileFilter(), "Orv Field Map File (.exp) | *.exp");
}
