// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/MeterBench.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

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
    EXPECT_GE(level, 700); // OSHA-80 at start: range 70-140
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
    EXPECT_EQ(c, (Bytes{0x00, 0x30, 0x09, 16, 3, 26, 0xAC, 0x03}));
}

TEST(SimStatus, DisplayShowsTheLevelDigitsAndClock)
{
    MeterBench b;
    const Bytes f = b.ask("F");
    ASSERT_EQ(f.size(), 19u);
    const int level = f[1] | f[2] << 8; // e.g. 711 shows " 71.1"
    static const std::uint8_t digit[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};
    EXPECT_EQ(f[4], digit[level / 100 % 10]);
    EXPECT_EQ(f[5], digit[level / 10 % 10] | 0x80); // with the decimal point
    EXPECT_EQ(f[6], digit[level % 10]);
    EXPECT_EQ(f[7] & 0x01, 0x01); // "A" lit
    EXPECT_EQ(f[7] & 0x04, 0x04); // "SLOW" lit
    EXPECT_EQ(f[9], digit[0]);    // 09:00, colon after the hour
    EXPECT_EQ(f[10], digit[9] | 0x80);
    EXPECT_EQ(f[11], digit[0]);
    EXPECT_EQ(f[12], digit[0]);
}

TEST(SimLevel, WalkIsRepeatableStaysInRangeAndHasEvents)
{
    auto series = [](std::uint64_t seed) {
        MeterBench b(VirtualMeterOptions{.seed = seed});
        std::vector<int> levels;
        int maxPeak = 0;
        for (int i = 0; i < 3600; ++i) { // an hour, one poll a second
            const Bytes f = b.ask("F", 1.0);
            EXPECT_EQ(f.size(), 19u);
            if (f.size() != 19)
                break;
            levels.push_back(f[1] | f[2] << 8);
            maxPeak = std::max(maxPeak, f[16] | f[17] << 8);
        }
        return std::pair{levels, maxPeak};
    };
    const auto [a, peakA] = series(7);
    const auto [again, peakAgain] = series(7);
    const auto [other, peakOther] = series(8);
    EXPECT_EQ(a, again);
    EXPECT_NE(a, other);
    const auto [lo, hi] = std::minmax_element(a.begin(), a.end());
    EXPECT_GE(*lo, 700);
    EXPECT_LE(*hi, 1400);
    EXPECT_GT(*hi - *lo, 100);   // a machine started at some point
    EXPECT_GT(peakA, *hi + 100); // and something banged
    EXPECT_LT(peakA, 1600);
}

TEST(SimPresets, SelectThenReadAndSettingsFollow)
{
    MeterBench b;
    EXPECT_EQ(b.ask("R"), Bytes{0});
    b.write("Q", {6}, 0.2);
    EXPECT_EQ(b.ask("R"), Bytes{6});
    EXPECT_EQ(b.ask("F")[15], 0x11); // ISO85: Fast, Lcpk
    b.write("Q", {17}, 0.2);         // no such preset: ignored
    EXPECT_EQ(b.ask("R"), Bytes{6});
    b.write("Q", {10}, 0.2); // User3
    EXPECT_EQ(b.ask("F")[15], b.meter.state().userPresets[8]);
}

TEST(SimPresets, UserTableWrittenIsReadBack)
{
    MeterBench b;
    Bytes table(36);
    std::iota(table.begin(), table.end(), 0x40);
    b.write("K", table, 0.2);
    b.clock.advance(1.0);
    b.take();
    b.send("C");
    b.clock.advance(0.01);
    Bytes got = b.take();
    EXPECT_LT(got.size(), 36u); // 36 bytes need about 21 ms
    b.clock.advance(0.02);
    const Bytes rest = b.take();
    got.insert(got.end(), rest.begin(), rest.end());
    EXPECT_EQ(got, table);
}

