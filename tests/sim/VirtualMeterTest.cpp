// SPDX-License-Identifier: GPL-3.0-or-later
#include "SimHelpers.h"

#include <gtest/gtest.h>

namespace km740 {
namespace {

using test::MeterBench;

TEST(SimStatus, FrameIsFramedAndCarriesLevelSettingsAndPeak)
{
    MeterBench b;
    const Bytes f = b.ask("F");
    ASSERT_EQ(f.size(), 19u);
    EXPECT_EQ(f[0], 0x02);
    EXPECT_EQ(f[18], 0x03);
    const int level = f[1] | f[2] << 8;
    EXPECT_GE(level, 700);  // OSHA-80 at start: range 70-140
    EXPECT_LE(level, 1400);
    EXPECT_EQ(f[15], 0x80); // settings byte of OSHA-80
    const int peak = f[16] | f[17] << 8;
    EXPECT_TRUE(peak == 0 || (peak >= level && peak < 1600));
}

TEST(SimStatus, CalibrationRecordIsBcdTimePlainDateAndLevel)
{
    MeterBench b;
    const Bytes c = b.ask("`");
    ASSERT_EQ(c.size(), 8u);
    // Two days before the clock's start (2026-03-18 09:00:00), at 09:30.
    EXPECT_EQ(c[0], 0x00);
    EXPECT_EQ(c[1], 0x30);
    EXPECT_EQ(c[2], 0x09);
    EXPECT_EQ(c[3], 16);
    EXPECT_EQ(c[4], 3);
    EXPECT_EQ(c[5], 26);
    EXPECT_EQ(c[6] | c[7] << 8, 940);
}

} // namespace
} // namespace km740
