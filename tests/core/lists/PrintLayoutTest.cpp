// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/lists/PrintLayout.h"

#include <gtest/gtest.h>

using namespace km740;

namespace {

const std::string ind(10, ' ');

PrintSource source()
{
    PrintSource s;
    s.settings = {{{"Calibrated dB", "94.0"},
                   {"Time Weight", "Slow"},
                   {"Frequency Weight", "A"},
                   {"Threshold Level", "80"},
                   {"Criterion Level", "90"},
                   {"Exchange Rate", "5"},
                   {"Peak  Value", "120.5"},
                   {"Range", "70-140"},
                   {"Calibrated Time", "2026/12/01 08:00:00"}}};
    return s;
}

void withPauses(PrintSource& s)
{
    s.pausesShown = true;
    s.pauses = PrintGrid::of({{"Times", "Pause", "Release", "Period"}, {"1", "10:00:00", "10:05:00", "00:05:00"}});
}

std::vector<std::vector<std::string>> levelRows(int records)
{
    std::vector<std::vector<std::string>> rows{{"No.s", "     Date Time    ", "dB"}};
    for (int i = 1; i <= records; ++i)
        rows.push_back(
            {std::to_string(i), "2026/12/01 08:00:0" + std::to_string(i % 10), std::to_string(80 + i) + ".5"});
    return rows;
}

// The first 14 lines are the same for every kind.
void expectHeader(const std::vector<std::string>& lines)
{
    ASSERT_GE(lines.size(), 14u);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(lines[i], " ");
    EXPECT_EQ(lines[4], "-         Calibrated dB : 94.0");
    EXPECT_EQ(lines[10], "-         Peak  Value : 120.5");
    EXPECT_EQ(lines[12], "-         Calibrated Time : 2026/12/01 08:00:00");
    EXPECT_EQ(lines[13], "-");
}

} // namespace

TEST(PrintLayout, DoseListWithAndWithoutPauses)
{
    PrintSource s = source();
    s.records = PrintGrid::of({{"No.s", "     Date Time    ", "Dose", "TWA"},
                               {"1", "2026/12/01 08:01:00", "0.2083", "54.3"},
                               {"123456789", "x", "", "1"}});
    auto lines = printLines(PrintKind::file, s);
    expectHeader(lines);
    std::vector<std::string> rest(lines.begin() + 14, lines.end());
    std::vector<std::string> expected{
        "-",
        "-",
        "-",
        "-",
        "-",
        "-",
        "-",
        "-",
        ind + "No.s   " + "     Date Time       " + "Dose    " + "TWA    ",
        ind + std::string(48, '-'),
        ind + "1      " + "2026/12/01 08:01:00  " + "0.2083  " + "54.3   ",
        // A cell longer than its column is kept and pushes the line.
        ind + "123456789" + "x                    " + "        " + "1      ",
    };
    EXPECT_EQ(rest, expected);

    withPauses(s);
    lines = printLines(PrintKind::file, s);
    ASSERT_EQ(lines.size(), 14u + 4 + 3 + 4 + 4);
    EXPECT_EQ(lines[17], "-");
    EXPECT_EQ(lines[18], ind + "Times       Pause       Release     Period      ");
    EXPECT_EQ(lines[19], ind + std::string(48, '-'));
    EXPECT_EQ(lines[20], ind + "1           10:00:00    10:05:00    00:05:00    ");
    EXPECT_EQ(lines[21], "-");
    EXPECT_EQ(lines[24], "-");
    EXPECT_EQ(lines[25], ind + "No.s   " + "     Date Time       " + "Dose    " + "TWA    ");
}

