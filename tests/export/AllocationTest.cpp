#include "MemoryHost.h"

#include "export/AllocationLinks.h"
#include "export/AllocationLists.h"
#include "export/AllocationValue.h"
#include "export/AssetAllocations.h"
#include "export/ExportLines.h"

#include <gtest/gtest.h>

using expwiz::AllocationLinks;
using expwiz::AllocationLists;
using expwiz::AllocationValue;
using expwiz::AssetAllocations;

namespace {
AllocationLists listsOf(std::vector<std::pair<int16_t, QString>> lists)
{
    AllocationLists table;
    EXPECT_FALSE(table.assign(lists).has_value());
    return table;
}

QStringList cellsOf(const AssetAllocations& a, int32_t asset, int16_t list, const QString& value)
{
    QStringList cells;
    AllocationValue::cells(a, asset, list, 35, value, cells);
    return cells;
}

QStringList empties(int n)
{
    QStringList out;
    for (int i = 0; i < n; ++i)
        out << QString();
    return out;
}
} // namespace

TEST(Alloc, ListsAreReadInFieldIdOrderAndGLPromptsShortened)
{
    memhost::Host host;
    host.connection->listRows = {{"3", "Fund"}, {"5", "G/L Account No"}};
    AllocationLists lists;
    EXPECT_FALSE(lists.load(*host.connection, 7).has_value());
    ASSERT_EQ(host.connection->queries.size(), 1u);
    EXPECT_EQ(host.connection->queries[0],
              "SELECT FieldID, Prompt FROM CustomInfo WHERE  CompanyID = 7 AND ListType = 'A' ORDER BY FieldID");
    EXPECT_EQ(lists.slot(0).fieldId, 3);
    EXPECT_EQ(lists.slot(1).fieldId, 5);
    EXPECT_EQ(lists.slot(1).prompt, "G/L Account ");
    EXPECT_EQ(lists.slot(1).slotCount, 35);
    for (int k = 2; k < 6; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(lists.slot(k).fieldId, 0);
        EXPECT_TRUE(lists.slot(k).prompt.isEmpty());
    }
    {
        SCOPED_TRACE("70 names: value and percent name per pair, joined by comma and blank");
        const QStringList names = lists.slot(0).columnNames.split(", ");
        ASSERT_EQ(names.size(), 70);
        EXPECT_EQ(names[0], "FundNo1");
        EXPECT_EQ(names[1], "FundPct1");
        EXPECT_EQ(names[69], "FundPct35");
        EXPECT_TRUE(lists.slot(1).columnNames.startsWith("G/L Account No1, G/L Account Pct1, G/L Account No2"));
    }
    {
        SCOPED_TRACE("loading again replaces the previous company's lists");
        host.connection->listRows = {{"9", "Department Code"}};
        EXPECT_FALSE(lists.load(*host.connection, 8).has_value());
        EXPECT_EQ(lists.slot(0).fieldId, 9);
        EXPECT_EQ(lists.slot(1).fieldId, 0);
        EXPECT_EQ(lists.usedSlots(), 1);
    }
}

TEST(Alloc, ListFailuresAreReportedAndKeepWhatWasRead)
{
    {
        SCOPED_TRACE("a seventh list: the six first stay usable");
        memhost::Host host;
        for (int i = 1; i <= 7; ++i)
            host.connection->listRows.push_back({QString::number(i), QStringLiteral("List %1").arg(i)});
        AllocationLists lists;
        const auto failure = lists.load(*host.connection, 7);
        ASSERT_TRUE(failure.has_value());
        EXPECT_TRUE(failure->description().contains("more than 6"));
        EXPECT_EQ(lists.usedSlots(), 6);
        EXPECT_EQ(lists.match("List 6"), 5);
    }
    {
        SCOPED_TRACE("a G/L prompt without No: it and the lists after it get no names and match nothing");
        AllocationLists lists;
        const auto failure = lists.assign({{1, "Fund"}, {2, "G/L Acct"}, {3, "Region"}});
        ASSERT_TRUE(failure.has_value());
        EXPECT_TRUE(failure->description().contains("G/L Acct"));
        EXPECT_EQ(lists.usedSlots(), 1);
        EXPECT_EQ(lists.match("Fund"), 0);
        EXPECT_EQ(lists.match("G/L Acct"), -1);
        EXPECT_EQ(lists.match("Region"), -1);
    }
    {
        SCOPED_TRACE("a FieldID that is no 16-bit number");
        memhost::Host host;
        host.connection->listRows = {{"4", "Fund"}, {"70000", "Big"}};
        AllocationLists lists;
        const auto failure = lists.load(*host.connection, 7);
        ASSERT_TRUE(failure.has_value());
        EXPECT_EQ(failure->number(), orvo::errnum::Overflow);
        EXPECT_EQ(lists.usedSlots(), 1);
    }
}

