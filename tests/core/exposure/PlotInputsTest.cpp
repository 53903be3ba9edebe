// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/exposure/PlotInputs.h"

#include <gtest/gtest.h>

using namespace km740;

TEST(PlotInputs, RangesAndUnitsByColumn)
{
    auto level = plotInputs(FileListKind::realTime, 2, 3600, "60-130", 0);
    ASSERT_TRUE(level);
    EXPECT_EQ(level->plotKind, 2);
    EXPECT_EQ(level->plotXMax, 3600);
    EXPECT_EQ(level->plotYMin, 60);
    EXPECT_EQ(level->plotYMax, 130);
    EXPECT_EQ(level->label, "dB ( Y ) :");
    EXPECT_EQ(level->decimals, 1);

    for (int column : {3, 5, 11})
        EXPECT_EQ(plotInputs(FileListKind::realTime, column, 1, "70-140", 0)->plotYMin, 70);
    for (int column : {7, 8}) {
        auto p = plotInputs(FileListKind::realTime, column, 1, "70-140", 0);
        EXPECT_EQ(p->plotYMin, 0);
        EXPECT_EQ(p->plotYMax, 140);
    }
    EXPECT_EQ(plotInputs(FileListKind::realTime, 9, 1, "70-140", 0)->plotYMin, -140);

    auto dose = plotInputs(FileListKind::realTime, 4, 10, "70-140", 12.5);
    EXPECT_EQ(dose->axisCaption, "%");
    EXPECT_EQ(dose->label, "% ( Y ) :");
    EXPECT_EQ(dose->decimals, 4);
    EXPECT_EQ(dose->plotYMin, 0);
    EXPECT_EQ(dose->plotYMax, 13.5);

    auto se = plotInputs(FileListKind::realTime, 6, 10, "70-140", 1.0);
    EXPECT_EQ(se->axisCaption, "SE");
    EXPECT_EQ(se->label, "Pa2h ( Y ) :");
    EXPECT_EQ(se->plotYMax, 2.0);

    EXPECT_EQ(plotInputs(FileListKind::dose, 2, 5, "70-140", 3.0)->plotYMax, 4.0);
    EXPECT_EQ(plotInputs(FileListKind::dose, 3, 5, "60-130", 0)->plotYMin, 60);
    EXPECT_EQ(plotInputs(FileListKind::level, 2, 5, "70-140", 0)->plotYMax, 140);
}

TEST(PlotInputs, ColumnsThatDoNotPlot)
{
    EXPECT_FALSE(plotInputs(FileListKind::realTime, 0, 5, "70-140", 0));
    EXPECT_FALSE(plotInputs(FileListKind::realTime, 1, 5, "70-140", 0));
    EXPECT_FALSE(plotInputs(FileListKind::realTime, 12, 5, "70-140", 0));
    EXPECT_FALSE(plotInputs(FileListKind::dose, 4, 5, "70-140", 0));
    EXPECT_FALSE(plotInputs(FileListKind::level, 3, 5, "70-140", 0));
    EXPECT_EQ(rangeTopOf(""), 140);
    EXPECT_EQ(rangeTopOf("garbage"), 140);
}