TEST(SimSetup, SettingsByteWrittenShowsInTheStatusFrame)
{
    MeterBench b;
    b.write("_", {0x35, 0x00, 0x00});
    const Bytes f = b.ask("F");
    ASSERT_EQ(f.size(), 19u);
    EXPECT_EQ(f[15], 0x35);
    const int level = f[1] | f[2] << 8;
    EXPECT_GE(level, 600); // now the 60-130 range
    EXPECT_LE(level, 1300);
}

TEST(SimRecording, IntervalPeriodRepeatMaskAndTableRoundTrip)
{
    MeterBench b;
    EXPECT_EQ(b.ask("E"), Bytes{8});
    EXPECT_EQ(b.ask("G"), Bytes{0});
    EXPECT_EQ(b.ask("H"), Bytes{255});
    EXPECT_EQ(b.ask("U"), (Bytes{0, 0}));

    b.write("V", {3}, 0.1);
    b.write("O", {5}, 0.1);
    b.write("P", {'F'}, 0.1); // a parameter byte that looks like a command is a parameter
    b.write("T", {0x80, 0x01}, 0.1);
    Bytes table(96, 0);
    table[0] = 0; // Any
    table[1] = 5;
    table[2] = 30;
    table[3] = 12;
    table[4] = 23;
    table[5] = 59;
    table[95] = 255;
    b.write("J", table, 0.1);

    EXPECT_EQ(b.ask("E"), Bytes{3});
    EXPECT_EQ(b.ask("G"), Bytes{5});
    EXPECT_EQ(b.ask("H"), Bytes{'F'});
    EXPECT_EQ(b.ask("U"), (Bytes{0x80, 0x01})); // high byte first
    EXPECT_EQ(b.ask("B"), table);

    b.write("V", {0}, 0.1);  // not an interval: refused
    b.write("O", {12}, 0.1); // not a period: refused
    EXPECT_EQ(b.ask("E"), Bytes{3});
    EXPECT_EQ(b.ask("G"), Bytes{5});
}

TEST(SimRecording, StartNeedsItsClosingY)
{
    MeterBench b;
    b.send("Y");
    EXPECT_FALSE(b.meter.state().recording);
    b.send("X");
    EXPECT_FALSE(b.meter.state().recording);
    b.clock.advance(0.2);
    b.send("Y");
    EXPECT_TRUE(b.meter.state().recording);
    EXPECT_FALSE(b.meter.state().scheduled);
    EXPECT_EQ(b.ask("F")[8] & 0x01, 0x01); // REC shown
    b.send("W");
    b.send("Y");
    EXPECT_TRUE(b.meter.state().scheduled);
}

TEST(SimClock, RunsWithTheClockAndIsSetByL)
{
    MeterBench b;
    EXPECT_EQ(b.ask("D"), (Bytes{0x00, 0x00, 0x09, 18, 3, 26}));
    b.clock.advance(3661.0);
    EXPECT_EQ(b.ask("D"), (Bytes{0x01, 0x01, 0x10, 18, 3, 26}));

    b.write("L", {0x58, 0x59, 0x23, 31, 12, 26});
    b.clock.advance(2.0); // set 0.2 s ago at 23:59:58
    EXPECT_EQ(b.ask("D"), (Bytes{0x00, 0x00, 0x00, 1, 1, 27}));

    b.write("L", {0x00, 0x60, 0x12, 1, 1, 27});  // minute 60: refused
    b.write("L", {0x00, 0x00, 0x12, 30, 2, 27}); // 30 February: refused
    EXPECT_EQ(b.ask("D")[3], 1);
}