TEST(Alloc, LabelsMatchPromptsOnAtMostTenLeadingCharacters)
{
    const AllocationLists lists =
        listsOf({{2, "Funding source"}, {4, "Department Code"}, {6, "Dept. Code"}, {8, "Location"}});
    EXPECT_EQ(lists.match("Fund"), 0);           // n = 4
    EXPECT_EQ(lists.match("Department"), 1);     // n = 10
    EXPECT_EQ(lists.match("Departmental"), 1);   // differs only after ten characters
    EXPECT_EQ(lists.match("Dept"), 2);           // n = 4: "Depa" differs, "Dept" matches
    EXPECT_EQ(lists.match("Dpt"), -1);
    EXPECT_EQ(lists.match("Locations"), 3);
    EXPECT_EQ(lists.match("location"), -1);      // case-sensitive
    EXPECT_EQ(lists.match("Class"), -1);
    {
        SCOPED_TRACE("an empty prompt ends the search");
        const AllocationLists gap = listsOf({{2, "Fund"}, {3, ""}, {4, "Class"}});
        EXPECT_EQ(gap.match("Class"), -1);
    }
    {
        SCOPED_TRACE("the header cell: 70 names for a matching label, else the quoted label");
        EXPECT_TRUE(lists.header("Fund").startsWith("Funding sourceNo1, Funding sourcePct1"));
        EXPECT_EQ(lists.header("Class"), "\"Class\"");
    }
}

TEST(Alloc, LinksBelongToTheRunAndHeadTheirFieldsWithTheListNames)
{
    const AllocationLists lists = listsOf({{3, "Fund"}, {5, "Department Code"}});
    AllocationLinks links;
    EXPECT_FALSE(links.hasAllocationFields());
    {
        SCOPED_TRACE("Insurance Category is called Fund in the organization editions");
        links.linkAll({1004, 1026, 1011, 1012}, true, lists);
        EXPECT_TRUE(links.hasAllocationFields());
        ASSERT_NE(links.find(1026), nullptr);
        EXPECT_EQ(links.find(1026)->listId, 3);
        ASSERT_NE(links.find(1011), nullptr);
        EXPECT_EQ(links.find(1011)->listId, 5);
        EXPECT_EQ(links.find(1011)->slotCount, 35);
        EXPECT_EQ(links.find(1004), nullptr);
        EXPECT_EQ(links.find(999), nullptr);
    }
    {
        SCOPED_TRACE("the standard label Insurance Category matches nothing");
        AllocationLinks standard;
        standard.linkAll({1026}, false, lists);
        EXPECT_FALSE(standard.hasAllocationFields());
    }
    {
        SCOPED_TRACE("an earlier link stays when a later match fails");
        EXPECT_FALSE(links.link(1026, "Nothing", lists));
        EXPECT_NE(links.find(1026), nullptr);
    }
    const QString header = expwiz::ExportLines::headerLine({1004, 1026, 1012}, true, links);
    EXPECT_EQ(header, "\"System No\"," + lists.slot(0).columnNames + ",\"Description\"");
    EXPECT_EQ(expwiz::ExportLines::headerLine({1004, 1026}, false, links), "\"System No\",\"Insurance Category\"");
}

