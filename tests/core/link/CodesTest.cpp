// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/link/Codes.h"

#include <gtest/gtest.h>

using namespace km740;

TEST(Codes, SettingsByteDecodesEveryField)
{
    auto s = DecodeSettings(0x00, 0, 0);
    EXPECT_EQ(s.timeWeightingText, "Slow");
    EXPECT_EQ(s.freqWeightingText, "A");
    EXPECT_EQ(s.averageText, "Lavg");
    EXPECT_EQ(s.peakText, "Llpk");
    EXPECT_EQ(s.rangeTop, 140);
    EXPECT_EQ(s.exchangeRate, 3);

    s = DecodeSettings(0xFF, 0, 0);
    EXPECT_EQ(s.timeWeightingText, "Imp");
    EXPECT_EQ(s.freqWeightingText, "C");
    EXPECT_EQ(s.averageText, "min");
    EXPECT_EQ(s.peakText, "Lcpk");
    EXPECT_EQ(s.rangeTop, 130);
    EXPECT_EQ(s.exchangeRate, 6);

    s = DecodeSettings(0x25, 0, 0);
    EXPECT_EQ(s.timeWeightingText, "Fast");
    EXPECT_EQ(s.freqWeightingText, "C");
    EXPECT_EQ(s.averageText, "Lavg");
    EXPECT_EQ(s.peakText, "Llpk");
    EXPECT_EQ(s.rangeTop, 130);
    EXPECT_EQ(s.exchangeRate, 3);

    EXPECT_EQ(DecodeSettings(0x02, 0, 0).timeWeightingText, "Imp");
    EXPECT_EQ(DecodeSettings(0x40, 0, 0).exchangeRate, 4);
    EXPECT_EQ(DecodeSettings(0x80, 0, 0).exchangeRate, 5);
}

TEST(Codes, SettingsByteEncodesBackToTheSameByte)
{
    for (int b = 0; b < 256; ++b) {
        if ((b & 3) == 3)
            continue; // 2 and 3 both mean "Imp"; the program writes 2
        auto s = DecodeSettings(static_cast<std::uint8_t>(b), 0, 0);
        int t = s.timeWeightingText == "Slow" ? 0 : s.timeWeightingText == "Fast" ? 1 : 2;
        EXPECT_EQ(EncodeSettings(t, s.freqWeightingText == "C", s.averageText == "min", s.peakText == "Lcpk",
                                 s.rangeTop == 130, s.exchangeRate),
                  b);
    }
}

TEST(Codes, ThresholdAndCriterion)
{
    EXPECT_EQ(DecodeSettings(0, 255, 0).thresholdLevel, 80);
    EXPECT_EQ(DecodeSettings(0, 75, 0).thresholdLevel, 75);
    EXPECT_EQ(DecodeSettings(0, 0, 0).criterionLevel, 80);
    EXPECT_EQ(DecodeSettings(0, 0, 1).criterionLevel, 84);
    EXPECT_EQ(DecodeSettings(0, 0, 2).criterionLevel, 85);
    EXPECT_EQ(DecodeSettings(0, 0, 3).criterionLevel, 90);
    EXPECT_FALSE(DecodeSettings(0, 0, 7).criterionLevel.has_value());
    EXPECT_EQ(CriterionLevelToCode(85), 2);
    EXPECT_FALSE(CriterionLevelToCode(86).has_value());
}

TEST(Codes, FormatLevelWithPointAndComma)
{
    auto l = FormatLevel(0x35, 0x03, Regional::point());
    EXPECT_DOUBLE_EQ(l.value, 82.1);
    EXPECT_EQ(l.text, "82.1");
    EXPECT_EQ(FormatLevel(0x35, 0x03, Regional::comma()).text, "82,1");
    EXPECT_EQ(FormatLevel(5, 0, Regional::point()).text, "0.5");
    EXPECT_EQ(FormatLevel(0, 0, Regional::point()).text, "0.0");
    EXPECT_EQ(FormatLevel(0xFF, 0xFF, Regional::point()).text, "6553.5");
}

TEST(Codes, SegmentsFollowTheBitsOfEachByte)
{
    std::array<std::uint8_t, 12> b{};
    b[0] = 0x01;
    b[11] = 0x80;
    b[5] = 0xA5;
    auto bits = ShowSegments(b);
    EXPECT_TRUE(bits[0][0]);
    EXPECT_FALSE(bits[0][1]);
    EXPECT_TRUE(bits[11][7]);
    EXPECT_FALSE(bits[11][6]);
    EXPECT_TRUE(bits[5][0] && bits[5][2] && bits[5][5] && bits[5][7]);
    EXPECT_FALSE(bits[5][1] || bits[5][3] || bits[5][4] || bits[5][6]);
}

TEST(Codes, IntervalAndDurationTablesBothWays)
{
    for (int c = 1; c <= 15; ++c)
        EXPECT_EQ(IntervalToCode(*IntervalCodeToText(c)), c);
    EXPECT_EQ(IntervalToCode(" 1 Sec"), 1);
    EXPECT_EQ(IntervalToCode("60 Min"), 15);
    EXPECT_FALSE(IntervalToCode("1 Sec").has_value());
    EXPECT_FALSE(IntervalToCode("Off").has_value());
    EXPECT_FALSE(IntervalCodeToText(0).has_value());
    EXPECT_FALSE(IntervalCodeToText(16).has_value());
    EXPECT_EQ(IntervalCodeToSeconds(8), 60);
    EXPECT_EQ(IntervalCodeToSeconds(15), 3600);

    for (int c = 0; c <= 11; ++c)
        EXPECT_EQ(DurationToCode(*DurationCodeToText(c)), c);
    EXPECT_EQ(DurationToCode("Off"), 0);
    EXPECT_EQ(DurationCodeToText(8), " 8 Hour");
    EXPECT_FALSE(DurationToCode("8 Hour").has_value());
    EXPECT_FALSE(DurationCodeToText(12).has_value());
}

TEST(Codes, AnyFieldsOfTheTimedTable)
{
    EXPECT_EQ(DayToCode("Any"), 0);
    EXPECT_EQ(DayToCode("12"), 12);
    EXPECT_EQ(TimeToCode("Any"), 255);
    EXPECT_EQ(TimeToCode("0"), 0);
    EXPECT_EQ(DayCodeToText(0), "Any");
    EXPECT_EQ(DayCodeToText(255), "Any");
    EXPECT_EQ(DayCodeToText(3), "3");
    EXPECT_EQ(TimeCodeToText(255), "Any");
    EXPECT_EQ(TimeCodeToText(0), "0");
}
