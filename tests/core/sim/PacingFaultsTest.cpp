// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/MeterBench.h"

#include <gtest/gtest.h>

namespace km740 {
namespace {

using test::MeterBench;

TEST(SimPacing, ReplyArrivesAtTheLineRate)
{
    MeterBench b;
    b.send("F");
    b.clock.advance(0.001); // still turning round
    EXPECT_TRUE(b.take().empty());
    b.clock.advance(0.004); // 5 ms: a few bytes on their way
    const Bytes first = b.take();
    EXPECT_GT(first.size(), 0u);
    EXPECT_LT(first.size(), 19u);
    EXPECT_EQ(first[0], 0x02);
    b.clock.advance(0.006); // 11 ms: not quite 2 ms + 19 x 0.52 ms
    const Bytes second = b.take();
    EXPECT_EQ(first.size() + second.size(), 17u);
    b.clock.advance(0.001); // 12 ms: all there
    const Bytes last = b.take();
    ASSERT_EQ(last.size(), 2u);
    EXPECT_EQ(last[1], 0x03);
    EXPECT_FALSE(b.meter.nextByteDue().has_value());
}

TEST(SimPacing, RepliesQueueOneAfterTheOther)
{
    MeterBench b;
    b.send("F`");
    const double start = b.clock.now();
    EXPECT_NEAR(*b.meter.nextByteDue(), start + VirtualMeter::turnaround + VirtualMeter::byteTime, 1e-9);
    b.clock.advance(VirtualMeter::turnaround + 26.5 * VirtualMeter::byteTime);
    EXPECT_EQ(b.take().size(), 26u); // the status frame and 7 calibration bytes
    b.clock.advance(VirtualMeter::byteTime);
    EXPECT_EQ(b.take().size(), 1u);
}

TEST(SimFaults, SilentAfterNCommands)
{
    MeterBench b;
    b.meter.setSilentAfter(2);
    EXPECT_EQ(b.ask("F").size(), 19u);
    EXPECT_EQ(b.ask("`").size(), 8u);
    EXPECT_TRUE(b.ask("F").empty());
    b.write("Q", {5}); // not heard either
    b.meter.setSilentAfter(std::nullopt);
    EXPECT_EQ(b.ask("R"), Bytes{0});
}

TEST(SimFaults, TruncatedDroppedAndCorruptedReplies)
{
    MeterBench b;
    b.meter.truncateNextReplies(2, 5);
    EXPECT_EQ(b.ask("F").size(), 5u);
    EXPECT_EQ(b.ask("`").size(), 5u);
    EXPECT_EQ(b.ask("F").size(), 19u);

    b.meter.dropNextReplies(1);
    EXPECT_TRUE(b.ask("F").empty());
    EXPECT_EQ(b.ask("F").size(), 19u);

    b.meter.corruptNextStatusFrames(2);
    EXPECT_EQ(b.ask("`").size(), 8u); // other replies are not touched
    for (int i = 0; i < 2; ++i) {
        const Bytes f = b.ask("F");
        ASSERT_EQ(f.size(), 19u);
        EXPECT_NE(f[0], 0x02);
        EXPECT_EQ(f[18], 0x03);
    }
    EXPECT_EQ(b.ask("F")[0], 0x02);
}

TEST(SimFaults, VanishedPortFailsUntilItComesBack)
{
    MeterBench b;
    b.send("F");
    b.meter.setVanished(true);
    EXPECT_FALSE(b.meter.isOpen());
    EXPECT_EQ(b.meter.takeReceived().error().kind, FailureKind::io);
    EXPECT_FALSE(b.meter.write(Bytes{'F'}).ok());
    EXPECT_FALSE(b.meter.open().ok());
    b.meter.setVanished(false);
    ASSERT_TRUE(b.meter.open().ok());
    b.clock.advance(0.1);
    EXPECT_TRUE(b.take().empty()); // the frame on the wire went with the port
    EXPECT_EQ(b.ask("F").size(), 19u);
}

TEST(SimFaults, DumpStallsAfterKBytes)
{
    MeterBench b;
    b.meter.stallDumpAfter(1000);
    EXPECT_EQ(b.ask("I", 60.0).size(), 1000u);
    EXPECT_EQ(b.ask("A").size(), 6u); // the meter itself still answers
}

TEST(SimFaults, ClosedPortRefusesAndForgets)
{
    MeterBench b;
    b.send("F");
    b.meter.close();
    EXPECT_FALSE(b.meter.write(Bytes{'F'}).ok());
    ASSERT_TRUE(b.meter.open().ok());
    b.clock.advance(0.1);
    EXPECT_TRUE(b.take().empty());
}

} // namespace
} // namespace km740
