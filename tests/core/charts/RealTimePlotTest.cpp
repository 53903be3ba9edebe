// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/charts/AlarmLog.h"
#include "core/charts/PlotPoint.h"
#include "core/charts/RealTimePlot.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace km740;

namespace {

ChartSample level(double dB)
{
    return ChartSample{ChartSample::Kind::level, dB};
}
const ChartSample overload{ChartSample::Kind::overload, 0.0};
const ChartSample noReading{};

} // namespace

TEST(RealTimePlot, LaysThePlotOutFromTheSurface)
{
    const RealTimeGeometry g = RealTimeGeometry::forSurface(659, 400);
    EXPECT_EQ(g.plotWidth, 570); // 599 down to a multiple of 30
    EXPECT_EQ(g.plotHeight, 300);
    EXPECT_EQ(g.baseLine, 373);
    EXPECT_DOUBLE_EQ(g.gridLineY(0), 373);
    EXPECT_DOUBLE_EQ(g.gridLineY(16), 73);
    EXPECT_DOUBLE_EQ(g.gridLineY(8), 223);
}

TEST(RealTimePlot, PlacesLevelsOverloadsAndMissingReadings)
{
    const ChartLimits limits; // 60 .. 140
    EXPECT_NEAR(sampleHeight(readChartSample("85.2", Regional::point()), limits, 300), 25.2 / 80 * 300, 1e-9);
    EXPECT_DOUBLE_EQ(sampleHeight(readChartSample("OL", Regional::point()), limits, 300), 305);
    EXPECT_DOUBLE_EQ(sampleHeight(readChartSample("----", Regional::point()), limits, 300), -3);
    EXPECT_DOUBLE_EQ(sampleHeight(readChartSample("", Regional::point()), limits, 300), -3);
    EXPECT_DOUBLE_EQ(sampleHeight(level(140.1), limits, 300), 305);
    EXPECT_DOUBLE_EQ(sampleHeight(level(59.9), limits, 300), -3);
    EXPECT_DOUBLE_EQ(sampleHeight(level(140.0), limits, 300), 300);
    EXPECT_DOUBLE_EQ(sampleHeight(level(60.0), limits, 300), 0);

    // Under a decimal comma the level keeps its tenths.
    const ChartSample comma = readChartSample("85,2", Regional::comma());
    ASSERT_EQ(comma.kind, ChartSample::Kind::level);
    EXPECT_DOUBLE_EQ(comma.level, 85.2);
    EXPECT_DOUBLE_EQ(readChartSample("85.2", Regional::comma()).level, 85.2);
}

TEST(RealTimePlot, LabelsEverySecondGridLineWithTheRegionalSeparator)
{
    const auto point = levelLabels(ChartLimits{140, 60}, Regional::point());
    EXPECT_EQ(point.front(), "60.0");
    EXPECT_EQ(point[1], "70.0");
    EXPECT_EQ(point.back(), "140.0");
    const auto comma = levelLabels(ChartLimits{100, 65}, Regional::comma());
    EXPECT_EQ(comma[1], "69,4"); // 65 + 35 / 8 = 69.375
    EXPECT_EQ(comma.back(), "100,0");
}

TEST(RealTimePlot, PenWrapsAndMarksColumns)
{
    EXPECT_DOUBLE_EQ(advancePen(0, 1, 300), 1);
    EXPECT_DOUBLE_EQ(advancePen(300, 1, 300), 301);
    EXPECT_DOUBLE_EQ(advancePen(301, 1, 300), 0);
    EXPECT_DOUBLE_EQ(advancePen(290, 20, 300), 0);

    EXPECT_EQ(columnMarkAt(60), ColumnMark::gridLineAndTime);
    EXPECT_EQ(columnMarkAt(60.5), ColumnMark::gridLineAndTime);
    EXPECT_EQ(columnMarkAt(90), ColumnMark::gridLine);
    EXPECT_EQ(columnMarkAt(91), ColumnMark::none);
    EXPECT_EQ(samplesAcross(570, 1), 570);
    EXPECT_EQ(samplesAcross(570, 570.0 / 7), 7);
}

