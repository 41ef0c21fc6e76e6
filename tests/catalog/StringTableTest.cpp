#include "catalog/StringTable.h"
#include "host/HostError.h"

#include <gtest/gtest.h>

using expwiz::StringTable;

TEST(StringTable, ContinuationsJoinAcrossIds)
{
    const StringTable t = StringTable::parse(QStringLiteral(
        "# comment\n10\tone_\n11\ttwo_\n12\tthree\n20\tsingle\r\n30\tends_\n2147483647\tlast_\n"));
    EXPECT_EQ(t.loadResourceText(10), "onetwothree");
    EXPECT_EQ(t.loadResourceText(11), "twothree");
    EXPECT_EQ(t.loadResourceText(20), "single");
    EXPECT_THROW(t.loadResourceText(30), orvo::HostError);   // continues into a missing id
    EXPECT_THROW(t.loadResourceText(99), orvo::HostError);
    EXPECT_THROW(t.loadResourceText(2147483647), orvo::HostError);   // no id after the last one
}

TEST(StringTable, CompiledTableHoldsCaptionsAndTheWholeCatalog)
{
    const StringTable& t = StringTable::instance();
    EXPECT_EQ(t.loadResourceText(102), "< &Back");
    EXPECT_EQ(t.loadResourceText(203), "Select Map");
    for (int id = 1001; id <= 1113; ++id)
        EXPECT_EQ(t.loadResourceText(id).count(QLatin1Char(':')), 3) << id;
    EXPECT_EQ(t.loadResourceText(1033), "ASSET:REPLACEVAL:Orvi  Replace Value:3");
}
