// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/report/Judgement.h"
#include "core/report/ReportChart.h"
#include "core/report/ReportWords.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace km740;

namespace {

Standard preset(const char* name)
{
    return *standardNamed(name, DoseParameters{});
}

StandardExposure resultOf(const char* name)
{
    StandardExposure e;
    e.standard = preset(name);
    return e;
}

Verdict atShiftDose(const char* name, std::optional<double> dose)
{
    StandardExposure e = resultOf(name);
    e.shiftDose = dose;
    return judge(regulationOf(e.standard), e, std::nullopt);
}

Verdict atLex(double lex)
{
    StandardExposure e = resultOf("ISO85");
    e.shiftDose = 1000.0; // not what ISO/EU judges
    return judge(regulationOf(e.standard), e, lex);
}

} // namespace

TEST(Judgement, DoseRulesJudgeTheShiftDoseActionAtOrAboveLimitAbove)
{
    for (const char* name : {"OSHA-80", "OSHA-90", "MSHA-80", "MSHA-90", "90/80/5"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(atShiftDose(name, 49.99), Verdict::belowAction);
        EXPECT_EQ(atShiftDose(name, 50.0), Verdict::aboveAction);
        EXPECT_EQ(atShiftDose(name, 100.0), Verdict::aboveAction);
        EXPECT_EQ(atShiftDose(name, 100.01), Verdict::aboveLimit);
    }
    for (const char* name : {"DOD", "ACGIH"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(atShiftDose(name, 70.0), Verdict::belowLimit);
        EXPECT_EQ(atShiftDose(name, 100.0), Verdict::belowLimit);
        EXPECT_EQ(atShiftDose(name, 131.9), Verdict::aboveLimit);
    }
    EXPECT_EQ(atShiftDose("OSHA-90", std::nullopt), Verdict::notJudged);
    EXPECT_EQ(severityOf(Verdict::aboveAction), 1);
    EXPECT_EQ(severityOf(Verdict::aboveLimit), 3);
    EXPECT_EQ(severityOf(Verdict::belowLimit), 0);
}

TEST(Judgement, IsoEuJudgesLexAgainstLowerUpperAndLimit)
{
    EXPECT_EQ(atLex(79.9), Verdict::belowAction);
    EXPECT_EQ(atLex(80.0), Verdict::aboveLowerAction);
    EXPECT_EQ(atLex(85.0), Verdict::aboveUpperAction);
    EXPECT_EQ(atLex(87.0), Verdict::aboveUpperAction);
    EXPECT_EQ(atLex(87.1), Verdict::aboveLimit);
    StandardExposure e = resultOf("ISO90");
    EXPECT_EQ(judge(regulationOf(e.standard), e, std::nullopt), Verdict::notJudged);
    EXPECT_EQ(severityOf(Verdict::aboveUpperAction), 2);
}

TEST(Judgement, ChartLinesAreTheLevelsTheValuesStandFor)
{
    // OSHA 50 % under 90/5 is 85 dB; ACGIH 100 % under 85/3 is 85 dB.
    EXPECT_NEAR(levelOf(preset("OSHA-90"), Basis::shiftDose, 50.0), 85.0, 1e-9);
    EXPECT_NEAR(levelOf(preset("DOD"), Basis::shiftDose, 50.0), 81.0, 1e-9);
    const auto lines = levelLines({preset("OSHA-90"), preset("ISO85"), preset("ACGIH")});
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], (LevelLine{80.0, false, true, false})); // ISO lower action
    EXPECT_EQ(lines[1], (LevelLine{85.0, true, true, true}));   // ISO85/ACGIH criterion, actions, ACGIH limit
    EXPECT_EQ(lines[2], (LevelLine{87.0, false, false, true})); // ISO limit
    EXPECT_EQ(lines[3], (LevelLine{90.0, true, false, true}));  // OSHA criterion and limit
}

TEST(ReportChart, ColumnsKeepEveryExtremeAndLinesBreakAtGaps)
{
    ChartCollector c;
    // 10 000 s of levels between 70 and 99.9, a reading without a level at
    // 5 000 s and a logger pause of a minute after 8 000 s.
    double lowest = 200, highest = 0;
    for (int s = 0; s < 10000; ++s) {
        const double level = 70.0 + (s * 7919 % 300) / 10.0;
        const LocalSeconds t = 1000 + s + (s >= 8000 ? 60 : 0);
        c.add(t, s == 5000 ? std::optional<double>() : level);
        if (s != 5000) {
            lowest = std::min(lowest, level);
            highest = std::max(highest, level);
        }
    }
    c.add(std::nullopt, 50.0); // no time: not on the chart
    const ReportChart chart = c.reduce(100, 1.0, {105.0});
    EXPECT_EQ(chart.from, 1000);
    EXPECT_DOUBLE_EQ(chart.spanSeconds, 10060.0);
    ASSERT_EQ(chart.runs.size(), 3u);
    double low = 200, high = 0;
    std::size_t points = 0;
    for (const auto& run : chart.runs) {
        points += run.size();
        for (const ChartPoint& p : run) {
            low = std::min(low, static_cast<double>(p.low));
            high = std::max(high, static_cast<double>(p.high));
            EXPECT_LE(p.low, p.leq);
            EXPECT_LE(p.leq, p.high);
        }
    }
    EXPECT_LE(points, 103u); // a column split by a break counts twice
    EXPECT_FLOAT_EQ(low, static_cast<float>(lowest));
    EXPECT_FLOAT_EQ(high, static_cast<float>(highest));
    EXPECT_DOUBLE_EQ(chart.levelMin, 60.0);
    EXPECT_DOUBLE_EQ(chart.levelMax, 110.0); // the line at 105 dB stays in view
    EXPECT_NEAR(chart.runs[1].front().seconds, 5001.0, 1.0);
    EXPECT_NEAR(chart.runs[2].front().seconds, 8060.0, 1.0);
}

TEST(ReportWords, EveryLanguageHasEveryWordAndItsPlaceholders)
{
    for (Language l : kLanguages) {
        SCOPED_TRACE(std::string(languageCode(l)));
        EXPECT_EQ(languageNamed(languageCode(l)), l);
        for (int i = 0; i < static_cast<int>(Word::count_); ++i)
            EXPECT_FALSE(word(l, static_cast<Word>(i)).empty()) << i;
        EXPECT_EQ(fillIn(word(l, Word::page), {"2", "3"}).find('%'), std::string::npos);
        EXPECT_NE(fillIn(word(l, Word::page), {"2", "3"}).find("3"), std::string::npos);
        EXPECT_NE(fillIn(word(l, Word::legendLex), {"ISO85", "80", "85", "87"}).find("87"), std::string::npos);
        EXPECT_EQ(regionalOf(l).decimal, l == Language::en ? '.' : ',');
    }
    EXPECT_EQ(languageNamed("DE"), Language::de);
    EXPECT_FALSE(languageNamed("nl"));
    EXPECT_EQ(word(Language::de, Word::aboveLimit), "über Grenzwert");
    EXPECT_EQ(word(Language::es, Word::title), "Informe de exposición al ruido");
}