TEST(Alloc, AssetAllocationsAreLoadedGroupedAndFoundByAssetAndList)
{
    memhost::Host host;
    auto& rows = host.connection->allocationRows;
    rows = {{"10", "3", "Fund", "GEN", "50"}, {"10", "3", "Fund", "ROAD", "30"}, {"10", "3", "Fund", "PARK", "20"},
            {"10", "5", "Department Code", "D1", "100"}};
    for (int i = 1; i <= 40; ++i)
        rows.push_back({"100000", "3", "Fund", QStringLiteral("F%1").arg(i), "2.5"});
    AssetAllocations allocations;
    allocations.load(*host.connection, 7, " 4 ", {3, 5});
    ASSERT_EQ(host.connection->queries.size(), 1u);
    EXPECT_EQ(host.connection->queries[0],
              "SELECT AssetAlloc.AssetID, AssetAlloc.FieldID, CustomInfo.Prompt, AssetAlloc.FieldValue, "
              "AssetAlloc.AllocPcnt FROM AssetAlloc INNER JOIN CustomInfo ON AssetAlloc.CompanyID = "
              "CustomInfo.CompanyID AND AssetAlloc.FieldID = CustomInfo.FieldID WHERE (AssetAlloc.CompanyID = 7)  "
              "AND APPID =  4 AND (AssetAlloc.FieldID IN (3, 5))  ORDER BY AssetAlloc.AssetID, "
              "AssetAlloc.FieldID, AssetAlloc.allocid");
    ASSERT_EQ(allocations.items().size(), 3u);
    const auto* fund = allocations.find(10, 3);
    ASSERT_NE(fund, nullptr);
    EXPECT_EQ(fund->count(), 3);
    EXPECT_EQ(fund->fieldName, "Fund");
    EXPECT_EQ(fund->fieldValue(), "GEN\",\"50\",\"ROAD\",\"30\",\"PARK\",\"20");
    {
        SCOPED_TRACE("an asset id above 32767 is kept whole; 40 rows give the first 35");
        const auto* many = allocations.find(100000, 3);
        ASSERT_NE(many, nullptr);
        EXPECT_EQ(many->count(), 35);
        EXPECT_EQ(many->cells[68], "F35");
        EXPECT_EQ(allocations.find(100000 - 65536, 3), nullptr);
        EXPECT_EQ(allocations.find(10, 4), nullptr);
    }
    {
        SCOPED_TRACE("no list ids: nothing is sent");
        allocations.load(*host.connection, 7, " 4 ", {});
        EXPECT_EQ(host.connection->queries.size(), 1u);
        EXPECT_TRUE(allocations.items().empty());
    }
    {
        SCOPED_TRACE("an asset id that is no 32-bit number fails the load");
        host.connection->allocationRows = {{"3000000000", "3", "Fund", "X", "100"}};
        EXPECT_THROW(allocations.load(*host.connection, 7, " 4 ", {3}), orvo::HostError);
    }
}

TEST(Alloc, AnAllocationFieldAlwaysGivesSeventyCells)
{
    AssetAllocations a;
    a.addRow(10, 3, "Fund", "GEN", "50");
    a.addRow(10, 3, "Fund", "ROAD", "30");
    a.addRow(10, 3, "Fund", "PARK", "20");
    for (int i = 1; i <= 40; ++i)
        a.addRow(11, 3, "Fund", QStringLiteral("F%1").arg(i), "1");
    {
        SCOPED_TRACE("three rows 50/30/20: six filled cells, then 64 empty");
        EXPECT_EQ(cellsOf(a, 10, 3, "<Allocated>"), QStringList({"GEN", "50", "ROAD", "30", "PARK", "20"}) + empties(64));
    }
    {
        SCOPED_TRACE("a plain value is its whole amount in one entry");
        EXPECT_EQ(cellsOf(a, 10, 3, "D100"), QStringList({"D100", "100"}) + empties(68));
    }
    {
        SCOPED_TRACE("<Allocated> without rows, and an empty value: 70 empty cells");
        EXPECT_EQ(cellsOf(a, 12, 3, "<Allocated>"), empties(70));
        EXPECT_EQ(cellsOf(a, 10, 5, "<Allocated>"), empties(70));
        EXPECT_EQ(cellsOf(a, 10, 3, ""), empties(70));
    }
    {
        SCOPED_TRACE("40 rows: the first 35 pairs");
        const QStringList cells = cellsOf(a, 11, 3, "<Allocated>");
        ASSERT_EQ(cells.size(), 70);
        EXPECT_EQ(cells[0], "F1");
        EXPECT_EQ(cells[68], "F35");
    }
    {
        SCOPED_TRACE("every lookup gives the same cells");
        EXPECT_EQ(cellsOf(a, 10, 3, "<Allocated>"), cellsOf(a, 10, 3, "<Allocated>"));
    }
}
