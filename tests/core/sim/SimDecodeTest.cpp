// SPDX-License-Identifier: GPL-3.0-or-later
// The virtual meter seen through the program's own link and logger decoding:
// where the two disagree, one of them has the layout wrong.
#include "support/MeterBench.h"

#include "core/link/MeterLink.h"
#include "core/logger/LoggerSetTable.h"
#include "core/logger/SetDecoder.h"
#include "core/sim/SampleLogger.h"

#include <gtest/gtest.h>

namespace km740 {
namespace {

const std::array<std::uint8_t, 8> calibration = {0x05, 0x30, 0x14, 7, 3, 26, 0xAC, 0x03};

TEST(SimDecode, SampleLoggerSplitsAndDecodes)
{
    const LoggerSetTable table = splitSets(LoggerImage(sampleLoggerImage(1, calibration)));
    ASSERT_EQ(table.sets.size(), 3u);
    for (const LoggerSet& s : table.sets)
        EXPECT_FALSE(s.incomplete) << s.number;
    EXPECT_TRUE(table.sets[1].hasSummary());
    EXPECT_EQ(table.sets[1].startText, "2026/03/16 13:05:00");
    EXPECT_EQ(table.sets[1].presetName, "ISO85");

    const Regional regional{'.', '/', ':'};
    const auto paused = decodeSet(table.sets[2], regional);
    ASSERT_TRUE(paused.ok()) << paused.error().message;
    const auto& dose = std::get<DoseLoggerFile>(paused.value());
    ASSERT_EQ(dose.records.size(), 90u);
    // The record after the break moves to the first step after its release.
    EXPECT_EQ(dose.records[35].dateTime, "2026/03/17 11:00:00");
    EXPECT_EQ(dose.records[36].dateTime, "2026/03/17 11:20:00");
    EXPECT_EQ(dose.pauses[0].pause, "11:02:30");
    EXPECT_EQ(dose.pauses[0].period, "00:15:00");
    EXPECT_EQ(dose.settings.calibratedTime, "2026/03/07 14:30:05");
    EXPECT_NE(dose.records.back().twa, "----");

    const auto levels = decodeSet(table.sets[1], regional);
    ASSERT_TRUE(levels.ok());
    const auto& level = std::get<LevelLoggerFile>(levels.value());
    EXPECT_EQ(level.records.size(), 600u);
    EXPECT_FALSE(level.summary.dose.empty());
}

TEST(SimDecode, LinkPollsAndDownloadsTheMeter)
{
    test::MeterBench b;
    MeterLink link(b.meter, b.clock);
    const auto poll = link.livePoll(Regional{'.', '/', ':'});
    ASSERT_TRUE(poll.ok()) << poll.error().message;
    EXPECT_EQ(poll->texts.timeWeighting, "Slow");
    EXPECT_EQ(poll->texts.range, "70-140");
    ASSERT_TRUE(poll->calibrationTexts.has_value());
    EXPECT_EQ(poll->calibrationTexts->level, "94");

    const auto status = link.readMemoryStatus();
    ASSERT_TRUE(status.ok());
    const auto image = link.dumpLogger(status->downloadSize());
    ASSERT_TRUE(image.ok());
    EXPECT_EQ(image.value(), b.meter.state().logger);

    ASSERT_TRUE(link.setClock(DateTime{2026, 12, 31, 23, 59, 58}).ok());
    const auto clock = link.readClock();
    ASSERT_TRUE(clock.ok());
    EXPECT_EQ(clock->day, 31);
    EXPECT_EQ(clock->hour, 0x23);
}

} // namespace
} // namespace km740
