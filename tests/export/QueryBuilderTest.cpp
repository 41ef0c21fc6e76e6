#include "MemoryHost.h"

#include "export/QueryBuilder.h"

#include <gtest/gtest.h>

using expwiz::QueryBuilder;

// The whole count and data texts of runs, with and without the asset id column, and the order of the group calls
// are checked in ExportRunTest.
TEST(Query, SelectClauseListsTheMapColumnsThenTheExtraColumnsAndIdsAreSignedDecimals)
{
    const struct { std::vector<int32_t> ids; bool gasb, alloc; const char* expected; } cases[] = {
        {{1016, 1090, 1110}, false, false, "SELECT ASSET.ZtUser1, BOOKPARTS.CURRENTS179Recap, ASSET.EntityCode , deprmethod "},
        {{1012, 1026}, true, true, "SELECT ASSET.DESCRIPTION, ASSET.INSURANCECATEGORY , Asset.AssetID , deprmethod "},
        {{1012}, true, false, "SELECT ASSET.DESCRIPTION , deprmethod "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(QueryBuilder(c.ids, 7, 1, c.gasb, c.alloc).selectClause(), QString::fromLatin1(c.expected));
    const QueryBuilder big({1075}, 32767, -2, false, false);
    EXPECT_EQ(big.whereClause(), " WHERE Asset.companyid = 32767 AND Bookparts.bookid = -2 AND Bookparts.sequence >= 0 ");
    EXPECT_FALSE(big.countQuery().contains("ORDER BY"));
    // A field outside the catalog fails instead of reading past it.
    EXPECT_THROW(QueryBuilder::columnExpression(1000), orvo::HostError);
    EXPECT_THROW(QueryBuilder({1004, 1114}, 7, 1, false, false).dataQuery(), orvo::HostError);
}

TEST(Query, TheCountLosesOnlyItsLastUpperCaseOrderByAndAManagerWithoutQueryIsAnError)
{
    memhost::Host host;
    host.database->rewrite = [](const QString& sql) { return sql + " ORDER BY a ORDER BY b order by c"; };
    QString count = "COUNT ", data = "DATA ";
    QueryBuilder::applyGroup(*host.database, host.group, count, data);
    EXPECT_EQ(count, "COUNT  ORDER BY a ");
    EXPECT_EQ(data, "DATA  ORDER BY a ORDER BY b order by c");
    EXPECT_EQ(QueryBuilder::cutBeforeLastOrderBy("SELECT count(*) x order by y "), "SELECT count(*) x order by y ");
    struct NoQuery : orvo::IOrvoGroupManager {
        std::shared_ptr<orvo::IOrvoGroupList> GroupList() override { return {}; }
        std::shared_ptr<orvo::IOrvoGroupQuery> GroupQuery() override { return {}; }
    } none;
    EXPECT_THROW(QueryBuilder::applyGroup(none, host.group, count, data), orvo::HostError);
}
