// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/common/Regional.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace km740 {

// What the settings byte and the threshold and criterion codes say.
struct MeterSettings {
    std::string timeWeightingText;     // "Slow", "Fast", "Imp"
    std::string freqWeightingText;     // "A", "C"
    std::string averageText;           // "Lavg", "min"
    std::string peakText;              // "Lcpk", "Llpk"
    int rangeTop = 140;                // 130 or 140; the range is rangeTop - 70 .. rangeTop
    int exchangeRate = 3;              // 3, 4, 5, 6 dB
    int thresholdLevel = 0;            // dB
    std::optional<int> criterionLevel; // dB; empty for a code outside 0..3
};

// Splits a settings byte and reads the threshold and criterion codes.
MeterSettings DecodeSettings(std::uint8_t settings, int thresholdCode, int criterionCode);

// The settings byte for the given fields (the inverse of DecodeSettings).
// timeWeighting 0 Slow, 1 Fast, 2 Imp; freqC, averageMin, peakC as flags;
// range130 for 60-130 dB; exchangeRate 3..6.
std::uint8_t EncodeSettings(int timeWeighting, bool freqC, bool averageMin, bool peakC, bool range130,
                            int exchangeRate);

// Criterion code 0..3 -> 80, 84, 85, 90 dB.
std::optional<int> CriterionCodeToLevel(int code);
std::optional<int> CriterionLevelToCode(int level);
// Threshold code: the level in dB, 255 stands for 80.
int ThresholdCodeToLevel(int code);

// A level as the meter sends it: two bytes, tenths of a dB, low byte first.
struct Level {
    double value = 0.0; // dB
    std::string text;   // one decimal, regional separator ("85.3" / "85,3")
};
Level FormatLevel(std::uint8_t low, std::uint8_t high, const Regional& regional);

// The display mirror: element i of LCDk is lit when bit i of byte k is set.
using SegmentBits = std::array<std::array<bool, 8>, 12>;
SegmentBits ShowSegments(const std::array<std::uint8_t, 12>& bytes);

// Logging interval codes 1..15 (" 1 Sec" .. "60 Min").
std::optional<int> IntervalToCode(std::string_view text);
std::optional<std::string> IntervalCodeToText(int code);
// Interval code -> seconds between records (1..3600); empty outside 1..15.
std::optional<int> IntervalCodeToSeconds(int code);

// Recording period codes 0..11 ("Off" .. "24 Hour").
std::optional<int> DurationToCode(std::string_view text);
std::optional<std::string> DurationCodeToText(int code);

// Timed-recording "Any" fields: a day of 0 and an hour or minute of 255.
int DayToCode(std::string_view text);
int TimeToCode(std::string_view text);
std::string DayCodeToText(int code);
std::string TimeCodeToText(int code);

// A byte the meter reported that no list names shows as "code N"; the same
// text turns back into that byte, so a value the user left alone is written
// back as it was read.
std::string unknownCodeText(int code);
// The byte of a "code N" text (N a whole number 0..255 without a sign or
// leading zero); empty for any other text.
std::optional<std::uint8_t> unknownCodeValue(std::string_view text);

// The texts of the tables, in code order, for filling pick lists.
const std::array<std::string_view, 15>& intervalTexts(); // codes 1..15
const std::array<std::string_view, 12>& durationTexts(); // codes 0..11

} // namespace km740