TEST(RealTimePlot, LimitPanelRefusesWhatItCannotDraw)
{
    const std::string limits = "60 <= dBA <= 140, try again!";
    const std::string counts = "10 <= Counts <= 864000, try again!";
    EXPECT_EQ(limitsMessage(130, 130), limits);
    EXPECT_EQ(limitsMessage(141, 60), limits);
    EXPECT_EQ(limitsMessage(140, 59.9), limits);
    EXPECT_EQ(limitsMessage(90, 100), limits);
    EXPECT_FALSE(limitsMessage(140, 60));
    EXPECT_FALSE(limitsMessage(100, 99.9));
    EXPECT_EQ(countsMessage(9), counts);
    EXPECT_EQ(countsMessage(864001), counts);
    EXPECT_FALSE(countsMessage(10));
    EXPECT_FALSE(countsMessage(864000));
}

TEST(RealTimePlot, TraceBandsFollowTheAlertLevels)
{
    EXPECT_EQ(traceBandOf(overload, AlertLevels{}), TraceBand::normal);
    const AlertLevels both{85.0, 90.0};
    EXPECT_EQ(traceBandOf(level(85.0), both), TraceBand::normal);
    EXPECT_EQ(traceBandOf(level(90.0), both), TraceBand::warning);
    EXPECT_EQ(traceBandOf(level(90.1), both), TraceBand::alarm);
    EXPECT_EQ(traceBandOf(overload, both), TraceBand::alarm);
    EXPECT_EQ(traceBandOf(noReading, both), TraceBand::normal);

    const AlertLevels warningOnly{85.0, std::nullopt};
    EXPECT_EQ(traceBandOf(level(120), warningOnly), TraceBand::warning);
}

TEST(AlarmLog, ListsEachStretchAboveTheAlarmLevel)
{
    AlarmLog log;
    EXPECT_FALSE(log.add(level(89.0), 90, "t1"));
    EXPECT_TRUE(log.add(level(91.0), 90, "t2"));
    EXPECT_FALSE(log.add(level(95.5), 90, "t3"));
    EXPECT_FALSE(log.add(level(92.0), 90, "t4"));
    EXPECT_FALSE(log.add(level(90.0), 90, "t5")); // at the level ends it
    EXPECT_TRUE(log.add(overload, 90, "t6"));
    EXPECT_FALSE(log.add(noReading, 90, "t7")); // no reading ends it
    EXPECT_TRUE(log.add(level(99.0), 90, "t8"));
    log.close();

    const auto& p = log.periods();
    ASSERT_EQ(p.size(), 3u);
    EXPECT_EQ(p[0].start, "t2");
    EXPECT_EQ(p[0].end, "t4");
    EXPECT_DOUBLE_EQ(p[0].maximum, 95.5);
    EXPECT_EQ(p[1].start, "t6");
    EXPECT_EQ(p[1].end, "t6");
    EXPECT_TRUE(p[1].overload);
    EXPECT_EQ(p[2].start, "t8");
    EXPECT_FALSE(p[2].open);

    EXPECT_EQ(alarmCsv(p), "Start,End,Maximum (dB)\r\n"
                           "t2,t4,95.5\r\n"
                           "t6,t6,OL\r\n"
                           "t8,t8,99.0\r\n");
    EXPECT_EQ(alarmMaximumText(p[0], Regional::comma()), "95,5");
}

TEST(AlarmLog, SavesWholeOrNotAtAll)
{
    test::TempFolder folder;
    AlarmLog log;
    log.add(level(101.0), 100, "2026-12-07 10:00:00");
    ASSERT_TRUE(saveAlarmCsv(folder / "alarms.csv", log.periods()));
    EXPECT_EQ(test::readBytes(folder / "alarms.csv"),
              "Start,End,Maximum (dB)\r\n2026-12-07 10:00:00,2026-12-07 10:00:00,101.0\r\n");

    const Status failed = saveAlarmCsv(folder / "no-such-folder" / "alarms.csv", log.periods());
    EXPECT_FALSE(failed);
    EXPECT_EQ(folder.entries(), 1u);
}

TEST(PlotPoint, ACellWithoutANumberIsAGapNotZero)
{
    EXPECT_DOUBLE_EQ(plotPointOf("85.3"), 85.3);
    EXPECT_DOUBLE_EQ(plotPointOf("85,3"), 85.3);
    EXPECT_DOUBLE_EQ(plotPointOf(" -12.5"), -12.5);
    EXPECT_DOUBLE_EQ(plotPointOf("0.0"), 0.0);
    EXPECT_TRUE(std::isnan(plotPointOf("----")));
    EXPECT_TRUE(std::isnan(plotPointOf("")));
    EXPECT_TRUE(std::isnan(plotPointOf("OL")));
}
