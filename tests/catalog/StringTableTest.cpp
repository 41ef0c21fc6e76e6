#include "catalog/StringTable.h"

#include "HostErrors.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

using expwiz::StringTable;

TEST(StringTable, ContinuationsJoinAcrossIdsAndTheCompiledTableHoldsTheCatalog)
{
    const StringTable t = StringTable::parse(QStringLiteral(
        "# comment\n10\tone_\n11\ttwo_\n12\tthree\n2\tsingle\r\n\tno id\nx\tbad id\n30\tends_\n2147483647\tlast_\n"));
    EXPECT_EQ(t.loadResourceText(10), "onetwothree");
    EXPECT_EQ(t.loadResourceText(11), "twothree");
    EXPECT_EQ(t.loadResourceText(2), "single");
    // A missing id, one continued into a missing id and the last id continued: the runtime's number 326.
    for (int id : {99, 30, 2147483647, 0})
        EXPECT_EQ(hostErrorNumber([&] { t.loadResourceText(id); }), 326) << id;

    const StringTable& compiled = StringTable::instance();
    EXPECT_EQ(compiled.loadResourceText(102), "< &Back");
    EXPECT_EQ(compiled.loadResourceText(203), "Select Map");
    EXPECT_EQ(compiled.loadResourceText(1033), "ASSET:REPLACEVAL:Orvi  Replace Value:3");
}
