// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/link/Replies.h"
#include "support/StatusFrames.h"

#include <gtest/gtest.h>

using namespace km740;

TEST(Replies, StatusFramePanelTexts)
{
    auto t = panelTexts(test::statusFrame(0x52, 0x03, 0x00, 0xB0, 0x04), Regional::point());
    EXPECT_EQ(t.level, "85.0");
    EXPECT_EQ(t.peak, "120");
    EXPECT_EQ(t.range, "70-140");
    EXPECT_EQ(t.exchangeRate, 3);
    EXPECT_EQ(panelTexts(test::statusFrame(0x52, 0x03, 0, 0x0B, 0x04), Regional::comma()).peak, "103,5");
    EXPECT_EQ(panelTexts(test::statusFrame(0x52, 0x03, 0, 0, 0), Regional::comma()).level, "85,0");

    // Peak outside 10..1599 tenths: the text depends on the range.
    EXPECT_EQ(panelTexts(test::statusFrame(0, 0, 0x00, 5, 0), Regional::point()).peak, "< 103");
    EXPECT_EQ(panelTexts(test::statusFrame(0, 0, 0x20, 5, 0), Regional::point()).peak, "< 93");
    EXPECT_EQ(panelTexts(test::statusFrame(0, 0, 0x00, 0x40, 0x06), Regional::point()).peak, "< 103");
    EXPECT_EQ(panelTexts(test::statusFrame(0, 0, 0x00, 0x3F, 0x06), Regional::point()).peak, "159.9");
    EXPECT_EQ(panelTexts(test::statusFrame(0, 0, 0x00, 10, 0), Regional::point()).peak, "1");
}

TEST(Replies, StatusFrameFramingAndLength)
{
    auto bytes = encodeStatusFrame(test::statusFrame(1, 2, 3, 4, 5));
    std::vector<std::uint8_t> longer(bytes.begin(), bytes.end());
    longer.push_back(0x99); // bytes after byte 19 are ignored
    auto f = decodeStatusFrame(longer);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->settings, 3);
    EXPECT_EQ(f->peakHigh, 5);

    EXPECT_FALSE(decodeStatusFrame(std::span(bytes).first(18)));
    auto bad = bytes;
    bad[18] = 0x02;
    EXPECT_FALSE(decodeStatusFrame(bad));
    bad = bytes;
    bad[0] = 0x03;
    EXPECT_FALSE(decodeStatusFrame(bad));
    EXPECT_FALSE(decodeStatusFrame({}));
}

TEST(Replies, CalibrationRecord)
{
    // A year of 123 keeps its last two digits, as the meter's texts do.
    const std::uint8_t reply[] = {0x05, 0x30, 0x14, 7, 3, 123, 0xA7, 0x03};
    auto c = decodeCalibration(reply);
    ASSERT_TRUE(c);
    EXPECT_EQ(calibrationTexts(*c, Regional::comma()).time, "2023/03/07 14:30:05");
    EXPECT_EQ(calibrationTexts(*c, Regional::comma()).level, "93,5");
    EXPECT_FALSE(decodeCalibration(std::span(reply).first(7)));
}

TEST(Replies, MemoryStatus)
{
    auto bytes = encodeMemoryStatus(8, 3584);
    auto m = decodeMemoryStatus(bytes);
    ASSERT_TRUE(m);
    EXPECT_TRUE(m->empty());
    EXPECT_EQ(m->capacity, 8u * 32767u);
    EXPECT_EQ(memorySizeText(*m), "256 K");
    EXPECT_EQ(memoryRemainText(*m, Regional::comma()), "252,5 K");

    const std::uint8_t big[] = {0x02, 8, 0x03, 0xFF, 0xE8, 0x03}; // 262120 = capacity - 16
    m = decodeMemoryStatus(big);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->end, 262120u);
    EXPECT_EQ(m->downloadSize(), 262120u - 3584u);
    EXPECT_EQ(memoryRemainText(*m, Regional::point()), "0 K");

    const std::uint8_t beforeLog[] = {0x02, 8, 0x00, 0x0D, 0xFF, 0x03};
    EXPECT_FALSE(decodeMemoryStatus(beforeLog));
    EXPECT_FALSE(decodeMemoryStatus(std::span(big).first(5)));
    const std::uint8_t unframed[] = {0x02, 8, 0x00, 0x0E, 0x00, 0x00};
    EXPECT_FALSE(decodeMemoryStatus(unframed));
}

TEST(Replies, ParameterTablesRoundTrip)
{
    UserPresetTable presets;
    presets.records[3] = UserPresetRecord{0x75, 75, 75, 2};
    auto pb = encodeUserPresetTable(presets);
    EXPECT_EQ(pb[12], 0x75);
    EXPECT_EQ(pb[15], 2);
    EXPECT_EQ(decodeUserPresetTable(pb), presets);
    EXPECT_FALSE(decodeUserPresetTable(std::span(pb).first(35)));
    auto user4 = presets.records[3].decoded();
    EXPECT_EQ(user4.timeWeightingText, "Fast");
    EXPECT_EQ(user4.exchangeRate, 4);
    EXPECT_EQ(user4.criterionLevel, 85);

    TimedTable timed;
    timed.entries[15] = TimedEntry{0, 5, 30, 12, 23, 59};
    auto tb = encodeTimedTable(timed);
    EXPECT_EQ(std::vector<std::uint8_t>(tb.begin() + 90, tb.end()), (std::vector<std::uint8_t>{0, 5, 30, 12, 23, 59}));
    EXPECT_EQ(decodeTimedTable(tb), timed);
    EXPECT_FALSE(decodeTimedTable(std::span(tb).first(95)));

    const std::uint8_t mask[] = {0x12, 0x34};
    EXPECT_EQ(decodeEnableMask(mask), 0x1234);
    EXPECT_FALSE(decodeEnableMask(std::span(mask).first(1)));
}
