#include "catalog/Edition.h"
#include "catalog/FieldCatalog.h"
#include "catalog/StringTable.h"

#include "HostErrors.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

using namespace Qt::StringLiterals;
using namespace expwiz;

TEST(Edition, CodesPickTheirRowAndUnknownCodesTheDefault)
{
    struct Case { std::vector<int32_t> codes; const char *db, *kind; bool lite, gasb, nord, oem; const char* allocationAppId; };
    const Case cases[] = {   // 63: regional without organizations
        {{1, 5}, "NWHALDENSYS", "DB", 0, 0, 0, 0, " 3 "},    {{27, 29}, "MSHALDENSYS", "MSDB", 0, 0, 0, 0, " 3 "},
        {{34, 35}, "HALDENSYS", "DB", 1, 0, 0, 0, " 3 "},    {{36, 37}, "PORVOSYS", "DB", 0, 1, 0, 0, " 4 "},
        {{38, 39}, "PNWORVOSYS", "DB", 0, 1, 0, 0, " 4 "},   {{44, 45}, "PMSORVOSYS", "MSDB", 0, 1, 0, 0, " 4 "},
        {{48, 49}, "ORVOSYS", "DB", 1, 0, 0, 0, " 3 "},      {{52, 53}, "NORVOSYS", "DB", 0, 1, 1, 0, " 6 "},
        {{54}, "NNWORVOSYS", "DB", 0, 1, 1, 0, " 6 "},       {{55}, "NMSORVOSYS", "MSDB", 0, 1, 1, 0, " 6 "},
        {{60, 62}, "NWHALDENSYS", "DB", 0, 0, 0, 1, " 3 "},  {{61}, "MSHALDENSYS", "MSDB", 0, 0, 0, 1, " 3 "},
        {{63}, "NWHALDENSYS", "DB", 0, 0, 1, 1, " 3 "},      {{-5, 0, 2, 6, 28, 30, 56, 64}, "HALDENSYS", "DB", 0, 0, 0, 0, " 3 "},
    };
    for (const Case& c : cases)
        for (const int32_t code : c.codes) {
            const Edition e = Edition::fromCode(code);
            const QString word = QLatin1String(c.oem ? "Orv" : "Orvo");
            EXPECT_EQ(std::tuple(e.appType, e.systemDatabaseName, e.systemDatabaseKind, e.isLite, e.isGASB, e.isNord, e.isOEM),
                      std::tuple(code, QLatin1String(c.db), QLatin1String(c.kind), c.lite, c.gasb, c.nord, c.oem)) << code;
            EXPECT_EQ(QStringList({e.allocationAppId(), e.defaultExportBaseName(), e.exportFileFilter(), e.fieldMapFileFilter()}),
                      QStringList({QLatin1String(c.allocationAppId), word + u"Export"_s, word + u" Export File (.csv) | *.csv"_s,
                                   word + u" Field Map File (.exp) | *.exp"_s})) << code;
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
    EXPECT_EQ(QStringList({table.loadResourceText(10), table.loadResourceText(11), table.loadResourceText(2)}),
              QStringList({u"onetwothree"_s, u"twothree"_s, u"single"_s}));
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
    const auto resource = [](int id) { return StringTable::instance().loadResourceText(id); };
    EXPECT_EQ(QStringList({resource(102), resource(203), resource(1033), real.entry(1033).label,
                           real.entry(1090).columnExpression()}),
              QStringList({u"< &Back"_s, u"Select Map"_s, u"ASSET:REPLACEVAL:Orvi  Replace Value:3"_s, u"Orvi  Replace Value"_s,
                           u"BOOKPARTS.CURRENTS179Recap"_s}));
    EXPECT_EQ(std::pair(real.entry(1028).type, real.entry(1113).type), std::pair(FieldType::Fraction, FieldType::Indicator));
    for (const int32_t id : {1000, 1114})
        EXPECT_EQ(hostErrorNumber([&] { real.entry(id); }), orvo::errnum::SubscriptOutOfRange);
    // type code counts as the catalog defines them; every entry has its four parts
    int counts[9] = {};
    for (int32_t id = 1001; id <= 1113; ++id) {
        ++counts[static_cast<int>(real.entry(id).type)];
        EXPECT_EQ(resource(id).count(QLatin1Char(':')), 3) << id;
    }
    EXPECT_EQ(std::vector<int>(counts, counts + 9), (std::vector<int>{8, 2, 1, 27, 3, 52, 15, 4, 1}));
}

// Organization editions rename exactly three labels; categories list their defined fields per edition.
TEST(FieldCatalog, LabelsColumnLettersAndCategoriesPerEdition)
{
    const auto org = [](const char* label) { return FieldCatalog::displayLabel(QLatin1String(label), true); };
    EXPECT_EQ(QStringList({org("Company Asset No"), org("User Numeric"), org("Insurance Category"), org("company asset no"),
                           FieldCatalog::displayLabel(u"Company Asset No"_s, false)}),
              QStringList({u"Tag No"_s, u"Quantity"_s, u"Fund"_s, u"company asset no"_s, u"Company Asset No"_s}));
    for (auto [n, letters] : {std::pair{0, "A"}, std::pair{25, "Z"}, std::pair{26, "AA"}, std::pair{51, "AZ"}, std::pair{52, "BA"},
                              std::pair{112, "DI"}, std::pair{701, "ZZ"}, std::pair{702, "AAA"}})
        EXPECT_EQ(FieldCatalog::columnName(n), letters) << n;
    // in: an id the list holds, out: one it leaves out (0: none checked)
    struct Case { const char* category; bool lite, gasb, inv; size_t count; int32_t in = 0, out = 0; };
    const Case cases[] = {
        {"All Fields", 1, 0, 0, 71, 1113, 1005}, {"All Fields", 0, 1, 0, 76, 1106, 1063}, {"All Fields", 0, 0, 0, 95, 1110, 1106},
        {"All Fields", 0, 1, 1, 94, 1063}, {"All Fields", 0, 0, 1, 111, 1005, 1110}, {"General Info Fields", 1, 0, 0, 23},
        {"General Info Fields", 0, 1, 0, 34}, {"General Info Fields", 0, 0, 0, 34}, {"Critical Fields", 0, 1, 0, 6, 0, 1107},
        {"Critical Fields", 1, 0, 0, 7, 1107}, {"Book Related Fields", 0, 0, 0, 19}, {"Book Related Fields", 0, 1, 0, 5},
        {"Depreciation Fields", 0, 0, 0, 12}, {"Depreciation Fields", 0, 1, 0, 11}, {"Disposal Fields", 1, 0, 0, 9},
        {"Disposal Fields", 0, 1, 0, 9, 0, 1081}, {"Disposal Fields", 0, 0, 0, 11}, {"Transfer Fields (Parent)", 0, 0, 0, 7},
        {"Transfer Fields (Child)", 0, 1, 0, 5}, {"Orvo Inventory Fields", 0, 0, 1, 17}, {"", 0, 0, 0, 95},
        {"no such category", 0, 1, 1, 94}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.category) + (c.lite ? " lite" : "") + (c.gasb ? " org" : "") + (c.inv ? " inv" : ""));
        const auto ids = FieldCatalog::categoryFieldIds(c.category, c.lite, c.gasb, c.inv);
        EXPECT_EQ(ids.size(), c.count);
        EXPECT_EQ(std::adjacent_find(ids.begin(), ids.end(), std::greater_equal<>()), ids.end());   // ascending, no twice
        EXPECT_TRUE(c.in == 0 || std::count(ids.begin(), ids.end(), c.in)) << c.in;
        EXPECT_EQ(std::count(ids.begin(), ids.end(), c.out), 0) << c.out;
    }
    const QStringList& all = FieldCatalog::categoryNames();
    const auto offered = [](bool lite, bool inv) { return FieldCatalog::offeredCategories(lite, inv); };
    EXPECT_EQ(QList({offered(true, false), offered(false, false), offered(true, true), offered(false, true)}),
              QList({all.mid(0, 6), all.mid(0, 8), all.mid(0, 6) << "Orvo Inventory Fields", all}));
}