TEST(SimMemory, StatusDumpAndErase)
{
    MeterBench b;
    const Bytes a = b.ask("A");
    ASSERT_EQ(a.size(), 6u);
    EXPECT_EQ(a[0], 0x02);
    EXPECT_EQ(a[1], 6);
    EXPECT_EQ(a[5], 0x03);
    const int memEnd = a[2] << 16 | a[3] << 8 | a[4];
    EXPECT_EQ(memEnd, b.meter.memEnd());
    EXPECT_GT(memEnd, 3584);

    b.take();
    b.send("I");
    b.clock.advance(static_cast<double>(memEnd - 3584) * VirtualMeter::byteTime + 0.01);
    const Bytes image = b.take();
    EXPECT_EQ(image.size(), static_cast<std::size_t>(memEnd - 3584));
    EXPECT_EQ(image, b.meter.state().logger);
    EXPECT_EQ(Bytes(image.begin(), image.begin() + 4), (Bytes{0x00, 0x55, 0xAA, 0x00}));

    b.send("S");
    b.clock.advance(0.1);
    EXPECT_EQ(b.ask("A"), (Bytes{0x02, 6, 0x00, 0x0E, 0x00, 0x03}));
    EXPECT_TRUE(b.ask("I", 1.0).empty());
}

TEST(SimMemory, EmptyAndFilledLoggers)
{
    MeterBench empty(VirtualMeterOptions{.logger = LoggerContent::empty});
    EXPECT_EQ(empty.meter.memEnd(), 3584);

    MeterBench full(VirtualMeterOptions{.logger = LoggerContent::filled, .fillBytes = 192 * 1024});
    const Bytes a = full.ask("A");
    ASSERT_EQ(a.size(), 6u);
    const int memEnd = a[2] << 16 | a[3] << 8 | a[4];
    EXPECT_LE(memEnd, a[1] * 32767); // fits the memory it states
    EXPECT_GT(memEnd - 3584, 192 * 1024 - 100);
    EXPECT_LE(memEnd - 3584, 192 * 1024);
}

TEST(SimService, RangeValuesAreKept)
{
    MeterBench b;
    b.write("a", {0x7F});
    b.write("b", {0x12});
    EXPECT_EQ(b.meter.state().serviceValue130, 0x7F);
    EXPECT_EQ(b.meter.state().serviceValue140, 0x12);
    EXPECT_EQ(b.ask("F").size(), 19u); // and the meter goes on answering
}

TEST(SimKeys, MenuChangesTheSettingsAndTheDisplay)
{
    MeterBench b;
    b.send("^"); // Menu: first page, time weighting
    Bytes f = b.ask("F");
    EXPECT_EQ(f[8] & 0x04, 0x04); // MENU lit
    b.send("N");                  // Right: frequency weighting
    b.send("Z");                  // Up: "C"
    f = b.ask("F");
    EXPECT_EQ(f[15], 0x80); // not yet taken
    EXPECT_EQ(f[6], 0x39);  // "C" shown as the value
    b.send("]");            // Enter
    EXPECT_EQ(b.ask("F")[15], 0x84);
    b.send("\\"); // Left: back to time weighting
    b.send("[");  // Down: Slow -> Imp
    b.send("]");
    b.send("^"); // leave the menu
    f = b.ask("F");
    EXPECT_EQ(f[15], 0x86);
    EXPECT_EQ(f[8] & 0x04, 0x00);
    EXPECT_EQ(f[7] & 0x12, 0x12); // "C" and "IMP" lit
}

TEST(SimParameters, CompletedLaterOrAbandonedAfterATimeout)
{
    MeterBench b;
    // Parameters in pieces, well inside the wait, complete the command.
    b.send("J");
    b.clock.advance(0.1);
    b.send(Bytes(50, 1));
    b.clock.advance(0.5);
    b.send(Bytes(46, 2));
    Bytes expect(96, 1);
    std::fill(expect.begin() + 50, expect.end(), 2);
    EXPECT_EQ(b.ask("B"), expect);

    // A command whose parameter never comes is dropped; the next command is answered.
    b.send("Q");
    b.clock.advance(1.5);
    const Bytes f = b.ask("F");
    EXPECT_EQ(f.size(), 19u);
    EXPECT_EQ(b.ask("R"), Bytes{0});

    // Within the wait the same byte would have been the parameter.
    b.send("P");
    b.clock.advance(0.5);
    EXPECT_TRUE(b.ask("F").empty());
    EXPECT_EQ(b.ask("H"), Bytes{'F'});
}

} // namespace
} // namespace km740
