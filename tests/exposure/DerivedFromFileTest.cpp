// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/DataFileReader.h"
#include "exposure/DerivedFromFile.h"
#include "exposure/LnTable.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace km740;

namespace {

const std::string ind(10, ' ');

std::string settingsLines(bool realTime, const char* exchangeRate = "5")
{
    return std::string("Calibrated dB:94.0\r\nTime Weight:Slow\r\nFrequency Weight:A\r\n"
                       "Threshold Level:80\r\nCriterion Level:90\r\nExchange Rate:")
           + exchangeRate + "\r\n" + (realTime ? "Peak Type:Lcpk\r\n" : "Peak  Value:120.5\r\n")
           + "Range:70-140\r\nCalibrated Time:2026/12/01 07:55:00\r\n";
}

DataFile load(const std::string& text)
{
    std::istringstream in(text);
    auto file = loadDataFile(in);
    EXPECT_TRUE(file.ok()) << (file.ok() ? "" : file.error().message);
    return std::move(file).value();
}

const std::string realTimeText = "Real Time Data\r\n\r\n\r\n\r\n" + settingsLines(true)
                                 + "No.s\t      Date Time    \tdB\r\n"
                                   "1\t2026/12/01 08:00:00\t90.0\t\r\n"
                                   "2\t2026/12/01 08:00:01\t----\t\r\n"
                                   "3\t2026/12/01 08:00:02\t90.0\t\r\n";

const std::string levelSetText = "Data Logger dBS\r\n\r\n\r\n\r\n" + settingsLines(false)
                                 + " 1 \r\nTimes\tPause\tRelease\tPeriod\t\r\n"
                                   "1\t10:00:00\t10:05:00\t00:05:00\t\r\n"
                                   "Dose\tTWA\t\r\n12.5\t81.0\t\r\n"
                                   "No.s\t     Date Time    \tdB\t\r\n"
                                   "1\t2026/12/01 08:00:00\t85.3\t\r\n"
                                   "2\t2026/12/01 08:00:02\t-\t\r\n"
                                   "3\t2026/12/01 08:00:04\t90.0\t\r\n";

} // namespace

TEST(DerivedFromFile, RealTimeRowsFromTheFile)
{
    DataFile file = load(realTimeText);
    std::vector<std::string> rows;
    auto skipped = deriveRealTime(std::get<RealTimeFile>(file), Regional::point(),
                                  [&](const LevelRecord& r, const ExposureCells& c) {
                                      rows.push_back(std::to_string(r.number) + " " + c[1] + " " + c[7]);
                                  });
    ASSERT_TRUE(skipped.ok());
    EXPECT_EQ(*skipped, 1u);
    // Dose 1/288 % a reading, PDose back to 100 % once the gap is skipped.
    EXPECT_EQ(rows, (std::vector<std::string>{"1 0.0034 100.000", "2 0.0034 100.000", "3 0.0069 100.000"}));

    std::string bad = realTimeText;
    bad.replace(bad.find("Exchange Rate:5"), 15, "Exchange Rate:x");
    DataFile badFile = load(bad);
    EXPECT_FALSE(deriveRealTime(std::get<RealTimeFile>(badFile), Regional::point(),
                                [](const LevelRecord&, const ExposureCells&) {}).ok());
}

TEST(DerivedFromFile, LevelSetDistributionLeavesOutTheGap)
{
    auto d = levelDistributionOf(load(levelSetText));
    ASSERT_TRUE(d.ok());
    EXPECT_EQ(d->counted(), 2u);
    EXPECT_EQ(d->skipped(), 1u);
    EXPECT_EQ(d->counts(Resolution::tenth)[853], 1u);
    EXPECT_EQ(d->counts(Resolution::tenth)[550], 0u);
    EXPECT_EQ(d->counts(Resolution::tenth)[680], 0u);
    auto rows = gridLnRows(computeLnTable(*d, Resolution::tenth, Regional::point()));
    EXPECT_EQ(rows[5], "L(50)\t90.0\t85.3\t85.3\t85.3\t85.3\t85.3\t85.3\t85.3\t85.3\t85.3");
}

TEST(DerivedFromFile, PrintoutOfALevelSet)
{
    DataFile file = load(levelSetText);
    auto source = printSourceOf(file, Regional::point());
    ASSERT_TRUE(source.ok());
    auto lines = printLines(PrintKind::fileDb, *source, 2);
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
    DataFile file = load(realTimeText);
    auto source = printSourceOf(file, Regional::comma());
    ASSERT_TRUE(source.ok());
    auto lines = printLines(printKindOf(kindOf(file)), *source);
    ASSERT_EQ(lines.size(), 19u);
    EXPECT_EQ(lines[10], "-         Peak  Value : Lcpk");
    EXPECT_EQ(lines[14], ind + "No.s         Date Time       dB      TWA     Dose    ");
    EXPECT_EQ(lines[16], ind + "1       2026/12/01 08:00:00  90.0    15,9    0,0034  ");
    EXPECT_EQ(lines[17], ind + "2       2026/12/01 08:00:01  ----    15,9    0,0034  ");
}
