// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/link/Replies.h"

#include <cstdio>

namespace km740 {

namespace {

std::uint16_t word(std::uint8_t low, std::uint8_t high)
{
    return static_cast<std::uint16_t>(high * 256 + low);
}

std::string lastTwo(std::string text)
{
    text.insert(text.begin(), '0');
    return text.substr(text.size() - 2);
}

} // namespace

std::string twoDigitDecimal(unsigned value)
{
    return lastTwo(std::to_string(value));
}

std::string twoDigitHex(unsigned value)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%X", value);
    return lastTwo(buf);
}

// ---------------------------------------------------------------- "F"

std::optional<StatusFrame> decodeStatusFrame(std::span<const std::uint8_t> reply)
{
    if (reply.size() < StatusFrame::size)
        return std::nullopt;
    if (reply[0] != StatusFrame::start || reply[18] != StatusFrame::end)
        return std::nullopt;
    StatusFrame f;
    f.levelLow = reply[1];
    f.levelHigh = reply[2];
    for (std::size_t k = 0; k < f.segments.size(); ++k)
        f.segments[k] = reply[3 + k];
    f.settings = reply[15];
    f.peakLow = reply[16];
    f.peakHigh = reply[17];
    return f;
}

std::array<std::uint8_t, StatusFrame::size> encodeStatusFrame(const StatusFrame& f)
{
    std::array<std::uint8_t, StatusFrame::size> b{};
    b[0] = StatusFrame::start;
    b[1] = f.levelLow;
    b[2] = f.levelHigh;
    for (std::size_t k = 0; k < f.segments.size(); ++k)
        b[3 + k] = f.segments[k];
    b[15] = f.settings;
    b[16] = f.peakLow;
    b[17] = f.peakHigh;
    b[18] = StatusFrame::end;
    return b;
}

std::string peakText(std::uint16_t tenths, int rangeTop, const Regional& regional)
{
    if (tenths < 10 || tenths >= 1600)
        return rangeTop == 140 ? "< 103" : "< 93";
    return formatGeneral(tenths / 10.0, regional);
}

PanelTexts panelTexts(const StatusFrame& f, const Regional& regional)
{
    // The poll passes 0 for threshold and criterion; the panel shows its own.
    const MeterSettings s = DecodeSettings(f.settings, 0, 0);
    const Level level = FormatLevel(f.levelLow, f.levelHigh, regional);
    PanelTexts t;
    t.level = level.text;
    t.levelValue = level.value;
    t.timeWeighting = s.timeWeightingText;
    t.freqWeighting = s.freqWeightingText;
    t.average = s.averageText;
    t.peakType = s.peakText;
    t.rangeTop = s.rangeTop;
    t.range = std::to_string(s.rangeTop - 70) + "-" + std::to_string(s.rangeTop);
    t.exchangeRate = s.exchangeRate;
    t.peak = peakText(word(f.peakLow, f.peakHigh), s.rangeTop, regional);
    return t;
}

// ---------------------------------------------------------------- grave accent

std::optional<CalibrationReply> decodeCalibration(std::span<const std::uint8_t> reply)
{
    if (reply.size() < CalibrationReply::size)
        return std::nullopt;
    CalibrationReply c;
    c.second = reply[0];
    c.minute = reply[1];
    c.hour = reply[2];
    c.day = reply[3];
    c.month = reply[4];
    c.year = reply[5];
    c.levelLow = reply[6];
    c.levelHigh = reply[7];
    return c;
}

std::array<std::uint8_t, CalibrationReply::size> encodeCalibration(const CalibrationReply& c)
{
    return {c.second, c.minute, c.hour, c.day, c.month, c.year, c.levelLow, c.levelHigh};
}

CalibrationTexts calibrationTexts(const CalibrationReply& c, const Regional& regional)
{
    CalibrationTexts t;
    // Date bytes are plain numbers, time bytes BCD: their hex digits read as decimal.
    t.time = "20" + twoDigitDecimal(c.year) + "/" + twoDigitDecimal(c.month) + "/" + twoDigitDecimal(c.day) + " " +
             twoDigitHex(c.hour) + ":" + twoDigitHex(c.minute) + ":" + twoDigitHex(c.second);
    t.level = formatGeneral(word(c.levelLow, c.levelHigh) / 10.0, regional);
    return t;
}

// ---------------------------------------------------------------- "A"

std::optional<MemoryStatus> decodeMemoryStatus(std::span<const std::uint8_t> reply)
{
    if (reply.size() != MemoryStatus::size || reply[0] != 0x02 || reply[5] != 0x03)
        return std::nullopt;
    MemoryStatus m;
    m.blocks = reply[1];
    m.end = (std::uint32_t{reply[2]} << 16) | (std::uint32_t{reply[3]} << 8) | reply[4];
    m.capacity = static_cast<std::uint32_t>(m.blocks) * MemoryStatus::blockBytes;
    // An end before the logging area would make the byte count negative.
    if (m.end < MemoryStatus::logStart)
        return std::nullopt;
    return m;
}

