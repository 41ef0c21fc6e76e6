#include "catalog/Edition.h"
#include "catalog/FieldCatalog.h"
#include "catalog/StringTable.h"

#include "HostErrors.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using namespace Qt::StringLiterals;
using expwiz::Edition;
using expwiz::FieldCatalog;
using expwiz::FieldType;
using expwiz::StringTable;

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

// The string table joins continued lines; the catalog splits its entries at the first three colons.
TEST(FieldCatalog, StringTableEntriesAreSplitAtTheFirstThreeColonsAndKeptAsWritten)
{
    QString text = QStringLiteral("# comment\n10\tone_\n11\ttwo_\n12\tthree\n2\tsingle\r\n\tno id\nx\tbad id\n30\tends_\n");
    for (int id = 1001; id <= 1113; ++id)
        text += QStringLiteral("%1\tASSET:C%1:L %1:5\n").arg(id);
    text += QStringLiteral("1016\tASSET:ZtUser1:Orvi User Field 1:5\n1017\tASSET::No Column:7\n1018\tT:C:L:x:9\n");
    const StringTable table = StringTable::parse(text + QStringLiteral("2147483647\tlast_\n"));
    EXPECT_EQ(table.loadResourceText(10), "onetwothree");
    EXPECT_EQ(table.loadResourceText(11), "twothree");
    EXPECT_EQ(table.loadResourceText(2), "single");
    // A missing id, one continued into a missing id and the last id continued: the runtime's number 326.
    for (int id : {99, 30, 2147483647, 0})
        EXPECT_EQ(hostErrorNumber([&] { table.loadResourceText(id); }), 326) << id;
    const FieldCatalog catalog = FieldCatalog::fromStringTable(table);
    struct Case { int32_t id; const char *table, *column, *label, *typeCode; };
    // an empty part stays empty and moves nothing; a fourth colon belongs to the type code
    for (const Case& c : {Case{1001, "ASSET", "C1001", "L 1001", "5"}, Case{1016, "ASSET", "ZtUser1", "Orvi User Field 1", "5"},
                          Case{1017, "ASSET", "", "No Column", "7"}, Case{1018, "T", "C", "L", "0"}}) {
        const auto& e = catalog.entry(c.id);
        EXPECT_EQ(std::tuple(e.id, e.tableName, e.columnName, e.label, e.typeCode),
                  std::tuple(c.id, QLatin1String(c.table), QLatin1String(c.column), QLatin1String(c.label), QLatin1String(c.typeCode)));
    }
    const FieldCatalog& real = FieldCatalog::instance();
    EXPECT_EQ(StringTable::instance().loadResourceText(102), "< &Back");
    EXPECT_EQ(StringTable::instance().loadResourceText(203), "Select Map");
    EXPECT_EQ(StringTable::instance().loadResourceText(1033), "ASSET:REPLACEVAL:Orvi  Replace Value:3");
    EXPECT_EQ(real.entry(1033).label, "Orvi  Replace Value");
    EXPECT_EQ(real.entry(1090).columnExpression(), "BOOKPARTS.CURRENTS179Recap");
    EXPECT_EQ(real.entry(1028).type, FieldType::Fraction);
    EXPECT_EQ(real.entry(1113).type, FieldType::Indicator);
    for (const int32_t id : {1000, 1114})
        EXPECT_EQ(hostErrorNumber([&] { real.entry(id); }), orvo::errnum::SubscriptOutOfRange);
    // type code counts as the catalog defines them; every entry has its four parts
    int counts[9] = {};
    for (int32_t id = 1001; id <= 1113; ++id) {
        ++counts[static_cast<int>(real.entry(id).type)];
        EXPECT_EQ(StringTable::instance().loadResourceText(id).count(QLatin1Char(':')), 3) << id;
    }
    EXPECT_EQ(std::vector<int>(counts, counts + 9), (std::vector<int>{8, 2, 1, 27, 3, 52, 15, 4, 1}));
}

