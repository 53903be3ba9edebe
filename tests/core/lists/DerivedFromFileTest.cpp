// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/files/DataFileReader.h"
#include "core/lists/DerivedFromFile.h"
#include "core/exposure/LnTable.h"
#include "core/lists/FileListTable.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace km740;

namespace {

const std::string ind(10, ' ');

std::string settingsLines(bool realTime, const char* exchangeRate = "5")
{
    return std::string("Calibrated dB:94.0\r\nTime Weight:Slow\r\nFrequency Weight:A\r\n"
                       "Threshold Level:80\r\nCriterion Level:90\r\nExchange Rate:") +
           exchangeRate + "\r\n" + (realTime ? "Peak Type:Lcpk\r\n" : "Peak  Value:120.5\r\n") +
           "Range:70-140\r\nCalibrated Time:2026/12/01 07:55:00\r\n";
}

FileListTable tableOf(const std::string& text)
{
    test::TempFolder dir;
    test::writeBytes(dir / "f.sonx", text);
    auto loaded = loadFileListTable(dir / "f.sonx");
    EXPECT_TRUE(loaded.ok()) << (loaded.ok() ? "" : loaded.error().message);
    return std::move(loaded).value().table;
}

const std::string realTimeText = "Real Time Data\r\n\r\n\r\n\r\n" + settingsLines(true) +
                                 "No.s\t      Date Time    \tdB\r\n"
                                 "1\t2026/12/01 08:00:00\t90.0\t\r\n"
                                 "2\t2026/12/01 08:00:01\t----\t\r\n"
                                 "3\t2026/12/01 08:00:02\t90.0\t\r\n";

const std::string levelSetText = "Data Logger dBS\r\n\r\n\r\n\r\n" + settingsLines(false) +
                                 " 1 \r\nTimes\tPause\tRelease\tPeriod\t\r\n"
                                 "1\t10:00:00\t10:05:00\t00:05:00\t\r\n"
                                 "Dose\tTWA\t\r\n12.5\t81.0\t\r\n"
                                 "No.s\t     Date Time    \tdB\t\r\n"
                                 "1\t2026/12/01 08:00:00\t85.3\t\r\n"
                                 "2\t2026/12/01 08:00:02\t-\t\r\n"
                                 "3\t2026/12/01 08:00:04\t90.0\t\r\n";

} // namespace

TEST(DerivedFromFile, RealTimeRowsFromTheFile)
{
    const FileListTable t = tableOf(realTimeText);
    std::vector<std::string> rows;
    for (std::size_t r = 0; r < t.rowCount(); ++r)
        rows.push_back(t.cell(r, 0, Regional::point()) + " " + t.cell(r, 4, Regional::point()) + " " +
                       t.cell(r, 10, Regional::point()));
    EXPECT_EQ(t.skippedLevels(), 1u);
    // Dose 1/288 % a reading, PDose back to 100 % once the gap is skipped.
    EXPECT_EQ(rows, (std::vector<std::string>{"1 0.0034 100.000", "2 0.0034 100.000", "3 0.0069 100.000"}));

    // Without a usable exchange rate the derived columns stay empty, and say why.
    std::string bad = realTimeText;
    bad.replace(bad.find("Exchange Rate:5"), 15, "Exchange Rate:x");
    const FileListTable b = tableOf(bad);
    EXPECT_EQ(b.cell(0, 4, Regional::point()), "----");
    EXPECT_EQ(b.derivedProblem(), "the exchange rate is not a number of dB from 1 to 10");
}

TEST(DerivedFromFile, LevelSetDistributionLeavesOutTheGap)
{
    const LevelDistribution d = tableOf(levelSetText).distribution();
    EXPECT_EQ(d.counted(), 2u);
    EXPECT_EQ(d.skipped(), 1u);
    EXPECT_EQ(d.counts(Resolution::tenth)[853], 1u);
    EXPECT_EQ(d.counts(Resolution::tenth)[550], 0u);
    EXPECT_EQ(d.counts(Resolution::tenth)[680], 0u);
    auto rows = gridLnRows(computeLnTable(d, Resolution::tenth, Regional::point()));
    EXPECT_EQ(rows[5], "L(50)\t90.0\t85.3\t85.3\t85.3\t85.3\t85.3\t85.3\t85.3\t85.3\t85.3");
}

TEST(DerivedFromFile, PrintoutOfALevelSet)
{
    const FileListTable t = tableOf(levelSetText);
    auto lines = printLines(PrintKind::fileDb, t.printSource(Regional::point()), 2);
    ASSERT_EQ(lines.size(), 32u);
    EXPECT_EQ(lines[10], "-         Peak  Value : 120.5");
    EXPECT_EQ(lines[18], ind + "Times       Pause       Release     Period      ");
    EXPECT_EQ(lines[20], ind + "1           10:00:00    10:05:00    00:05:00    ");
    EXPECT_EQ(lines[25], ind + "Dose   TWA    ");
    EXPECT_EQ(lines[27], ind + "12.5   81.0   ");
    EXPECT_EQ(lines[28], ind + "No.s         Date Time       (dB)");
    EXPECT_EQ(lines[30], ind + "1       2026/12/01 08:00:00  85.3    -       ");
    EXPECT_EQ(lines[31], ind + "3       2026/12/01 08:00:04  90.0    ");
}

TEST(DerivedFromFile, PrintoutOfARealTimeFileCarriesTwaAndDose)
{
    const FileListTable t = tableOf(realTimeText);
    auto lines = printLines(t.printKind(), t.printSource(Regional::comma()));
    ASSERT_EQ(lines.size(), 19u);
    EXPECT_EQ(lines[10], "-         Peak  Value : Lcpk");
    EXPECT_EQ(lines[14], ind + "No.s         Date Time       dB      TWA     Dose    ");
    EXPECT_EQ(lines[16], ind + "1       2026/12/01 08:00:00  90.0    15,9    0,0034  ");
    EXPECT_EQ(lines[17], ind + "2       2026/12/01 08:00:01  ----    15,9    0,0034  ");
}
