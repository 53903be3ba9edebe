// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/link/WriteCheck.h"

#include "core/common/MeterCalendar.h"
#include "core/link/DisplayCopy.h"

#include <cstdio>
#include <vector>

#include <optional>
#include <string>

namespace km740 {

namespace {

// Seconds since 2000-01-01 of a clock record; nothing for one that is no
// date and time.
std::optional<std::int64_t> secondsOf(const ClockRecord& c)
{
    const auto s = fromBcd(c.second);
    const auto m = fromBcd(c.minute);
    const auto h = fromBcd(c.hour);
    if (!s || !m || !h)
        return std::nullopt;
    const MeterDateTime t{c.year, c.month, c.day, *h, *m, *s};
    if (!isValidDateTime(t))
        return std::nullopt;
    return toMeterSeconds(t);
}

} // namespace

Status confirmMeterAnswers(MeterLink& link, std::string_view written)
{
    auto frame = link.readStatus();
    if (!frame) {
        Failure f = frame.error();
        if (f.kind != FailureKind::cancelled && f.kind != FailureKind::io)
            f.message += " after " + std::string(written) + " was written";
        return f;
    }
    return success();
}

Status setClockChecked(MeterLink& link, const DateTime& when)
{
    const double started = link.clock().now();
    const ClockRecord sent = clockRecordFor(when);
    if (auto s = link.setClock(when); !s)
        return s;
    // The meter takes its six bytes before it answers again.
    if (auto s = link.delay(0.2); !s)
        return s;
    auto read = link.readClock();
    if (!read) {
        Failure f = read.error();
        if (f.kind != FailureKind::cancelled && f.kind != FailureKind::io)
            f.message += " after the clock was set; the meter clock may not be set";
        return f;
    }
    const double elapsed = link.clock().now() - started;
    const auto want = secondsOf(sent);
    const auto got = secondsOf(*read);
    if (!want || !got || static_cast<double>(*got - *want) < -kClockTolerance ||
        static_cast<double>(*got - *want) > elapsed + kClockTolerance)
        return failure(FailureKind::protocol, "the meter clock reads " + meterClockText(*read) +
                                                  " after it was set to " + meterClockText(sent) +
                                                  ": the time did not take");
    return success();
}

namespace {

constexpr double settleWait = 0.2; // before a read-back: the meter takes its last bytes
constexpr int proofPolls = 3;      // status frames watched for a key or a start to show

// A read-back that did not come: the kind stays (the caller's lost-link
// handling), the message says what may not have taken.
Failure afterWrite(Failure f, std::string_view written)
{
    if (f.kind != FailureKind::cancelled && f.kind != FailureKind::io)
        f.message += " after " + std::string(written) + " was written; it may not have taken";
    return f;
}

Failure notTaken(const std::vector<std::string>& what)
{
    std::string list;
    for (std::size_t i = 0; i < what.size(); ++i)
        list += (i == 0 ? "" : i + 1 == what.size() ? " and " : ", ") + what[i];
    return failure(FailureKind::protocol, "the meter did not take " + list);
}

std::string quoted(std::string_view s)
{
    return "\"" + std::string(s) + "\"";
}

std::string intervalText(std::uint8_t code)
{
    return quoted(IntervalCodeToText(code).value_or(unknownCodeText(code)));
}

std::string periodText(std::uint8_t code)
{
    return quoted(DurationCodeToText(code).value_or(unknownCodeText(code)));
}

std::string repeatText(std::uint8_t count)
{
    return count == repeatAlways ? "Always" : std::to_string(count);
}

std::string entriesText(std::uint16_t mask)
{
    std::string list;
    for (unsigned i = 0; i < TimedTable::count; ++i)
        if (mask >> i & 1u)
            list += (list.empty() ? "" : ", ") + std::to_string(i + 1);
    return list.empty() ? "none" : list;
}

std::string reports(const std::string& got, const std::string& sent)
{
    return " (it reports " + got + ", not " + sent + ")";
}

} // namespace

std::string_view keyName(Key key)
{
    switch (key) {
    case Key::up: return "up";
    case Key::down: return "down";
    case Key::left: return "left";
    case Key::right: return "right";
    case Key::enter: return "enter";
    case Key::menu: return "menu";
    }
    return "";
}

Status writePresetsChecked(MeterLink& link, int preset, const UserPresetTable& table)
{
    if (auto s = link.selectPreset(preset); !s)
        return s;
    if (auto s = link.writeUserPresetTable(table); !s)
        return s;
    auto index = link.readPresetIndex();
    if (!index)
        return afterWrite(index.error(), "the preset");
    auto read = link.readUserPresetTable();
    if (!read)
        return afterWrite(read.error(), "the user presets");
    std::vector<std::string> wrong;
    if (*index != preset)
        wrong.push_back("the preset" + reports(std::to_string(*index), std::to_string(preset)));
    std::string rows;
    for (std::size_t k = 0; k < UserPresetTable::count; ++k) {
        // The repeated threshold at offset 2 is ignored by every reader.
        const UserPresetRecord& a = table.records[k];
        const UserPresetRecord& b = read->records[k];
        if (a.settings != b.settings || a.threshold != b.threshold || a.criterionCode != b.criterionCode)
            rows += (rows.empty() ? "" : ", ") + std::string("User") + std::to_string(k + 1);
    }
    if (!rows.empty())
        wrong.push_back("the user presets " + rows);
    if (!wrong.empty())
        return notTaken(wrong);
    return success();
}

Status writeSettingsChecked(MeterLink& link, std::uint8_t settings)
{
    if (auto s = link.writeMeasurementSettings(settings); !s)
        return s;
    auto frame = link.readStatus();
    if (!frame)
        return afterWrite(frame.error(), "the settings");
    if (frame->settings != settings) {
        char got[8], sent[8];
        std::snprintf(got, sizeof got, "0x%02X", frame->settings);
        std::snprintf(sent, sizeof sent, "0x%02X", settings);
        return notTaken({"the settings" + reports(got, sent)});
    }
    return success();
}

Status proveRecordingSettings(MeterLink& link, const RecordingSetup& written, unsigned parts)
{
    if (auto s = link.delay(settleWait); !s)
        return s;
    std::vector<std::string> wrong;
    if (parts & tablePart) {
        auto table = link.readTimedTable();
        if (!table)
            return afterWrite(table.error(), "the schedule");
        std::string rows;
        for (std::size_t i = 0; i < TimedTable::count; ++i)
            if (table->entries[i] != written.table.entries[i])
                rows += (rows.empty() ? "" : ", ") + std::to_string(i + 1);
        if (!rows.empty())
            wrong.push_back("the schedule entries " + rows);
    }
    if (parts & intervalPart) {
        auto code = link.readIntervalCode();
        if (!code)
            return afterWrite(code.error(), "the logging interval");
        if (*code != written.intervalCode)
            wrong.push_back("the logging interval" + reports(intervalText(*code), intervalText(written.intervalCode)));
    }
    if (parts & periodPart) {
        auto code = link.readDurationCode();
        if (!code)
            return afterWrite(code.error(), "the recording period");
        if (*code != written.periodCode)
            wrong.push_back("the recording period" + reports(periodText(*code), periodText(written.periodCode)));
    }
    if (parts & repeatPart) {
        auto count = link.readRepeatCount();
        if (!count)
            return afterWrite(count.error(), "the repeat count");
        if (*count != written.repeat)
            wrong.push_back("the repeat count" + reports(repeatText(*count), repeatText(written.repeat)));
    }
    if (parts & maskPart) {
        auto mask = link.readEnableMask();
        if (!mask)
            return afterWrite(mask.error(), "the enabled entries");
        if (*mask != written.enableMask)
            wrong.push_back("the enabled entries" + reports(entriesText(*mask), entriesText(written.enableMask)));
    }
    if (!wrong.empty())
        return notTaken(wrong);
    return success();
}

Status writeRecordingSetupChecked(MeterLink& link, const RecordingSetup& setup)
{
    if (auto s = link.writeRecordingSetup(setup); !s)
        return s;
    return proveRecordingSettings(link, setup, allRecordingParts);
}

Status startRecordingChecked(MeterLink& link, RecordingStart start, const RecordingSetup& setup)
{
    auto before = link.readStatus();
    if (!before)
        return before.error();
    const bool wasRecording = showsRecording(before->segments);
    Status sent = start == RecordingStart::plain     ? link.startIntervalRecording(setup.intervalCode)
                  : start == RecordingStart::limited ? link.startLimitedRecording(setup.intervalCode, setup.periodCode)
                                                     : link.startScheduledRecording(setup);
    if (!sent)
        return sent;
    bool shown = false;
    for (int poll = 0; poll < proofPolls && !shown; ++poll) {
        auto frame = link.readStatus();
        if (!frame)
            return afterWrite(frame.error(), "the start");
        shown = showsRecording(frame->segments);
    }
    const unsigned parts = start == RecordingStart::plain     ? intervalPart
                           : start == RecordingStart::limited ? intervalPart | periodPart
                                                              : allRecordingParts;
    if (auto s = proveRecordingSettings(link, setup, parts); !s)
        return s;
    if (wasRecording)
        return failure(FailureKind::protocol, "the meter was recording already, so the new start could not be "
                                              "confirmed");
    if (!shown && start == RecordingStart::schedule)
        return failure(FailureKind::protocol, "the schedule is written, but the meter shows no recording yet: "
                                              "its start could not be confirmed (REC shows once an entry begins)");
    if (!shown)
        return failure(FailureKind::protocol, "the meter did not start recording (its display shows no REC)");
    return success();
}

Status pressKeyChecked(MeterLink& link, Key key)
{
    auto before = link.readStatus();
    if (!before)
        return before.error();
    if (auto s = link.pressKey(key); !s)
        return s;
    const std::string pressed = "the " + std::string(keyName(key)) + " key";
    for (int poll = 0; poll < proofPolls; ++poll) {
        auto frame = link.readStatus();
        if (!frame)
            return afterWrite(frame.error(), pressed);
        if (displayStateDiffers(before->segments, frame->segments))
            return success();
    }
    return failure(FailureKind::protocol,
                   "the meter answered, but its display did not change: " + pressed + " could not be confirmed");
}

} // namespace km740
