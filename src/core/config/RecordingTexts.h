// SPDX-License-Identifier: GPL-3.0-or-later
// The recording window's texts and the codes they stand for: what the five
// reads show, and what the writes send. Shared by the window and km740-tool.
#pragma once

#include "core/common/Result.h"
#include "core/link/Replies.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace km740 {

class MeterLink;

// What the recording window is opened with: "B", "E", "G", "H", "U".
struct RecordingRead {
    TimedTable table;
    std::uint8_t intervalCode = 1;
    std::uint8_t periodCode = 0;
    std::uint8_t repeat = repeatAlways;
    std::uint16_t enableMask = 0;
};
// The five reads, in that order; the first failure ends them.
Result<RecordingRead> readRecordingSettings(MeterLink& link);

// The six fields of a schedule row.
enum class ScheduleField { startDay, startHour, startMinute, stopDay, stopHour, stopMinute };
inline constexpr int scheduleFieldCount = 6;

struct ScheduleRowTexts {
    std::array<std::string, scheduleFieldCount> cells{"Any", "0", "0", "Any", "0", "0"};
    bool enabled = false;
    bool operator==(const ScheduleRowTexts&) const = default;
};

struct RecordingTexts {
    std::string interval = " 1 Sec";
    std::string period = "Off";
    std::string repeat = "Always";
    std::array<ScheduleRowTexts, TimedTable::count> rows{};
    bool operator==(const RecordingTexts&) const = default;
};

// The pick lists.
const std::vector<std::string>& dayItems();    // "Any", "1" .. "31"
const std::vector<std::string>& hourItems();   // "0" .. "23"
const std::vector<std::string>& minuteItems(); // "0" .. "59"
const std::vector<std::string>& repeatItems(); // "Always", "0" .. "19"
const std::vector<std::string>& intervalItems();
const std::vector<std::string>& periodItems();
const std::vector<std::string>& scheduleFieldItems(ScheduleField field);

// True when a schedule field's text is one the window can hold: listed, or
// "Any" for an hour or minute (the meter's 255).
bool isScheduleText(ScheduleField field, std::string_view text);

// The texts the window shows for what was read. A code no list holds shows
// as "code N", which is written back as that same byte.
RecordingTexts recordingTextsFrom(const RecordingRead& read);

// The schedule is in use when no single period is chosen.
bool scheduleInUse(const RecordingTexts& texts);

// Texts to codes; "code N" gives N back, any other text that is not listed
// is refused with a message naming it.
Result<std::uint8_t> intervalCodeFrom(std::string_view text);
Result<std::uint8_t> periodCodeFrom(std::string_view text);
Result<std::uint8_t> repeatCodeFrom(std::string_view text);
// Everything Setup and the schedule's Start write ("V", "O", "J", "P", "T").
Result<RecordingSetup> recordingSetupFrom(const RecordingTexts& texts);

} // namespace km740
