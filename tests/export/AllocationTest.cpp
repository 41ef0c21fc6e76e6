#include "MemoryHost.h"
#include "QtPrinters.h"

#include "export/AllocationLinks.h"
#include "export/AllocationLists.h"
#include "export/AllocationValue.h"
#include "export/AssetAllocations.h"
#include "export/ExportLines.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace expwiz;

TEST(Alloc, ListsAndAllocationsAreReadFromTheHostKeepingWhatWasReadAndLabelsHeadTheirLinkedFields)
{
    memhost::Host host;
    auto& db = *host.database;
    db.listRows = {{"3", "Fund"}, {"5", "G/L Account No"}};
    AllocationLists lists;
    EXPECT_FALSE(lists.load(db, 7).has_value());
    EXPECT_EQ(db.queries, std::vector<QString>{"SELECT FieldID, Prompt FROM CustomInfo WHERE  "
                                               "CompanyID = 7 AND ListType = 'A' ORDER BY FieldID"});
    EXPECT_EQ(std::tuple(lists.slot(0).fieldId, lists.slot(1).fieldId, lists.slot(1).prompt, lists.slot(1).slotCount),
              std::tuple(3, 5, "G/L Account ", 35));
    for (int k = 2; k < 6; ++k)
        EXPECT_TRUE(lists.slot(k).fieldId == 0 && lists.slot(k).prompt.isEmpty()) << k;
    // The 70 names of a list show whole in ExportRunTest's allocation file.
    EXPECT_TRUE(lists.slot(1).columnNames.startsWith("G/L Account No1, G/L Account Pct1, G/L Account No2"));

    SCOPED_TRACE("loading again replaces the previous company's lists");
    db.listRows = {{"9", "Department Code"}};
    EXPECT_FALSE(lists.load(db, 8).has_value());
    EXPECT_EQ(std::tuple(lists.slot(0).fieldId, lists.slot(1).fieldId, lists.usedSlots()), std::tuple(9, 0, 1));

    SCOPED_TRACE("more than six lists: the first six are kept");
    db.listRows.clear();
    for (int i = 1; i <= 7; ++i)
        db.listRows.push_back({QString::number(i), QStringLiteral("List %1").arg(i)});
    auto failure = lists.load(db, 7);
    EXPECT_TRUE(failure && failure->description().contains("more than 6"));
    EXPECT_EQ(std::tuple(lists.usedSlots(), lists.match("List 6"), lists.match("Nothing")), std::tuple(6, 5, -1));

    SCOPED_TRACE("a G/L prompt without No: it and the lists after it get no names and match nothing");
    failure = lists.assign({{1, "Fund"}, {2, "G/L Acct"}, {3, "Region"}});
    EXPECT_TRUE(failure && failure->description().contains("G/L Acct"));
    EXPECT_EQ(std::tuple(lists.usedSlots(), lists.match("Fund"), lists.match("G/L Acct"), lists.match("Region")),
              std::tuple(1, 0, -1, -1));

    SCOPED_TRACE("a FieldID that is no 16-bit number");
    db.listRows = {{"4", "Fund"}, {"-32768", "Low"}, {"70000", "Big"}};
    failure = lists.load(db, 7);
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(std::tuple(failure->number(), lists.usedSlots()), std::tuple(orvo::errnum::Overflow, 2));

    SCOPED_TRACE("asset allocations by asset and list (their cells in a file: ExportRunTest)");
    db.queries.clear();
    auto& rows = db.allocationRows;
    rows = {{"10", "3", "Fund", "GEN", "50"}, {"10", "3", "Fund", "ROAD", "30"}, {"10", "3", "Fund", "PARK", "20"},
            {"10", "5", "Department Code", "D1", "100"}};
    for (int i = 1; i <= 40; ++i)
        rows.push_back({"100000", "3", "Fund", QStringLiteral("F%1").arg(i), "2.5"});
    AssetAllocations allocations;
    allocations.load(db, 7, " 4 ", {3, 5});
    EXPECT_EQ(db.queries,
              std::vector<QString>{"SELECT AssetAlloc.AssetID, AssetAlloc.FieldID, CustomInfo.Prompt, "
                                   "AssetAlloc.FieldValue, AssetAlloc.AllocPcnt FROM AssetAlloc INNER JOIN CustomInfo "
                                   "ON AssetAlloc.CompanyID = CustomInfo.CompanyID AND AssetAlloc.FieldID = "
                                   "CustomInfo.FieldID WHERE (AssetAlloc.CompanyID = 7)  AND APPID =  4 AND "
                                   "(AssetAlloc.FieldID IN (3, 5))  ORDER BY AssetAlloc.AssetID, AssetAlloc.FieldID, "
                                   "AssetAlloc.allocid"});
    ASSERT_EQ(allocations.items().size(), 3u);
    const auto* fund = allocations.find(10, 3);
    ASSERT_NE(fund, nullptr);
    EXPECT_EQ(std::tuple(fund->count(), fund->fieldName, fund->fieldValue()),
              std::tuple(3, "Fund", "GEN\",\"50\",\"ROAD\",\"30\",\"PARK\",\"20"));
    ASSERT_NE(allocations.find(100000, 3), nullptr);   // an asset id above 32767 is kept whole
    EXPECT_EQ(allocations.find(100000, 3)->count(), 35);
    EXPECT_FALSE(allocations.find(100000 - 65536, 3) || allocations.find(10, 4));
    QStringList cells = {"left over"};   // a list without entries for the asset: 70 empty cells
    AllocationValue::cells(allocations, 10, 4, 35, "<Allocated>", cells);
    EXPECT_EQ(cells, QStringList(70));
    AllocationValue::cells(allocations, 10, 3, 1, "<Allocated>", cells);   // room for one pair
    EXPECT_EQ(cells, QStringList({"GEN", "50"}));

    SCOPED_TRACE("no list ids: nothing is sent; an asset id that is no 32-bit number fails the load");
    allocations.load(db, 7, " 4 ", {});
    EXPECT_EQ(db.queries.size(), 1u);
    EXPECT_TRUE(allocations.items().empty() && !allocations.find(10, 3));
    rows = {{"3000000000", "3", "Fund", "X", "100"}};
    EXPECT_THROW(allocations.load(db, 7, " 4 ", {3}), orvo::HostError);

    SCOPED_TRACE("labels match prompts on ten leading characters and head their linked fields");
    const auto listsOf = [](std::vector<std::pair<int16_t, QString>> entries) {
        AllocationLists table;
        EXPECT_FALSE(table.assign(entries).has_value());
        return table;
    };
    const AllocationLists prompts =
        listsOf({{2, "Funding source"}, {4, "Department Code"}, {6, "Dept. Code"}, {8, "Location"}});
    const std::pair<const char*, int> labels[] = {
        {"Fund", 0}, {"Department", 1}, {"Departmental", 1},   // differs only after ten characters
        {"Dept", 2}, {"Dpt", -1}, {"Locations", 3}, {"location", -1}, {"Class", -1}};
    for (const auto& [label, slot] : labels)
        EXPECT_EQ(prompts.match(label), slot) << label;
    EXPECT_EQ(listsOf({{2, "Fund"}, {3, ""}, {4, "Class"}}).match("Class"), -1);   // an empty prompt ends the search

    const AllocationLists funds = listsOf({{3, "Fund"}, {5, "Department Code"}});
    AllocationLinks links, standard;
    EXPECT_FALSE(links.hasAllocationFields());
    links.linkAll({1004, 1026, 1011, 1012}, true, funds);   // Insurance Category is Fund in the organization editions
    standard.linkAll({1026}, false, funds);
    EXPECT_TRUE(links.hasAllocationFields() && !standard.hasAllocationFields());
    ASSERT_TRUE(links.find(1026) && links.find(1011));
    EXPECT_EQ(std::tuple(links.find(1026)->listId, links.find(1011)->listId, links.find(1011)->slotCount), std::tuple(3, 5, 35));
    EXPECT_FALSE(links.find(1004) || links.find(999));
    EXPECT_FALSE(links.link(1026, "Nothing", funds));
    EXPECT_NE(links.find(1026), nullptr);   // an earlier link stays when a later match fails
    EXPECT_EQ(ExportLines::headerLine({1004, 1026}, false, links), "\"System No\",\"Insurance Category\"");
}
