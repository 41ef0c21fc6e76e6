#include "catalog/FieldCatalog.h"
#include "catalog/StringTable.h"
#include "host/HostError.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using expwiz::FieldCatalog;
using expwiz::FieldType;

TEST(FieldCatalog, EntriesAreSplitAtTheFirstThreeColonsAndKeptAsWritten)
{
    const FieldCatalog catalog = FieldCatalog::fromStringTable(expwiz::StringTable::parse(
        [] {
            QString t;
            for (int id = 1001; id <= 1113; ++id)
                t += QStringLiteral("%1\tASSET:C%1:L %1:5\n").arg(id);
            t += QStringLiteral("1016\tASSET:ZtUser1:Orvi User Field 1:5\n");
            t += QStringLiteral("1017\tASSET::No Column:7\n");
            return t;
        }()));
    const auto& e = catalog.entry(1016);
    EXPECT_EQ(e.tableName, "ASSET");
    EXPECT_EQ(e.columnName, "ZtUser1");
    EXPECT_EQ(e.label, "Orvi User Field 1");
    EXPECT_EQ(e.typeCode, "5");
    // an empty part stays empty and moves nothing
    EXPECT_EQ(catalog.entry(1017).columnName, "");
    EXPECT_EQ(catalog.entry(1017).label, "No Column");
    EXPECT_EQ(catalog.entry(1017).typeCode, "7");

    const FieldCatalog& real = FieldCatalog::instance();
    EXPECT_EQ(real.entry(1033).label, "Orvi  Replace Value");
    EXPECT_EQ(real.entry(1090).columnExpression(), "BOOKPARTS.CURRENTS179Recap");
    EXPECT_EQ(real.entry(1028).type, FieldType::Fraction);
    EXPECT_EQ(real.entry(1113).type, FieldType::Indicator);
    EXPECT_THROW(real.entry(1000), orvo::HostError);
    EXPECT_THROW(real.entry(1114), orvo::HostError);

    // type code counts as the catalog defines them
    int counts[9] = {};
    for (int id = 1001; id <= 1113; ++id)
        ++counts[static_cast<int>(real.entry(id).type)];
    const int expected[9] = {8, 2, 1, 27, 3, 52, 15, 4, 1};
    for (int c = 0; c < 9; ++c)
        EXPECT_EQ(counts[c], expected[c]) << "type code " << c;
}

TEST(FieldCatalog, OrganizationEditionsRenameExactlyThreeLabels)
{
    EXPECT_EQ(FieldCatalog::displayLabel("Company Asset No", true), "Tag No");
    EXPECT_EQ(FieldCatalog::displayLabel("User Numeric", true), "Quantity");
    EXPECT_EQ(FieldCatalog::displayLabel("Insurance Category", true), "Fund");
    EXPECT_EQ(FieldCatalog::displayLabel("Company Asset No", false), "Company Asset No");
    EXPECT_EQ(FieldCatalog::displayLabel("company asset no", true), "company asset no");
    EXPECT_EQ(FieldCatalog::instance().fieldMapItemText(26, 1008, true), "[AA] Tag No");
}

TEST(FieldCatalog, ColumnLettersCountLikeASpreadsheet)
{
    const std::pair<int, const char*> cases[] = {
        {0, "A"}, {25, "Z"}, {26, "AA"}, {51, "AZ"}, {52, "BA"}, {112, "DI"}, {701, "ZZ"}, {702, "AAA"}};
    for (auto [n, letters] : cases)
        EXPECT_EQ(FieldCatalog::columnName(n), letters) << n;
}

TEST(FieldCatalog, CategoriesListTheirDefinedCountsPerEdition)
{
    struct Case {
        const char* category;
        bool lite, gasb, inv;
        size_t count;
    };
    const Case cases[] = {
        {"All Fields", true, false, false, 71},   {"All Fields", false, true, false, 76},
        {"All Fields", false, false, false, 95},  {"All Fields", false, true, true, 94},
        {"All Fields", false, false, true, 111},  {"General Info Fields", true, false, false, 23},
        {"General Info Fields", false, true, false, 34}, {"General Info Fields", false, false, false, 34},
        {"Critical Fields", false, true, false, 6}, {"Critical Fields", true, false, false, 7},
        {"Book Related Fields", false, false, false, 19}, {"Book Related Fields", false, true, false, 5},
        {"Depreciation Fields", false, false, false, 12}, {"Depreciation Fields", false, true, false, 11},
        {"Disposal Fields", true, false, false, 9}, {"Disposal Fields", false, true, false, 9},
        {"Disposal Fields", false, false, false, 11}, {"Transfer Fields (Parent)", false, false, false, 7},
        {"Transfer Fields (Child)", false, true, false, 5}, {"Orvo Inventory Fields", false, false, true, 17},
        {"", false, false, false, 95}, {"no such category", false, true, true, 94},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.category) + (c.lite ? " lite" : "") + (c.gasb ? " org" : "") +
                     (c.inv ? " inv" : ""));
        const auto ids = FieldCatalog::categoryFieldIds(c.category, c.lite, c.gasb, c.inv);
        EXPECT_EQ(ids.size(), c.count);
        EXPECT_TRUE(std::is_sorted(ids.begin(), ids.end()));
        EXPECT_EQ(std::set<int32_t>(ids.begin(), ids.end()).size(), ids.size());
    }
    const auto critical = FieldCatalog::categoryFieldIds("Critical Fields", false, false, false);
    EXPECT_EQ(critical.back(), 1107);
    const auto stdAll = FieldCatalog::categoryFieldIds("All Fields", false, false, false);
    const auto stdAllInv = FieldCatalog::categoryFieldIds("All Fields", false, false, true);
    auto has = [](const std::vector<int32_t>& v, int32_t id) { return std::find(v.begin(), v.end(), id) != v.end(); };
    EXPECT_TRUE(has(stdAll, 1110));
    EXPECT_FALSE(has(stdAllInv, 1110));
    EXPECT_FALSE(has(stdAll, 1106));
    EXPECT_FALSE(has(FieldCatalog::categoryFieldIds("All Fields", false, true, false), 1063));
    EXPECT_TRUE(has(FieldCatalog::categoryFieldIds("All Fields", false, true, true), 1063));
}

TEST(FieldCatalog, OfferedCategoriesDependOnLiteAndInventory)
{
    EXPECT_EQ(FieldCatalog::offeredCategories(true, false).size(), 6);
    EXPECT_EQ(FieldCatalog::offeredCategories(false, false).size(), 8);
    EXPECT_EQ(FieldCatalog::offeredCategories(false, true).last(), "Orvo Inventory Fields");
}