std::array<std::uint8_t, MemoryStatus::size> encodeMemoryStatus(int blocks, std::uint32_t end)
{
    return {0x02,
            static_cast<std::uint8_t>(blocks),
            static_cast<std::uint8_t>(end >> 16),
            static_cast<std::uint8_t>(end >> 8),
            static_cast<std::uint8_t>(end),
            0x03};
}

std::string memorySizeText(const MemoryStatus& m)
{
    return std::to_string(m.blocks * 32) + " K";
}

std::string memoryRemainText(const MemoryStatus& m, const Regional& regional)
{
    if (static_cast<long long>(m.end) >= static_cast<long long>(m.capacity) - 18)
        return "0 K";
    const double remain = (static_cast<double>(m.capacity) - m.end) / 1024.0;
    return formatFixed(remain, 1, regional) + " K";
}

// ---------------------------------------------------------------- "C" / "K"

std::optional<UserPresetTable> decodeUserPresetTable(std::span<const std::uint8_t> reply)
{
    if (reply.size() != UserPresetTable::size)
        return std::nullopt;
    UserPresetTable t;
    for (std::size_t k = 0; k < UserPresetTable::count; ++k) {
        const auto r = reply.subspan(k * UserPresetRecord::size, UserPresetRecord::size);
        t.records[k] = UserPresetRecord{r[0], r[1], r[2], r[3]};
    }
    return t;
}

std::array<std::uint8_t, UserPresetTable::size> encodeUserPresetTable(const UserPresetTable& t)
{
    std::array<std::uint8_t, UserPresetTable::size> b{};
    for (std::size_t k = 0; k < UserPresetTable::count; ++k) {
        const auto& r = t.records[k];
        const std::size_t o = k * UserPresetRecord::size;
        b[o] = r.settings;
        b[o + 1] = r.threshold;
        b[o + 2] = r.thresholdAgain;
        b[o + 3] = r.criterionCode;
    }
    return b;
}

// ---------------------------------------------------------------- "B" / "J"

std::optional<TimedTable> decodeTimedTable(std::span<const std::uint8_t> reply)
{
    if (reply.size() != TimedTable::size)
        return std::nullopt;
    TimedTable t;
    for (std::size_t i = 0; i < TimedTable::count; ++i) {
        const auto e = reply.subspan(i * TimedEntry::size, TimedEntry::size);
        t.entries[i] = TimedEntry{e[0], e[1], e[2], e[3], e[4], e[5]};
    }
    return t;
}

std::array<std::uint8_t, TimedTable::size> encodeTimedTable(const TimedTable& t)
{
    std::array<std::uint8_t, TimedTable::size> b{};
    for (std::size_t i = 0; i < TimedTable::count; ++i) {
        const auto& e = t.entries[i];
        const std::size_t o = i * TimedEntry::size;
        b[o] = e.startDay;
        b[o + 1] = e.startHour;
        b[o + 2] = e.startMinute;
        b[o + 3] = e.stopDay;
        b[o + 4] = e.stopHour;
        b[o + 5] = e.stopMinute;
    }
    return b;
}

std::optional<std::uint16_t> decodeEnableMask(std::span<const std::uint8_t> reply)
{
    if (reply.size() != enableMaskSize)
        return std::nullopt;
    return static_cast<std::uint16_t>(reply[0] * 256 + reply[1]);
}

std::array<std::uint8_t, enableMaskSize> encodeEnableMask(std::uint16_t mask)
{
    return {static_cast<std::uint8_t>(mask >> 8), static_cast<std::uint8_t>(mask & 0xFF)};
}

// ---------------------------------------------------------------- "D" / "L"

std::optional<ClockRecord> decodeClock(std::span<const std::uint8_t> reply)
{
    if (reply.size() != ClockRecord::size)
        return std::nullopt;
    return ClockRecord{reply[0], reply[1], reply[2], reply[3], reply[4], reply[5]};
}

std::array<std::uint8_t, ClockRecord::size> encodeClock(const ClockRecord& c)
{
    return {c.second, c.minute, c.hour, c.day, c.month, c.year};
}

ClockRecord clockRecordFor(const DateTime& when)
{
    // Two decimal digits read as hex make the BCD byte ("23" -> 0x23).
    auto bcd = [](int v) {
        v = ((v % 100) + 100) % 100;
        return static_cast<std::uint8_t>((v / 10) * 16 + v % 10);
    };
    auto plain = [](int v) { return static_cast<std::uint8_t>(((v % 100) + 100) % 100); };
    ClockRecord c;
    c.second = bcd(when.second);
    c.minute = bcd(when.minute);
    c.hour = bcd(when.hour);
    c.day = plain(when.day);
    c.month = plain(when.month);
    c.year = plain(when.year);
    return c;
}

std::string meterClockText(const ClockRecord& c)
{
    return twoDigitDecimal(c.year) + "/" + twoDigitDecimal(c.month) + "/" + twoDigitDecimal(c.day) + " " +
           twoDigitHex(c.hour) + ":" + twoDigitHex(c.minute) + ":" + twoDigitHex(c.second);
}

} // namespace km740