TEST(PrintLayout, LevelSetGroupsRecordsPerLine)
{
    PrintSource s = source();
    withPauses(s);
    s.summary = PrintGrid::of({{"Dose", "TWA"}, {"12.5", "81.0"}});
    s.records = PrintGrid::of(levelRows(7));

    for (int k = 1; k <= 5; ++k) {
        SCOPED_TRACE(k);
        auto lines = printLines(PrintKind::fileDb, s, k);
        expectHeader(lines);
        // 4 spacers, pause header, rule, one pause, 4 spacers.
        EXPECT_EQ(lines[22], "-");
        EXPECT_EQ(lines[25], ind + "Dose   TWA    ");
        EXPECT_EQ(lines[26], ind + std::string(15, '-'));
        EXPECT_EQ(lines[27], ind + "12.5   81.0   ");
        EXPECT_EQ(lines[28], ind + "No.s    " + "     Date Time       " + "(dB)");
        EXPECT_EQ(lines[29], ind + std::string(69, '-'));
        std::size_t groups = (7 + k - 1) / k;
        ASSERT_EQ(lines.size(), 30 + groups);
        // Each line: number and time of its first record, then k levels.
        std::string first = ind + "1       " + "2026/12/01 08:00:01  ";
        for (int i = 1; i <= k; ++i)
            first += std::to_string(80 + i) + ".5    ";
        EXPECT_EQ(lines[30], first);
        std::size_t lastFirst = 1 + (groups - 1) * k;
        std::size_t lastCount = 7 - (lastFirst - 1);
        EXPECT_EQ(lines.back().size(), 10 + 8 + 21 + 8 * lastCount);
        EXPECT_EQ(lines.back().substr(10, 8), (std::to_string(lastFirst) + "       ").substr(0, 8));
    }
}

TEST(PrintLayout, LevelSetWithoutPausesKeepsTheSpacers)
{
    PrintSource s = source();
    s.summary = PrintGrid::of({{"Dose", "TWA"}, {"12.5", "81.0"}});
    s.records = PrintGrid::of(levelRows(2));
    auto lines = printLines(PrintKind::fileDb, s, 2);
    ASSERT_EQ(lines.size(), 14u + 8 + 3 + 2 + 1);
    for (std::size_t i = 14; i < 22; ++i)
        EXPECT_EQ(lines[i], "-");
    EXPECT_EQ(lines[22], ind + "Dose   TWA    ");
}

TEST(PrintLayout, RealTimeListPrintsFiveColumns)
{
    PrintSource s = source();
    s.records = PrintGrid::of({{"No.s", "     Date Time    ", "dB", "TWA", "Dose", "SEL"},
                               {"1", "2026/12/01 08:00:01", "90.0", "15.9", "0.0034", "90.0"}});
    auto lines = printLines(PrintKind::fileReal, s);
    expectHeader(lines);
    ASSERT_EQ(lines.size(), 17u);
    EXPECT_EQ(lines[14], ind + "No.s    " + "     Date Time       " + "dB      TWA     Dose    ");
    EXPECT_EQ(lines[15], ind + std::string(53, '-'));
    EXPECT_EQ(lines[16], ind + "1       2026/12/01 08:00:01  90.0    15.9    0.0034  ");
}

TEST(PrintLayout, RecordsPerRowAnswer)
{
    using O = RecordsPerRowAnswer::Outcome;
    EXPECT_EQ(readRecordsPerRow("").outcome, O::cancel);
    EXPECT_EQ(readRecordsPerRow("0").outcome, O::askAgain);
    EXPECT_EQ(readRecordsPerRow("6").outcome, O::askAgain);
    EXPECT_EQ(readRecordsPerRow("abc").outcome, O::askAgain);
    EXPECT_EQ(readRecordsPerRow("3x").outcome, O::askAgain);
    auto a = readRecordsPerRow("2.7");
    EXPECT_EQ(a.outcome, O::accept);
    EXPECT_EQ(a.recordsPerRow, 2);
    EXPECT_EQ(readRecordsPerRow(" 5 ").recordsPerRow, 5);
    EXPECT_EQ(readRecordsPerRow("1").recordsPerRow, 1);
}
