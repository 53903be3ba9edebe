// SPDX-License-Identifier: GPL-3.0-or-later
// A person's week as the report shows it, against sums worked out by hand.
#include "core/report/WeekReport.h"

#include <gtest/gtest.h>

using namespace km740;

namespace {

Measurement shift(std::int64_t id, const char* start, std::optional<double> lex8h, const char* file = "shift.sonx")
{
    Measurement m;
    m.id = id;
    m.fileName = file;
    m.facts.start = parseLocalTime(start);
    m.facts.lex8h = lex8h;
    m.labels.person = "Ana Silva";
    m.labels.sector = "Press shop";
    return m;
}

WeekReportParts week(std::vector<Measurement> measurements, Language language = Language::en)
{
    WeekReportParts p;
    p.language = language;
    p.person = "Ana Silva";
    p.monday = *parseIsoWeek("2026-W10");
    p.measurements = std::move(measurements);
    p.madeAt = "2026-03-09 10:00";
    return p;
}

} // namespace

TEST(WeekReport, FiveDaysAt85dBAreLexw85AndFiveHundredPoints)
{
    std::vector<Measurement> days;
    for (int d = 2; d <= 6; ++d)
        days.push_back(shift(d, ("2026-03-0" + std::to_string(d) + "T07:00:00").c_str(), 85.0));
    days[4].facts.lex8h = 84.99999999; // a sum of readings at 85 dB, as the archive may hold it
    const WeekReportContent r = composeWeekReport(week(days));

    ASSERT_EQ(r.days.size(), 5u);
    EXPECT_EQ(r.days[0].cells[0], "2026-03-02");
    EXPECT_EQ(r.days[0].cells[1], "85.0 dB");
    EXPECT_EQ(r.days[0].cells[2], "100");
    EXPECT_EQ(r.days[0].cells[3], "#2  07:00  shift.sonx");
    EXPECT_EQ(r.days[4].cells[0], "2026-03-06");
    EXPECT_EQ(r.days[4].judgement, "above upper action"); // judged as shown
    EXPECT_EQ(r.weekCells[0], "85.0 dB");
    EXPECT_EQ(r.weekCells[1], "5");
    EXPECT_EQ(r.weekCells[2], "500");
    EXPECT_EQ(r.judgement, "above upper action"); // 85 dB is the upper action value itself
    EXPECT_TRUE(r.noDays.empty());
    EXPECT_TRUE(r.notCounted.empty());

    ASSERT_GE(r.who.size(), 2u);
    EXPECT_EQ(r.who[0].value, "Ana Silva");
    EXPECT_EQ(r.who[1].value, "Press shop");
    EXPECT_EQ(r.when[0].value, "2026-W10");
    EXPECT_EQ(r.when[1].value, "2026-03-02 to 2026-03-08");
    EXPECT_EQ(r.legend[0], "LEX,w: lower action at 80.0 dB, upper action at 85.0 dB, limit above 87.0 dB.");
    EXPECT_NE(r.legend[1].find("5 nominal days"), std::string::npos);
}

TEST(WeekReport, OneDayAt92dBSpreadsOverFiveDays)
{
    // 92 + 10 lg(1/5) = 85.01 dB; 100 * 10^0.7 = 501 points.
    const WeekReportContent r = composeWeekReport(week({shift(7, "2026-03-04T22:30:00", 92.0)}));
    ASSERT_EQ(r.days.size(), 1u);
    EXPECT_EQ(r.days[0].cells[0], "2026-03-04");
    EXPECT_EQ(r.days[0].verdict, Verdict::aboveLimit);
    EXPECT_EQ(r.weekCells[0], "85.0 dB");
    EXPECT_EQ(r.weekCells[1], "1");
    EXPECT_EQ(r.weekCells[2], "501");
    EXPECT_EQ(r.verdict, Verdict::aboveUpperAction);
}

TEST(WeekReport, MeasurementsOfOneDayAddAndThoseWithoutALevelAreNamed)
{
    const WeekReportContent r = composeWeekReport(
        week({shift(1, "2026-03-03T07:00:00", 85.0, "am.sonx"), shift(2, "2026-03-03T12:30:00", 85.0, "pm.sonx"),
              shift(3, "2026-03-05T07:00:00", std::nullopt, "dose.sonx")},
             Language::de));
    ASSERT_EQ(r.days.size(), 1u);
    EXPECT_EQ(r.days[0].cells[1], "88,0 dB"); // two halves at 85 dB add as energy: 85 + 10 lg 2
    EXPECT_EQ(r.days[0].cells[3], "#1  07:00  am.sonx  85,0 dB\n#2  12:30  pm.sonx  85,0 dB");
    EXPECT_EQ(r.weekCells[0], "81,0 dB"); // 88 + 10 lg(1/5)
    EXPECT_EQ(r.judgement, "über unterem Auslösewert");
    EXPECT_NE(r.notCounted.find("#3  07:00  dose.sonx"), std::string::npos) << r.notCounted;
    EXPECT_EQ(r.daysHeader[2], "Punkte");
}

TEST(WeekReport, AWeekWithoutADayWorkedSaysSo)
{
    WeekReportParts p = week({});
    p.header = HeaderText{"A. Silva", "", "Acme"};
    const WeekReportContent r = composeWeekReport(p);
    EXPECT_TRUE(r.days.empty());
    EXPECT_EQ(r.noDays, "No measurement of Ana Silva with a LEX,8h in week 2026-W10.");
    EXPECT_EQ(r.weekCells[0], "----");
    EXPECT_EQ(r.weekCells[2], "----");
    EXPECT_EQ(r.verdict, Verdict::notJudged);
    ASSERT_EQ(r.who.size(), 2u); // the header given, its empty sector left out
    EXPECT_EQ(r.who[0].value, "A. Silva");
    EXPECT_EQ(r.who[1].value, "Acme");
}
