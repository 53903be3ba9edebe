// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/exposure/LevelDistribution.h"
#include "core/exposure/LnTable.h"

#include <gtest/gtest.h>

using namespace km740;

namespace {

const Regional point = Regional::point();

} // namespace

TEST(LevelDistribution, BinsByTheWholePartOfTheLevel)
{
    LevelDistribution d;
    for (const char* cell : {"85.3", "85.3", "85.9", "0.0", "140.0", "60,5"})
        d.addCell(cell);
    const auto& tenths = d.counts(Resolution::tenth);
    const auto& wholes = d.counts(Resolution::whole);
    ASSERT_EQ(tenths.size(), 1401u);
    ASSERT_EQ(wholes.size(), 141u);
    EXPECT_EQ(tenths[853], 2u);
    EXPECT_EQ(tenths[859], 1u);
    EXPECT_EQ(tenths[0], 1u);
    EXPECT_EQ(tenths[1400], 1u);
    EXPECT_EQ(tenths[605], 1u);
    EXPECT_EQ(wholes[85], 3u);
    EXPECT_EQ(wholes[60], 1u);
    EXPECT_EQ(d.counted(), 6u);
    EXPECT_EQ(leftOutNote(d), "");
    EXPECT_EQ(d.lowestBin(Resolution::tenth), 0u);
    EXPECT_EQ(d.highestBin(Resolution::tenth), 1400u);
    EXPECT_EQ(d.highestBin(Resolution::whole), 140u);
}

TEST(LevelDistribution, MissingAndImpossibleLevelsInventNoBins)
{
    LevelDistribution d;
    for (const char* cell : {"----", "-", "", "abc", "-3.0"})
        d.addCell(cell);
    d.addCell("140.1");
    d.addCell("150.0");
    EXPECT_EQ(d.counted(), 0u);
    EXPECT_EQ(d.skipped(), 5u);
    EXPECT_EQ(d.outOfRange(), 2u);
    EXPECT_EQ(leftOutNote(d), "5 records without a level and 2 levels outside 0.0 .. 140.0 dB left out");
    EXPECT_FALSE(d.lowestBin(Resolution::tenth));
    EXPECT_FALSE(d.highestBin(Resolution::whole));
    for (auto c : d.counts(Resolution::tenth))
        ASSERT_EQ(c, 0u);

    LnTable table = computeLnTable(d, Resolution::tenth, point);
    for (const auto& entry : table)
        EXPECT_EQ(entry, "");
}

TEST(LnTable, LevelsExceededDuringAShareOfTheSamples)
{
    // Ten readings in each 1 dB band from 60 to 69 dB.
    LevelDistribution d;
    for (int band = 60; band < 70; ++band)
        for (int i = 0; i < 10; ++i)
            d.addLevel(band + i / 10.0);
    LnTable w = computeLnTable(d, Resolution::whole, point);
    EXPECT_EQ(w[0], "69.0");
    EXPECT_EQ(w[10], "69.0");
    EXPECT_EQ(w[11], "68.0");
    EXPECT_EQ(w[50], "65.0");
    EXPECT_EQ(w[90], "61.0");
    EXPECT_EQ(w[91], "60.0");
    EXPECT_EQ(w[99], "60.0");

    LnTable t = computeLnTable(d, Resolution::tenth, point);
    EXPECT_EQ(t[0], "69.9");
    EXPECT_EQ(t[1], "69.9");
    EXPECT_EQ(t[2], "69.8");
    EXPECT_EQ(t[50], "65.0");
    EXPECT_EQ(t[99], "60.1");

    LnTable c = computeLnTable(d, Resolution::tenth, Regional::comma());
    EXPECT_EQ(c[50], "65,0");
}

TEST(LnTable, ThreeSamples)
{
    LevelDistribution d;
    for (const char* cell : {"85.3", "85.3", "90.0"})
        d.addCell(cell);
    LnTable t = computeLnTable(d, Resolution::tenth, point);
    EXPECT_EQ(t[0], "90.0");
    EXPECT_EQ(t[33], "90.0"); // 1 of 3 is at least 33 %
    EXPECT_EQ(t[34], "85.3");
    EXPECT_EQ(t[99], "85.3");
}

TEST(LnTable, GridRows)
{
    LnTable table;
    for (std::size_t n = 0; n < 99; ++n)
        table[n] = std::to_string(n);
    auto rows = gridLnRows(table);
    EXPECT_EQ(rows[0], "L(00)\t0\t1\t2\t3\t4\t5\t6\t7\t8\t9");
    EXPECT_EQ(rows[3], "L(30)\t30\t31\t32\t33\t34\t35\t36\t37\t38\t39");
    // An empty entry 99 shows entry 98.
    EXPECT_EQ(rows[9], "L(90)\t90\t91\t92\t93\t94\t95\t96\t97\t98\t98");

    auto empty = gridLnRows(LnTable{});
    EXPECT_EQ(empty[5], "L(50)\t\t\t\t\t\t\t\t\t\t");
    EXPECT_EQ(gridLnHeader(), "Ln\t 0\t 1\t 2\t 3\t 4\t 5\t 6\t 7\t 8\t 9");
}
