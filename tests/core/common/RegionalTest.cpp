// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/common/Regional.h"

#include <gtest/gtest.h>

using namespace km740;

TEST(Regional, FixedFormatUsesTheRegionalSeparatorAndRoundsHalvesUp)
{
    EXPECT_EQ(formatFixed(85.3, 1, Regional::point()), "85.3");
    EXPECT_EQ(formatFixed(85.3, 1, Regional::comma()), "85,3");
    EXPECT_EQ(formatFixed(70, 1, Regional::point()), "70.0");
    EXPECT_EQ(formatFixed(0.05, 1, Regional::point()), "0.1");
    EXPECT_EQ(formatFixed(2.675, 2, Regional::point()), "2.68");
    EXPECT_EQ(formatFixed(-0.04, 1, Regional::point()), "0.0");
    EXPECT_EQ(formatFixed(1.0 / 0.0, 1, Regional::point()), "----");
}

TEST(Regional, GeneralFormatDropsTrailingZeros)
{
    EXPECT_EQ(formatGeneral(1200 / 10.0, Regional::point()), "120");
    EXPECT_EQ(formatGeneral(1035 / 10.0, Regional::point()), "103.5");
    EXPECT_EQ(formatGeneral(1035 / 10.0, Regional::comma()), "103,5");
    EXPECT_EQ(formatGeneral(0, Regional::comma()), "0");
}

TEST(Regional, NumericPrefixReadsLikeSavedTextsAreReadBack)
{
    EXPECT_DOUBLE_EQ(numericPrefix("85.3\t"), 85.3);
    EXPECT_DOUBLE_EQ(numericPrefix("  -12.5dB"), -12.5);
    EXPECT_DOUBLE_EQ(numericPrefix("85,3"), 85.0);
    EXPECT_DOUBLE_EQ(numericPrefix("85,3", true), 85.3);
    EXPECT_DOUBLE_EQ(numericPrefix("----"), 0.0);
    EXPECT_DOUBLE_EQ(numericPrefix(".5"), 0.5);
    EXPECT_DOUBLE_EQ(numericPrefix("1e3x"), 1000.0);
    EXPECT_DOUBLE_EQ(numericPrefix("+7"), 7.0);
    EXPECT_FALSE(hasNumericPrefix("----"));
    EXPECT_FALSE(hasNumericPrefix("-"));
    EXPECT_TRUE(hasNumericPrefix(" 0.0"));
}