TEST(FieldCatalog, LabelsAndColumnLetters)
{
    // organization editions rename exactly three labels
    EXPECT_EQ(FieldCatalog::displayLabel("Company Asset No", true), "Tag No");
    EXPECT_EQ(FieldCatalog::displayLabel("User Numeric", true), "Quantity");
    EXPECT_EQ(FieldCatalog::displayLabel("Insurance Category", true), "Fund");
    EXPECT_EQ(FieldCatalog::displayLabel("Company Asset No", false), "Company Asset No");
    EXPECT_EQ(FieldCatalog::displayLabel("company asset no", true), "company asset no");
    EXPECT_EQ(FieldCatalog::instance().fieldMapItemText(26, 1008, true), "[AA] Tag No");
    for (auto [n, letters] : {std::pair{0, "A"}, std::pair{25, "Z"}, std::pair{26, "AA"}, std::pair{51, "AZ"}, std::pair{52, "BA"},
                              std::pair{112, "DI"}, std::pair{701, "ZZ"}, std::pair{702, "AAA"}})
        EXPECT_EQ(FieldCatalog::columnName(n), letters) << n;
}

TEST(FieldCatalog, CategoriesListTheirDefinedFieldsPerEdition)
{
    struct Case { const char* category; bool lite, gasb, inv; size_t count; std::vector<int32_t> in, out; };
    const Case cases[] = {
        {"All Fields", true, false, false, 71, {1113}, {1005}},  {"All Fields", false, true, false, 76, {1106}, {1063}},
        {"All Fields", false, false, false, 95, {1110}, {1106}}, {"All Fields", false, true, true, 94, {1063}, {}},
        {"All Fields", false, false, true, 111, {1005}, {1110}}, {"General Info Fields", true, false, false, 23, {}, {}},
        {"General Info Fields", false, true, false, 34, {}, {}}, {"General Info Fields", false, false, false, 34, {}, {}},
        {"Critical Fields", false, true, false, 6, {}, {1107}},  {"Critical Fields", true, false, false, 7, {1107}, {}},
        {"Book Related Fields", false, false, false, 19, {}, {}}, {"Book Related Fields", false, true, false, 5, {}, {}},
        {"Depreciation Fields", false, false, false, 12, {}, {}}, {"Depreciation Fields", false, true, false, 11, {}, {}},
        {"Disposal Fields", true, false, false, 9, {}, {}},     {"Disposal Fields", false, true, false, 9, {}, {1081}},
        {"Disposal Fields", false, false, false, 11, {}, {}},    {"Transfer Fields (Parent)", false, false, false, 7, {}, {}},
        {"Transfer Fields (Child)", false, true, false, 5, {}, {}}, {"Orvo Inventory Fields", false, false, true, 17, {}, {}},
        {"", false, false, false, 95, {}, {}},                    {"no such category", false, true, true, 94, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.category) + (c.lite ? " lite" : "") + (c.gasb ? " org" : "") + (c.inv ? " inv" : ""));
        const auto ids = FieldCatalog::categoryFieldIds(c.category, c.lite, c.gasb, c.inv);
        EXPECT_EQ(ids.size(), c.count);
        EXPECT_TRUE(std::is_sorted(ids.begin(), ids.end()));
        EXPECT_EQ(std::set<int32_t>(ids.begin(), ids.end()).size(), ids.size());
        for (const int32_t id : c.in)
            EXPECT_NE(std::find(ids.begin(), ids.end(), id), ids.end()) << id;
        for (const int32_t id : c.out)
            EXPECT_EQ(std::find(ids.begin(), ids.end(), id), ids.end()) << id;
    }
    const QStringList& all = FieldCatalog::categoryNames();
    EXPECT_EQ(FieldCatalog::offeredCategories(true, false), all.mid(0, 6));
    EXPECT_EQ(FieldCatalog::offeredCategories(false, false), all.mid(0, 8));
    EXPECT_EQ(FieldCatalog::offeredCategories(true, true), all.mid(0, 6) << QStringLiteral("Orvo Inventory Fields"));
    EXPECT_EQ(FieldCatalog::offeredCategories(false, true), all);
}
