// SPDX-License-Identifier: GPL-3.0-or-later
// Recordings the meter makes itself once started: the logger grows with the
// clock, and what it writes must split and decode like any other set.
#include "support/MeterBench.h"

#include "core/logger/LoggerSetTable.h"
#include "core/logger/SetDecoder.h"

#include <gtest/gtest.h>

namespace km740 {
namespace {

using test::MeterBench;

LoggerSetTable downloaded(MeterBench& b)
{
    const Bytes a = b.ask("A");
    EXPECT_EQ(a.size(), 6u);
    const int end = a[2] << 16 | a[3] << 8 | a[4];
    b.take();
    b.send("I");
    b.clock.advance((end - 3584) * VirtualMeter::byteTime + 0.01);
    return splitSets(LoggerImage(b.take()));
}

MeterBench emptyMeter()
{
    return MeterBench(VirtualMeterOptions{.logger = LoggerContent::empty});
}

TEST(SimRecordingLive, PlainRecordingWithAPauseFromTheKeys)
{
    MeterBench b(VirtualMeterOptions{.logger = LoggerContent::empty});
    b.write("V", {4}, 0.1); // 10 s
    b.send("X");
    b.clock.advance(0.2);
    b.send("Y"); // 09:00:00
    EXPECT_TRUE(b.meter.state().recording);
    b.clock.advance(65.0);
    b.send("]");                           // run/pause: paused from 66 s
    EXPECT_EQ(b.ask("F")[8] & 0x03, 0x03); // REC and PAUSE shown
    b.clock.advance(30.0);
    b.send("]"); // released at 96 s
    b.clock.advance(40.0);

    const LoggerSetTable table = downloaded(b);
    ASSERT_EQ(table.sets.size(), 1u);
    const LoggerSet& set = table.sets[0];
    EXPECT_FALSE(set.incomplete);
    EXPECT_EQ(set.startText, "2026/03/18 09:00:00");
    EXPECT_EQ(set.recordCount, 10u); // 10..60 s, then 100..130 s
    ASSERT_EQ(set.pauses.size(), 1u);
    EXPECT_EQ(set.pauses[0].start, 66u);
    EXPECT_EQ(set.pauses[0].release, 96u);

    const auto file = decodeSet(set, Regional{'.', '/', ':'});
    ASSERT_TRUE(file.ok());
    const auto& levels = std::get<LevelLoggerFile>(file.value());
    ASSERT_EQ(levels.records.size(), 10u);
    EXPECT_EQ(levels.records[5].dateTime, "2026/03/18 09:01:00");
    EXPECT_EQ(levels.records[6].dateTime, "2026/03/18 09:01:40");

    // Paused, Left ends the recording; the set stays as it was.
    b.send("]");
    b.send("\\");
    EXPECT_FALSE(b.meter.state().recording);
    b.clock.advance(60.0);
    EXPECT_EQ(downloaded(b).sets.at(0).recordCount, 10u);
}

TEST(SimRecordingLive, DurationLimitedStopsByItself)
{
    MeterBench b = emptyMeter();
    b.write("V", {8}, 0.1); // 1 min
    b.write("O", {1}, 0.1); // 5 min
    b.send("W");
    b.clock.advance(0.2);
    b.send("Y");
    b.clock.advance(600.0);
    b.ask("F");
    EXPECT_FALSE(b.meter.state().recording);
    const LoggerSetTable table = downloaded(b);
    ASSERT_EQ(table.sets.size(), 1u);
    EXPECT_TRUE(table.sets[0].isDoseSet());
    EXPECT_EQ(table.sets[0].recordCount, 5u);
}

TEST(SimRecordingLive, TimedEntryStartsAndStopsTheRecording)
{
    MeterBench b = emptyMeter();
    Bytes table(96, 0);
    const Bytes entry = {0, 9, 2, 0, 9, 4}; // any day, 09:02 to 09:04
    std::copy(entry.begin(), entry.end(), table.begin() + 6 * 3);
    b.write("V", {8}, 0.1);
    b.write("O", {0}, 0.1);
    b.write("J", table, 0.1);
    b.write("T", {0x00, 0x08}, 0.1); // entry 3 enabled
    b.send("W");
    b.clock.advance(0.2);
    b.send("Y");
    EXPECT_TRUE(b.meter.state().scheduled);
    EXPECT_FALSE(b.meter.state().recording);
    b.clock.advance(360.0);
    const LoggerSetTable sets = downloaded(b);
    ASSERT_EQ(sets.sets.size(), 1u);
    EXPECT_EQ(sets.sets[0].startText, "2026/03/18 09:02:00");
    EXPECT_EQ(sets.sets[0].recordCount, 2u);
    EXPECT_FALSE(b.meter.state().recording);

    b.clock.advance(86400.0); // the next day, the entry again
    EXPECT_EQ(downloaded(b).sets.size(), 2u);
}

TEST(SimRecordingLive, StopsWhenTheMemoryIsFullAndEraseEndsIt)
{
    MeterBench b = emptyMeter();
    const std::size_t room = 6 * 32767 - 3584;
    b.meter.setLoggerImage(Bytes(room - 200, 0x11));
    b.write("V", {1}, 0.1);
    b.send("X");
    b.send("Y");
    b.clock.advance(600.0);
    b.ask("F");
    EXPECT_FALSE(b.meter.state().recording);
    EXPECT_LE(b.meter.memEnd(), 6 * 32767);
    EXPECT_GT(b.meter.memEnd(), 6 * 32767 - 2);

    b.send("X");
    b.send("Y");
    b.send("S");
    EXPECT_FALSE(b.meter.state().recording);
    EXPECT_EQ(b.ask("A"), (Bytes{0x02, 6, 0x00, 0x0E, 0x00, 0x03}));
}

} // namespace
} // namespace km740
