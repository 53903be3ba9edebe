// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/exposure/HistogramRange.h"

#include <gtest/gtest.h>

using namespace km740;

TEST(HistogramRange, FiveBinsOfRoomAroundTheCountedLevels)
{
    LevelDistribution d;
    EXPECT_FALSE(histogramLevelSpan(d, Resolution::tenth));
    for (const char* cell : {"72.4", "80.0", "91.7", "91.7", "----"})
        d.addCell(cell);

    const auto tenth = histogramLevelSpan(d, Resolution::tenth);
    ASSERT_TRUE(tenth);
    EXPECT_NEAR(tenth->min, 71.9, 1e-9); // bin 724 - 5
    EXPECT_NEAR(tenth->max, 92.2, 1e-9); // bin 917 + 5

    const auto whole = histogramLevelSpan(d, Resolution::whole);
    ASSERT_TRUE(whole);
    EXPECT_DOUBLE_EQ(whole->min, 67.0);
    EXPECT_DOUBLE_EQ(whole->max, 96.0);

    LevelDistribution quiet;
    quiet.addCell("0.2");
    EXPECT_NEAR(histogramLevelSpan(quiet, Resolution::tenth)->min, -0.3, 1e-9);
}
