// SPDX-License-Identifier: GPL-3.0-or-later
// The meter's replies and parameter blocks: fixed layouts, decoded by pure
// functions that check the length they read before they read it.
#pragma once

#include "core/common/Regional.h"
#include "core/link/Codes.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace km740 {

// ---------------------------------------------------------------- "F"

// The 19-byte live status frame.
struct StatusFrame {
    static constexpr std::size_t size = 19;
    static constexpr std::uint8_t start = 0x02; // byte 1
    static constexpr std::uint8_t end = 0x03;   // byte 19

    std::uint8_t levelLow = 0; // bytes 2, 3: level, tenths of a dB
    std::uint8_t levelHigh = 0;
    std::array<std::uint8_t, 12> segments{}; // bytes 4..15: LCD1..LCD12
    std::uint8_t settings = 0;               // byte 16: the settings byte
    std::uint8_t peakLow = 0;                // bytes 17, 18: peak, tenths of a dB
    std::uint8_t peakHigh = 0;
};

// A frame when the reply holds at least 19 bytes, starts with 0x02 and has
// 0x03 as byte 19; bytes after byte 19 are ignored.
std::optional<StatusFrame> decodeStatusFrame(std::span<const std::uint8_t> reply);
// The 19 bytes of a frame (what the meter sends).
std::array<std::uint8_t, StatusFrame::size> encodeStatusFrame(const StatusFrame& frame);

// What the main window shows from one status frame.
struct PanelTexts {
    std::string level;         // LbldB, "85.3" / "85,3"
    double levelValue = 0.0;   // dB
    std::string peak;          // PlPeak: "120", "103.5", or "< 103" / "< 93"
    std::string timeWeighting; // PlFSI: "Slow", "Fast", "Imp"
    std::string freqWeighting; // PlAC: "A", "C"
    std::string average;       // "Lavg", "min"
    std::string peakType;      // "Lcpk", "Llpk"
    int rangeTop = 140;        // 130 or 140
    std::string range;         // PlRange: "70-140" / "60-130"
    int exchangeRate = 3;      // PlExchangeRate: 3..6 dB
};
PanelTexts panelTexts(const StatusFrame& frame, const Regional& regional);

// The peak text: "< 103" (70-140 range) or "< 93" (60-130) outside 10..1599
// tenths, else the value in the general number format.
std::string peakText(std::uint16_t tenths, int rangeTop, const Regional& regional);

// ---------------------------------------------------------------- grave accent

// The 8-byte calibration record.
struct CalibrationReply {
    static constexpr std::size_t size = 8;

    std::uint8_t second = 0;   // BCD
    std::uint8_t minute = 0;   // BCD
    std::uint8_t hour = 0;     // BCD
    std::uint8_t day = 0;      // plain number
    std::uint8_t month = 0;    // plain number
    std::uint8_t year = 0;     // within the century, plain number
    std::uint8_t levelLow = 0; // calibration level, tenths of a dB
    std::uint8_t levelHigh = 0;
};

// A record when the reply holds at least 8 bytes.
std::optional<CalibrationReply> decodeCalibration(std::span<const std::uint8_t> reply);
std::array<std::uint8_t, CalibrationReply::size> encodeCalibration(const CalibrationReply& cal);

struct CalibrationTexts {
    std::string time;  // PlCalTime, "2018/03/07 14:30:05"
    std::string level; // PlCaldB, "101" / "93.5"
};
CalibrationTexts calibrationTexts(const CalibrationReply& cal, const Regional& regional);

// ---------------------------------------------------------------- "A"

// The 6-byte logger memory status.
struct MemoryStatus {
    static constexpr std::size_t size = 6;
    static constexpr std::uint32_t blockBytes = 32767; // capacity of one block
    static constexpr std::uint32_t logStart = 3584;    // first address of the logging area

    int blocks = 0;             // MemBlocks: size in blocks of 32 K
    std::uint32_t end = 0;      // MemEnd: 24-bit end pointer
    std::uint32_t capacity = 0; // MemCapacity = blocks x 32767

    bool empty() const { return end == logStart; }
    // Bytes the "I" dump sends: MemEnd - 3584.
    std::size_t downloadSize() const { return end > logStart ? end - logStart : 0; }
};

// A status when the reply is exactly 6 bytes framed by 0x02 .. 0x03 and the
// end pointer does not lie before the logging area.
std::optional<MemoryStatus> decodeMemoryStatus(std::span<const std::uint8_t> reply);
std::array<std::uint8_t, MemoryStatus::size> encodeMemoryStatus(int blocks, std::uint32_t end);

