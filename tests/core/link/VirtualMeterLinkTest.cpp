// SPDX-License-Identifier: GPL-3.0-or-later
// MeterLink against the virtual meter on a ManualClock: what one command
// writes, the matching read gives back, and the meter's faults end every
// exchange within its bound.
#include "core/link/MeterLink.h"
#include "core/sim/VirtualMeter.h"

#include <gtest/gtest.h>

using namespace km740;

namespace {

struct Session : ::testing::Test {
    ManualClock clock{1000.0};
    VirtualMeter meter{clock};
    MeterLink link{meter, clock};
    void SetUp() override { ASSERT_TRUE(meter.open().ok()); }
};

struct Quiet : LinkEvents {};

} // namespace

TEST_F(Session, WritesReadBack)
{
    UserPresetTable presets;
    presets.records[4] = UserPresetRecord{0x75, 75, 75, 2};
    ASSERT_TRUE(link.writeUserPresetTable(presets).ok());
    ASSERT_TRUE(link.selectPreset(12).ok());
    EXPECT_EQ(link.readPresetIndex().value(), 12);
    EXPECT_EQ(link.readUserPresetTable().value(), presets);

    RecordingSetup setup;
    setup.intervalCode = 10;
    setup.periodCode = 5;
    setup.table.entries[2] = TimedEntry{0, 5, 30, 12, 23, 59};
    setup.repeat = 7;
    setup.enableMask = 0x8001;
    ASSERT_TRUE(link.writeRecordingSetup(setup).ok());
    EXPECT_EQ(link.readIntervalCode().value(), 10);
    EXPECT_EQ(link.readDurationCode().value(), 5);
    EXPECT_EQ(link.readRepeatCount().value(), 7);
    EXPECT_EQ(link.readEnableMask().value(), 0x8001);
    EXPECT_EQ(link.readTimedTable().value(), setup.table);

    ASSERT_TRUE(link.setClock(DateTime{2026, 12, 31, 23, 59, 58}).ok());
    clock.advance(0.5);
    EXPECT_EQ(meterClockText(link.readClock().value()).substr(0, 14), "26/12/31 23:59");

    ASSERT_TRUE(link.writeMeasurementSettings(0x35).ok());
    auto poll = link.livePoll(Regional::point());
    ASSERT_TRUE(poll.ok()) << poll.error().message;
    EXPECT_EQ(poll->frame.settings, 0x35);

    auto mem = link.readMemoryStatus();
    ASSERT_TRUE(mem.ok());
    auto image = link.dumpLogger(mem->downloadSize());
    ASSERT_TRUE(image.ok()) << image.error().message;
    EXPECT_EQ(image->size(), mem->downloadSize());
    ASSERT_TRUE(link.eraseLogger().ok());
    EXPECT_TRUE(link.readMemoryStatus().value().empty());
}

TEST_F(Session, FaultsEndEachExchangeAndTheLinkComesBack)
{
    // A dump that stalls: a timeout five seconds after the last byte, then
    // the lost-link loop finds the meter again.
    meter.stallDumpAfter(300);
    auto mem = link.readMemoryStatus();
    ASSERT_TRUE(mem.ok());
    auto image = link.dumpLogger(mem->downloadSize());
    ASSERT_FALSE(image.ok());
    EXPECT_EQ(image.error().kind, FailureKind::timeout);
    meter.stallDumpAfter(std::nullopt);
    Quiet events;
    ASSERT_TRUE(link.waitForMeter(events).ok());

    meter.truncateNextReplies(1, 35);
    const double before = clock.now();
    EXPECT_EQ(link.readUserPresetTable().error().kind, FailureKind::timeout);
    EXPECT_LT(clock.now() - before, 2.1);

    meter.corruptNextStatusFrames(4);
    EXPECT_EQ(link.livePoll(Regional::point()).error().kind, FailureKind::data);
    clock.advance(1.0);
    (void)link.discardInput();
    EXPECT_TRUE(link.livePoll(Regional::point()).ok());

    meter.setVanished(true);
    EXPECT_EQ(link.waitForMeter(events).error().kind, FailureKind::io);
}
