// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/link/Codes.h"

#include "core/common/Digits.h"

#include <string>

namespace km740 {

namespace {

constexpr std::array<std::string_view, 15> kIntervals = {" 1 Sec", " 2 Sec", " 5 Sec", "10 Sec", "15 Sec",
                                                         "20 Sec", "30 Sec", " 1 Min", " 2 Min", " 5 Min",
                                                         "10 Min", "15 Min", "20 Min", "30 Min", "60 Min"};
constexpr std::array<int, 15> kIntervalSeconds = {1, 2, 5, 10, 15, 20, 30, 60, 120, 300, 600, 900, 1200, 1800, 3600};
constexpr std::array<std::string_view, 12> kDurations = {"Off",     " 5 Min",  "10 Min",  "15 Min",
                                                         "30 Min",  " 1 Hour", " 2 Hour", " 4 Hour",
                                                         " 8 Hour", "10 Hour", "12 Hour", "24 Hour"};
constexpr std::array<int, 4> kCriteria = {80, 84, 85, 90};

} // namespace

std::optional<int> CriterionCodeToLevel(int code)
{
    if (code < 0 || code > 3)
        return std::nullopt;
    return kCriteria[static_cast<std::size_t>(code)];
}

std::optional<int> CriterionLevelToCode(int level)
{
    for (std::size_t i = 0; i < kCriteria.size(); ++i)
        if (kCriteria[i] == level)
            return static_cast<int>(i);
    return std::nullopt;
}

int ThresholdCodeToLevel(int code)
{
    return code == 255 ? 80 : code;
}

MeterSettings DecodeSettings(std::uint8_t settings, int thresholdCode, int criterionCode)
{
    MeterSettings s;
    s.thresholdLevel = ThresholdCodeToLevel(thresholdCode);
    s.criterionLevel = CriterionCodeToLevel(criterionCode);
    const int t = settings & 0x03;
    const bool f = settings & 0x04;
    const bool a = settings & 0x08;
    const bool p = settings & 0x10;
    const bool g = settings & 0x20;
    const int e = (settings >> 6) & 0x03;
    s.timeWeightingText = t == 0 ? "Slow" : t == 1 ? "Fast" : "Imp";
    s.freqWeightingText = f ? "C" : "A";
    s.averageText = a ? "min" : "Lavg";
    s.peakText = p ? "Lcpk" : "Llpk";
    s.rangeTop = g ? 130 : 140;
    s.exchangeRate = 3 + e;
    return s;
}

std::uint8_t EncodeSettings(int timeWeighting, bool freqC, bool averageMin, bool peakC, bool range130, int exchangeRate)
{
    int e = exchangeRate < 3 ? 0 : exchangeRate > 6 ? 3 : exchangeRate - 3;
    int t = timeWeighting < 0 ? 0 : timeWeighting > 2 ? 2 : timeWeighting;
    return static_cast<std::uint8_t>(t | (freqC ? 0x04 : 0) | (averageMin ? 0x08 : 0) | (peakC ? 0x10 : 0) |
                                     (range130 ? 0x20 : 0) | (e << 6));
}

Level FormatLevel(std::uint8_t low, std::uint8_t high, const Regional& regional)
{
    const int raw = high * 256 + low;
    Level level;
    level.value = raw / 10.0;
    level.text = formatFixed(level.value, 1, regional);
    return level;
}

SegmentBits ShowSegments(const std::array<std::uint8_t, 12>& bytes)
{
    SegmentBits bits{};
    for (std::size_t k = 0; k < 12; ++k)
        for (std::size_t i = 0; i < 8; ++i)
            bits[k][i] = (bytes[k] >> i) & 1;
    return bits;
}

std::optional<int> IntervalToCode(std::string_view text)
{
    for (std::size_t i = 0; i < kIntervals.size(); ++i)
        if (kIntervals[i] == text)
            return static_cast<int>(i) + 1;
    return std::nullopt;
}

std::optional<std::string> IntervalCodeToText(int code)
{
    if (code < 1 || code > 15)
        return std::nullopt;
    return std::string(kIntervals[static_cast<std::size_t>(code - 1)]);
}

std::optional<int> IntervalCodeToSeconds(int code)
{
    if (code < 1 || code > 15)
        return std::nullopt;
    return kIntervalSeconds[static_cast<std::size_t>(code - 1)];
}

std::optional<int> DurationToCode(std::string_view text)
{
    for (std::size_t i = 0; i < kDurations.size(); ++i)
        if (kDurations[i] == text)
            return static_cast<int>(i);
    return std::nullopt;
}

std::optional<std::string> DurationCodeToText(int code)
{
    if (code < 0 || code > 11)
        return std::nullopt;
    return std::string(kDurations[static_cast<std::size_t>(code)]);
}

int DayToCode(std::string_view text)
{
    return text == "Any" ? 0 : static_cast<int>(numericPrefix(text));
}

int TimeToCode(std::string_view text)
{
    return text == "Any" ? 255 : static_cast<int>(numericPrefix(text));
}

std::string DayCodeToText(int code)
{
    return code == 0 || code == 255 ? "Any" : std::to_string(code);
}

std::string TimeCodeToText(int code)
{
    return code == 255 ? "Any" : std::to_string(code);
}

std::string unknownCodeText(int code)
{
    return "code " + std::to_string(code);
}

std::optional<std::uint8_t> unknownCodeValue(std::string_view text)
{
    constexpr std::string_view prefix = "code ";
    if (text.substr(0, prefix.size()) != prefix)
        return std::nullopt;
    const std::string_view digits = text.substr(prefix.size());
    const auto n = decimalDigits(digits, 3);
    if (!n || *n > 255 || (digits.size() > 1 && digits[0] == '0'))
        return std::nullopt;
    return static_cast<std::uint8_t>(*n);
}

const std::array<std::string_view, 15>& intervalTexts()
{
    return kIntervals;
}
const std::array<std::string_view, 12>& durationTexts()
{
    return kDurations;
}

} // namespace km740