// LblSize: blocks x 32 and " K" ("256 K").
std::string memorySizeText(const MemoryStatus& status);
// LblRemain: (capacity - end) / 1024 as "0.0" and " K"; "0 K" within 18 bytes of full.
std::string memoryRemainText(const MemoryStatus& status, const Regional& regional);

// ---------------------------------------------------------------- "C" / "K"

// One user preset: settings byte, threshold (twice) and criterion code.
struct UserPresetRecord {
    static constexpr std::size_t size = 4;

    std::uint8_t settings = 0;
    std::uint8_t threshold = 80;      // dB; 255 reads as 80
    std::uint8_t thresholdAgain = 80; // the same value; readers ignore it
    std::uint8_t criterionCode = 2;   // 0..3 -> 80, 84, 85, 90 dB

    MeterSettings decoded() const { return DecodeSettings(settings, threshold, criterionCode); }
    bool operator==(const UserPresetRecord&) const = default;
};

// The nine user presets User1..User9, record k at byte 4k.
struct UserPresetTable {
    static constexpr std::size_t count = 9;
    static constexpr std::size_t size = count * UserPresetRecord::size; // 36

    std::array<UserPresetRecord, count> records{};
    bool operator==(const UserPresetTable&) const = default;
};
std::optional<UserPresetTable> decodeUserPresetTable(std::span<const std::uint8_t> reply);
std::array<std::uint8_t, UserPresetTable::size> encodeUserPresetTable(const UserPresetTable& table);

// Presets the meter knows: 0..7 standard, 8..16 User1..User9.
inline constexpr int presetCount = 17;
inline constexpr int firstUserPreset = 8;

// ---------------------------------------------------------------- "B" / "J"

// One timed recording: start and stop day (0 = "Any"), hour and minute
// (255 = "Any").
struct TimedEntry {
    static constexpr std::size_t size = 6;

    std::uint8_t startDay = 0;
    std::uint8_t startHour = 0;
    std::uint8_t startMinute = 0;
    std::uint8_t stopDay = 0;
    std::uint8_t stopHour = 0;
    std::uint8_t stopMinute = 0;
    bool operator==(const TimedEntry&) const = default;
};

// The schedule: 16 entries, entry i at byte 6i.
struct TimedTable {
    static constexpr std::size_t count = 16;
    static constexpr std::size_t size = count * TimedEntry::size; // 96

    std::array<TimedEntry, count> entries{};
    bool operator==(const TimedTable&) const = default;
};
std::optional<TimedTable> decodeTimedTable(std::span<const std::uint8_t> reply);
std::array<std::uint8_t, TimedTable::size> encodeTimedTable(const TimedTable& table);

// "U" / "T": enable mask, bit i = entry i, high byte first on the wire.
inline constexpr std::size_t enableMaskSize = 2;
std::optional<std::uint16_t> decodeEnableMask(std::span<const std::uint8_t> reply);
std::array<std::uint8_t, enableMaskSize> encodeEnableMask(std::uint16_t mask);

// "H" / "P": repeat count of the schedule.
inline constexpr std::uint8_t repeatAlways = 255;

// Everything the recording window writes ("V", "O", "J", "P", "T").
struct RecordingSetup {
    std::uint8_t intervalCode = 1; // 1..15
    std::uint8_t periodCode = 0;   // 0..11, 0 = "Off" (the schedule is used)
    TimedTable table;
    std::uint8_t repeat = repeatAlways;
    std::uint16_t enableMask = 0;
};

// ---------------------------------------------------------------- "D" / "L"

// A civil date and time (the computer's, or one to set).
struct DateTime {
    int year = 2000; // full year, 2000..2099 reach the meter
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The 6-byte clock record of "D" and "L".
struct ClockRecord {
    static constexpr std::size_t size = 6;

    std::uint8_t second = 0; // BCD
    std::uint8_t minute = 0; // BCD
    std::uint8_t hour = 0;   // BCD
    std::uint8_t day = 1;    // plain number
    std::uint8_t month = 1;  // plain number
    std::uint8_t year = 0;   // within the century, plain number
    bool operator==(const ClockRecord&) const = default;
};

// A record when the reply is exactly 6 bytes.
std::optional<ClockRecord> decodeClock(std::span<const std::uint8_t> reply);
std::array<std::uint8_t, ClockRecord::size> encodeClock(const ClockRecord& clock);
// The record for a date and time: time fields in BCD, date fields plain.
ClockRecord clockRecordFor(const DateTime& when);
// LblMeterTime: "yy/mm/dd hh:nn:ss", the time bytes as two hex digits each.
std::string meterClockText(const ClockRecord& clock);

// ---------------------------------------------------------------- small helpers

// "0" put in front and the last two characters kept, of the decimal / hex text.
std::string twoDigitDecimal(unsigned value);
std::string twoDigitHex(unsigned value);

} // namespace km740
