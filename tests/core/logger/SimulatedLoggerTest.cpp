// SPDX-License-Identifier: GPL-3.0-or-later
// The virtual meter lays out its logger by the same rules: its images must
// split and decode without loss.
#include "core/logger/LoggerSetTable.h"
#include "core/logger/SetDecoder.h"
#include "core/sim/LoggerImageBuilder.h"
#include "core/sim/SampleLogger.h"

#include <gtest/gtest.h>

namespace km740 {
namespace {

constexpr std::array<std::uint8_t, 8> kCalibration = {0x05, 0x30, 0x14, 7, 3, 18, 0xAC, 0x03};

TEST(SimulatedLogger, DefaultLoggerSplitsIntoItsThreeSets)
{
    const LoggerSetTable t = splitSets(LoggerImage(sampleLoggerImage(7, kCalibration)));
    ASSERT_EQ(t.sets.size(), 3u);
    using Cells = std::array<std::string, 4>;
    EXPECT_EQ(directoryCells(t.sets[0]), (Cells{"1", "2026/03/16 07:30:00", "60", "120"}));
    EXPECT_EQ(directoryCells(t.sets[1]), (Cells{"2", "2026/03/16 13:05:00", "1", "600"}));
    EXPECT_EQ(directoryCells(t.sets[2]), (Cells{"3", "2026/03/17 08:00:00", "300", "90"}));
    for (const auto& s : t.sets)
        EXPECT_FALSE(s.incomplete) << s.number;
    EXPECT_EQ(t.sets[2].pauses.size(), 2u);

    // The pauses' records are stamped after the release, as the meter timed them.
    const LoggerPause pauses[] = {{10950, 11850}, {16320, 18120}};
    const SetTimeline timeline = LoggerImageBuilder::timeline(300, 90, pauses);
    auto decoded = decodeSet(t.sets[2], Regional::point());
    ASSERT_TRUE(decoded);
    const auto& dose = std::get<DoseLoggerFile>(decoded.value());
    ASSERT_EQ(dose.records.size(), 90u);
    for (std::size_t i = 0; i < 90; ++i) {
        const std::uint32_t s = timeline.recordTimes[i] + 8 * 3600;
        char want[32];
        std::snprintf(want, sizeof want, "2026/03/17 %02u:%02u:%02u", s / 3600, s / 60 % 60, s % 60);
        EXPECT_EQ(dose.records[i].dateTime, want) << i;
        EXPECT_NE(dose.records[i].dose, "----") << i;
    }
    EXPECT_EQ(dose.settings.calibratedTime, "2018/03/07 14:30:05");
    EXPECT_EQ(dose.settings.calibratedDb, "94.0");

    auto level = decodeSet(t.sets[1], Regional::point());
    ASSERT_TRUE(level);
    const auto& l = std::get<LevelLoggerFile>(level.value());
    EXPECT_EQ(l.records.size(), 600u);
    EXPECT_NE(l.summary.dose, "----");
    EXPECT_NE(l.summary.twa, "----");
}

TEST(SimulatedLogger, FilledMemoryLosesNoByte)
{
    const Bytes bytes = filledLoggerImage(192 * 1024, 3, kCalibration);
    const LoggerSetTable t = splitSets(LoggerImage(bytes));
    ASSERT_FALSE(t.sets.empty());
    std::size_t covered = 0;
    for (const auto& s : t.sets) {
        EXPECT_FALSE(s.incomplete) << s.number;
        EXPECT_EQ(s.imageOffset, covered) << s.number;
        covered += 1 + s.block.size();
        EXPECT_TRUE(decodeSet(s, Regional::comma())) << s.number;
    }
    EXPECT_EQ(covered, bytes.size());
}

} // namespace
} // namespace km740
