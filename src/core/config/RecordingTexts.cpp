// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/config/RecordingTexts.h"

#include "core/common/Regional.h"
#include "core/link/Codes.h"
#include "core/link/MeterLink.h"

#include <algorithm>

namespace km740 {

namespace {

std::vector<std::string> numbers(const char* first, int from, int to)
{
    std::vector<std::string> v;
    if (first)
        v.emplace_back(first);
    for (int n = from; n <= to; ++n)
        v.push_back(std::to_string(n));
    return v;
}

bool listed(const std::vector<std::string>& list, std::string_view text)
{
    return std::find(list.begin(), list.end(), text) != list.end();
}

Failure notListed(std::string_view what, std::string_view text)
{
    return failure(FailureKind::data,
                   "the " + std::string(what) + " \"" + std::string(text) + "\" is not one of the listed values");
}

bool isDay(ScheduleField field)
{
    return field == ScheduleField::startDay || field == ScheduleField::stopDay;
}

// Hours and minutes of 255 are "Any": no list offers it, but it is the meter's own.
bool knownField(ScheduleField field, std::string_view text)
{
    return listed(scheduleFieldItems(field), text) || (!isDay(field) && text == "Any");
}

// A field's text for its byte; one no list names keeps its byte as "code N".
std::string fieldText(ScheduleField field, std::uint8_t code)
{
    const std::string text = isDay(field) ? DayCodeToText(code) : TimeCodeToText(code);
    return knownField(field, text) ? text : unknownCodeText(code);
}

std::string_view fieldName(ScheduleField field)
{
    switch (field) {
    case ScheduleField::startDay: return "start date";
    case ScheduleField::startHour: return "start hour";
    case ScheduleField::startMinute: return "start minute";
    case ScheduleField::stopDay: return "stop date";
    case ScheduleField::stopHour: return "stop hour";
    case ScheduleField::stopMinute: return "stop minute";
    }
    return "";
}

} // namespace

Result<RecordingRead> readRecordingSettings(MeterLink& link)
{
    RecordingRead r;
    auto table = link.readTimedTable();
    if (!table)
        return table.error();
    r.table = *table;
    auto interval = link.readIntervalCode();
    if (!interval)
        return interval.error();
    auto period = link.readDurationCode();
    if (!period)
        return period.error();
    auto repeat = link.readRepeatCount();
    if (!repeat)
        return repeat.error();
    auto mask = link.readEnableMask();
    if (!mask)
        return mask.error();
    r.intervalCode = *interval;
    r.periodCode = *period;
    r.repeat = *repeat;
    r.enableMask = *mask;
    return r;
}

const std::vector<std::string>& dayItems()
{
    static const auto v = numbers("Any", 1, 31);
    return v;
}

const std::vector<std::string>& hourItems()
{
    static const auto v = numbers(nullptr, 0, 23);
    return v;
}

const std::vector<std::string>& minuteItems()
{
    static const auto v = numbers(nullptr, 0, 59);
    return v;
}

const std::vector<std::string>& repeatItems()
{
    static const auto v = numbers("Always", 0, 19);
    return v;
}

const std::vector<std::string>& intervalItems()
{
    static const std::vector<std::string> v(intervalTexts().begin(), intervalTexts().end());
    return v;
}

const std::vector<std::string>& periodItems()
{
    static const std::vector<std::string> v(durationTexts().begin(), durationTexts().end());
    return v;
}

const std::vector<std::string>& scheduleFieldItems(ScheduleField field)
{
    switch (field) {
    case ScheduleField::startDay:
    case ScheduleField::stopDay: return dayItems();
    case ScheduleField::startHour:
    case ScheduleField::stopHour: return hourItems();
    default: return minuteItems();
    }
}

bool isScheduleText(ScheduleField field, std::string_view text)
{
    return knownField(field, text);
}

RecordingTexts recordingTextsFrom(const RecordingRead& read)
{
    RecordingTexts t;
    t.repeat = read.repeat == repeatAlways ? "Always" : std::to_string(read.repeat);
    if (!listed(repeatItems(), t.repeat))
        t.repeat = unknownCodeText(read.repeat);
    t.interval = IntervalCodeToText(read.intervalCode).value_or(unknownCodeText(read.intervalCode));
    t.period = DurationCodeToText(read.periodCode).value_or(unknownCodeText(read.periodCode));
    for (std::size_t i = 0; i < TimedTable::count; ++i) {
        const TimedEntry& e = read.table.entries[i];
        ScheduleRowTexts& row = t.rows[i];
        row.enabled = (read.enableMask >> i) & 1;
        const std::array<std::uint8_t, scheduleFieldCount> bytes{e.startDay, e.startHour, e.startMinute,
                                                                 e.stopDay,  e.stopHour,  e.stopMinute};
        for (int f = 0; f < scheduleFieldCount; ++f)
            row.cells[static_cast<std::size_t>(f)] =
                fieldText(static_cast<ScheduleField>(f), bytes[static_cast<std::size_t>(f)]);
    }
    return t;
}

bool scheduleInUse(const RecordingTexts& texts)
{
    return texts.period == "Off";
}

Result<std::uint8_t> intervalCodeFrom(std::string_view text)
{
    if (auto kept = unknownCodeValue(text))
        return *kept;
    const auto code = IntervalToCode(text);
    if (!code)
        return notListed("interval", text);
    return static_cast<std::uint8_t>(*code);
}

Result<std::uint8_t> periodCodeFrom(std::string_view text)
{
    if (auto kept = unknownCodeValue(text))
        return *kept;
    const auto code = DurationToCode(text);
    if (!code)
        return notListed("period", text);
    return static_cast<std::uint8_t>(*code);
}

Result<std::uint8_t> repeatCodeFrom(std::string_view text)
{
    if (auto kept = unknownCodeValue(text))
        return *kept;
    if (!listed(repeatItems(), text))
        return notListed("repeat count", text);
    if (text == "Always")
        return repeatAlways;
    return static_cast<std::uint8_t>(numericPrefix(text));
}

Result<RecordingSetup> recordingSetupFrom(const RecordingTexts& texts)
{
    RecordingSetup s;
    auto interval = intervalCodeFrom(texts.interval);
    if (!interval)
        return interval.error();
    auto period = periodCodeFrom(texts.period);
    if (!period)
        return period.error();
    auto repeat = repeatCodeFrom(texts.repeat);
    if (!repeat)
        return repeat.error();
    s.intervalCode = *interval;
    s.periodCode = *period;
    s.repeat = *repeat;
    s.enableMask = 0;
    for (std::size_t i = 0; i < TimedTable::count; ++i) {
        const ScheduleRowTexts& row = texts.rows[i];
        std::array<std::uint8_t, scheduleFieldCount> bytes{};
        for (int f = 0; f < scheduleFieldCount; ++f) {
            const auto field = static_cast<ScheduleField>(f);
            const std::string& text = row.cells[static_cast<std::size_t>(f)];
            if (auto kept = unknownCodeValue(text)) {
                bytes[static_cast<std::size_t>(f)] = *kept;
                continue;
            }
            if (!knownField(field, text))
                return failure(FailureKind::data, "schedule row " + std::to_string(i + 1) + ": " +
                                                      notListed(fieldName(field), text).message);
            bytes[static_cast<std::size_t>(f)] =
                static_cast<std::uint8_t>(isDay(field) ? DayToCode(text) : TimeToCode(text));
        }
        s.table.entries[i] = TimedEntry{bytes[0], bytes[1], bytes[2], bytes[3], bytes[4], bytes[5]};
        if (row.enabled)
            s.enableMask = static_cast<std::uint16_t>(s.enableMask | (1u << i));
    }
    return s;
}

} // namespace km740
