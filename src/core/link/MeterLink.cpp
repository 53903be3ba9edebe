// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/link/MeterLink.h"

#include "core/link/Line.h"

#include <algorithm>
#include <array>
#include <string>

namespace km740 {

// Command characters. The virtual meter has its own table on purpose
// (VirtualMeter.cpp): written apart, each checks the other in every link test.
namespace cmd {
constexpr std::uint8_t status = 'F';
constexpr std::uint8_t calibration = 0x60; // grave accent
constexpr std::uint8_t presetIndex = 'R';
constexpr std::uint8_t userTable = 'C';
constexpr std::uint8_t selectPreset = 'Q';
constexpr std::uint8_t writeUserTable = 'K';
constexpr std::uint8_t measurement = '_';
constexpr std::uint8_t timedTable = 'B';
constexpr std::uint8_t interval = 'E';
constexpr std::uint8_t period = 'G';
constexpr std::uint8_t repeat = 'H';
constexpr std::uint8_t mask = 'U';
constexpr std::uint8_t writeInterval = 'V';
constexpr std::uint8_t writePeriod = 'O';
constexpr std::uint8_t writeTimedTable = 'J';
constexpr std::uint8_t writeRepeat = 'P';
constexpr std::uint8_t writeMask = 'T';
constexpr std::uint8_t startScheduled = 'W';
constexpr std::uint8_t startInterval = 'X';
constexpr std::uint8_t startLast = 'Y';
constexpr std::uint8_t memoryStatus = 'A';
constexpr std::uint8_t dump = 'I';
constexpr std::uint8_t erase = 'S';
constexpr std::uint8_t readClock = 'D';
constexpr std::uint8_t setClock = 'L';
constexpr std::uint8_t service130 = 'a';
constexpr std::uint8_t service140 = 'b';
} // namespace cmd

namespace {

// Waits of the exchanges, in seconds.
constexpr double pollWait = 0.2;
constexpr double readWait = 0.1;
constexpr double lostLinkWait = 0.2;
constexpr double keyWait = 0.2;

std::string commandName(std::uint8_t command)
{
    if (command == cmd::calibration)
        return "grave accent";
    return std::string("\"") + static_cast<char>(command) + "\"";
}

Failure noReply(std::uint8_t command)
{
    return failure(FailureKind::timeout, "the meter did not answer " + commandName(command));
}

Failure wrongReply(std::uint8_t command, std::size_t got, std::size_t expected)
{
    return failure(FailureKind::protocol, "the reply to " + commandName(command) + " held " + std::to_string(got) +
                                              " bytes, not " + std::to_string(expected));
}

// A reply that must be exactly `expected` bytes long.
Failure lengthFailure(std::uint8_t command, std::size_t got, std::size_t expected)
{
    return got == 0 ? noReply(command) : wrongReply(command, got, expected);
}

Failure malformedReply(std::uint8_t command)
{
    return failure(FailureKind::protocol, "the reply to " + commandName(command) + " was malformed");
}

Failure cancelledFailure()
{
    return failure(FailureKind::cancelled, "stopped");
}

std::optional<std::uint8_t> decodeOneByte(std::span<const std::uint8_t> reply)
{
    if (reply.size() != 1)
        return std::nullopt;
    return reply[0];
}

} // namespace

std::uint8_t keyCommand(Key key)
{
    switch (key) {
    case Key::up: return 'Z';
    case Key::down: return '[';
    case Key::left: return '\\';
    case Key::right: return 'N';
    case Key::enter: return ']';
    case Key::menu: return '^';
    }
    return '^';
}

MeterLink::MeterLink(Transport& transport, Clock& clock) : transport_(transport), clock_(clock) {}

bool MeterLink::stopRequested(const std::atomic<bool>* cancel) const
{
    return (stop_ && stop_->load()) || (cancel && cancel->load());
}

Status MeterLink::delay(double seconds, const std::atomic<bool>* cancel)
{
    // Short sleeps so a stop request is seen within 10 ms.
    constexpr double slice = 0.01;
    const double target = clock_.now() + seconds;
    for (;;) {
        if (stopRequested(cancel))
            return cancelledFailure();
        const double left = target - clock_.now();
        if (left <= 1e-9)
            return success();
        clock_.sleepFor(std::min(left, slice));
    }
}

Status MeterLink::send(std::span<const std::uint8_t> bytes)
{
    if (log_)
        log_('>', bytes);
    auto s = transport_.write(bytes);
    if (!s)
        return failure(FailureKind::io, s.error().message);
    return success();
}

Status MeterLink::sendCommand(std::uint8_t command)
{
    const std::array<std::uint8_t, 1> one{command};
    return send(one);
}

Result<Bytes> MeterLink::take()
{
    auto r = transport_.takeReceived();
    if (!r)
        return failure(FailureKind::io, r.error().message);
    if (log_ && !r->empty())
        log_('<', *r);
    return r;
}

Status MeterLink::discardInput()
{
    auto r = take();
    if (!r)
        return r.error();
    return success();
}

Status MeterLink::discardUntilQuiet(double quiet, double limit)
{
    const double start = clock_.now();
    double lastByte = start;
    while (clock_.now() - lastByte < quiet) {
        auto r = take();
        if (!r)
            return r.error();
        if (!r->empty())
            lastByte = clock_.now();
        if (clock_.now() - start > limit)
            return failure(FailureKind::timeout, "the meter did not stop sending");
        if (auto s = delay(readSlice); !s)
            return s;
    }
    return success();
}

// Pattern 1: the command, one wait, one read.
Result<Bytes> MeterLink::singleShot(std::uint8_t command, double wait)
{
    if (auto s = sendCommand(command); !s)
        return s.error();
    if (auto s = delay(wait); !s)
        return s.error();
    return take();
}

// Pattern 2: the command, a wait, the parameter bytes, a wait; nothing read.
Status MeterLink::withParameters(std::uint8_t command, double wait1, std::span<const std::uint8_t> parameters,
                                 double wait2)
{
    if (auto s = sendCommand(command); !s)
        return s;
    if (auto s = delay(wait1); !s)
        return s;
    if (auto s = send(parameters); !s)
        return s;
    if (wait2 > 0)
        return delay(wait2);
    return success();
}

// Pattern 3: the command, then read until the reply is complete or more than
// 2 s have passed since the command.
Result<Bytes> MeterLink::collect(std::uint8_t command, std::size_t expected)
{
    const double started = clock_.now();
    if (auto s = sendCommand(command); !s)
        return s.error();
    if (auto s = delay(readWait); !s)
        return s.error();
    Bytes reply;
    for (;;) {
        auto r = take();
        if (!r)
            return r.error();
        reply.insert(reply.end(), r->begin(), r->end());
        if (reply.size() >= expected)
            break;
        if (clock_.now() - started > collectLimit)
            return failure(FailureKind::timeout, "the reply to " + commandName(command) +
                                                     " was not complete within 2 s (" + std::to_string(reply.size()) +
                                                     " of " + std::to_string(expected) + " bytes)");
        if (auto s = delay(readSlice); !s)
            return s.error();
    }
    if (reply.size() != expected)
        return wrongReply(command, reply.size(), expected);
    return reply;
}

template <typename T>
Result<T> MeterLink::freshReply(Exchange exchange, std::uint8_t command, std::size_t expected, Decoder<T> decode)
{
    if (auto s = discardInput(); !s)
        return s.error();
    auto r = exchange == Exchange::collect ? collect(command, expected) : singleShot(command, readWait);
    if (!r)
        return r.error();
    if (r->size() != expected)
        return lengthFailure(command, r->size(), expected);
    if (auto value = decode(*r))
        return *value;
    return malformedReply(command);
}

Result<std::uint8_t> MeterLink::readOneByte(std::uint8_t command)
{
    return freshReply<std::uint8_t>(Exchange::shortRead, command, 1, decodeOneByte);
}

// ---------------------------------------------------------------- live poll

Result<StatusFrame> MeterLink::readStatus()
{
    // Up to four tries; a short reply and a full-length one with a bad first
    // or last byte count alike, so a run of bad frames cannot hold the tick.
    // The last try decides what follows: a missing or short reply is a lost
    // link, a full-length but badly framed one only ends this tick (data).
    std::optional<StatusFrame> frame;
    Failure last = noReply(cmd::status);
    for (int attempt = 0; attempt < pollAttempts && !frame; ++attempt) {
        auto r = singleShot(cmd::status, pollWait);
        if (!r)
            return r.error();
        frame = decodeStatusFrame(*r);
        if (!frame)
            last = r->size() < StatusFrame::size
                       ? lengthFailure(cmd::status, r->size(), StatusFrame::size)
                       : failure(FailureKind::data, "the status frame was not framed by 0x02 .. 0x03");
    }
    if (!frame)
        return last;
    return *frame;
}

Result<LivePoll> MeterLink::livePoll(const Regional& regional)
{
    auto frame = readStatus();
    if (!frame)
        return frame.error();

    LivePoll poll;
    poll.frame = *frame;
    poll.texts = panelTexts(*frame, regional);

    auto cal = singleShot(cmd::calibration, pollWait);
    if (!cal)
        return cal.error();
    // A short calibration reply leaves the calibration panels as they were.
    poll.calibration = decodeCalibration(*cal);
    if (poll.calibration)
        poll.calibrationTexts = calibrationTexts(*poll.calibration, regional);
    return poll;
}

// ---------------------------------------------------------------- dose presets

Result<int> MeterLink::readPresetIndex()
{
    auto r = readOneByte(cmd::presetIndex);
    if (!r)
        return r.error();
    int preset = *r;
    if (preset == 255)
        preset = 0;
    if (preset >= presetCount)
        return failure(FailureKind::data,
                       "the meter reported preset " + std::to_string(preset) + ", which does not exist");
    return preset;
}

Result<UserPresetTable> MeterLink::readUserPresetTable()
{
    return freshReply<UserPresetTable>(Exchange::collect, cmd::userTable, UserPresetTable::size, decodeUserPresetTable);
}

Result<PresetReply> MeterLink::readPresets()
{
    auto preset = readPresetIndex();
    if (!preset)
        return preset.error();
    auto table = readUserPresetTable();
    if (!table)
        return table.error();
    return PresetReply{*preset, *table};
}

Status MeterLink::selectPreset(int preset)
{
    if (preset < 0 || preset >= presetCount)
        return failure(FailureKind::data, "no preset " + std::to_string(preset));
    const std::array<std::uint8_t, 1> p{static_cast<std::uint8_t>(preset)};
    return withParameters(cmd::selectPreset, 0.2, p, 0.5);
}

Status MeterLink::writeUserPresetTable(const UserPresetTable& table)
{
    const auto bytes = encodeUserPresetTable(table);
    return withParameters(cmd::writeUserTable, 0.2, bytes, 1.0);
}

// ---------------------------------------------------------------- meter setup

Status MeterLink::writeMeasurementSettings(std::uint8_t settings)
{
    const std::array<std::uint8_t, 3> p{settings, 0, 0};
    return withParameters(cmd::measurement, 0.2, p, 0.2);
}

// ---------------------------------------------------------------- recording setup

Result<TimedTable> MeterLink::readTimedTable()
{
    return freshReply<TimedTable>(Exchange::collect, cmd::timedTable, TimedTable::size, decodeTimedTable);
}

Result<std::uint8_t> MeterLink::readIntervalCode()
{
    return readOneByte(cmd::interval);
}

Result<std::uint8_t> MeterLink::readDurationCode()
{
    return readOneByte(cmd::period);
}

Result<std::uint8_t> MeterLink::readRepeatCount()
{
    return readOneByte(cmd::repeat);
}

Result<std::uint16_t> MeterLink::readEnableMask()
{
    return freshReply<std::uint16_t>(Exchange::shortRead, cmd::mask, enableMaskSize, decodeEnableMask);
}

Status MeterLink::writeIntervalCode(std::uint8_t code)
{
    const std::array<std::uint8_t, 1> p{code};
    return withParameters(cmd::writeInterval, 0.1, p, 0.2);
}

Status MeterLink::writeDurationCode(std::uint8_t code)
{
    const std::array<std::uint8_t, 1> p{code};
    return withParameters(cmd::writePeriod, 0.1, p, 0.2);
}

Status MeterLink::writeTimedTable(const TimedTable& table)
{
    const auto bytes = encodeTimedTable(table);
    return withParameters(cmd::writeTimedTable, 0.1, bytes, 0.2);
}

Status MeterLink::writeRepeatCount(std::uint8_t count)
{
    const std::array<std::uint8_t, 1> p{count};
    return withParameters(cmd::writeRepeat, 0.1, p, 0);
}

Status MeterLink::writeEnableMask(std::uint16_t mask)
{
    const auto bytes = encodeEnableMask(mask);
    return withParameters(cmd::writeMask, 0.1, bytes, 0);
}

Status MeterLink::writeRecordingSetup(const RecordingSetup& setup)
{
    if (auto s = writeIntervalCode(setup.intervalCode); !s)
        return s;
    if (auto s = writeDurationCode(setup.periodCode); !s)
        return s;
    if (auto s = writeTimedTable(setup.table); !s)
        return s;
    if (auto s = writeRepeatCount(setup.repeat); !s)
        return s;
    return writeEnableMask(setup.enableMask);
}

Status MeterLink::startScheduledRecording(const RecordingSetup& setup)
{
    if (auto s = writeRecordingSetup(setup); !s)
        return s;
    return startWith(cmd::startScheduled);
}

Status MeterLink::startLimitedRecording(std::uint8_t intervalCode, std::uint8_t periodCode)
{
    if (auto s = writeIntervalCode(intervalCode); !s)
        return s;
    if (auto s = writeDurationCode(periodCode); !s)
        return s;
    return startWith(cmd::startScheduled);
}

Status MeterLink::startIntervalRecording(std::uint8_t intervalCode)
{
    if (auto s = writeIntervalCode(intervalCode); !s)
        return s;
    return startWith(cmd::startInterval);
}

// "W" or "X", 0.2 s, then "Y", the last command of every start sequence.
Status MeterLink::startWith(std::uint8_t command)
{
    if (auto s = sendCommand(command); !s)
        return s;
    if (auto s = delay(0.2); !s)
        return s;
    return sendCommand(cmd::startLast);
}

// ---------------------------------------------------------------- logger

// A 6-byte reply without its 0x02 .. 0x03 framing is a failed exchange too:
// the lost-link routine follows, as for a short one.
Result<MemoryStatus> MeterLink::readMemoryStatus()
{
    return freshReply<MemoryStatus>(Exchange::shortRead, cmd::memoryStatus, MemoryStatus::size, decodeMemoryStatus);
}

// Pattern 4: collect the dump. Bounded by the time since the last byte, not
// by the whole dump, which takes minutes for a large memory.
Result<Bytes> MeterLink::dumpLogger(std::size_t byteCount, const DumpProgress& progress,
                                    const std::atomic<bool>* cancel)
{
    Bytes image;
    if (byteCount == 0)
        return image;
    image.reserve(byteCount);
    if (auto s = sendCommand(cmd::dump); !s)
        return s.error();
    if (auto s = delay(readWait, cancel); !s)
        return s.error();
    double lastByte = clock_.now();
    while (image.size() < byteCount) {
        auto r = take();
        if (!r)
            return r.error();
        if (!r->empty()) {
            const std::size_t room = byteCount - image.size();
            const std::size_t n = std::min(room, r->size());
            image.insert(image.end(), r->begin(), r->begin() + static_cast<std::ptrdiff_t>(n));
            lastByte = clock_.now();
            if (progress)
                progress(image.size(), byteCount);
            continue;
        }
        if (clock_.now() - lastByte > dumpIdleLimit)
            return failure(FailureKind::timeout, "the meter stopped sending after " + std::to_string(image.size()) +
                                                     " of " + std::to_string(byteCount) + " bytes");
        if (auto s = delay(readSlice, cancel); !s)
            return s.error();
    }
    return image;
}

Status MeterLink::drainAfterDump(std::size_t byteCount)
{
    const double whole = static_cast<double>(byteCount) * kLineByteSeconds;
    return discardUntilQuiet(dumpQuiet, whole * 1.5 + 2.0);
}

Status MeterLink::eraseLogger()
{
    if (auto s = sendCommand(cmd::erase); !s)
        return s;
    return delay(readWait);
}

// ---------------------------------------------------------------- meter clock

// Pattern 5, bounded: ten tries of "D".
Result<ClockRecord> MeterLink::readClock()
{
    std::size_t lastSize = 0;
    for (int attempt = 0; attempt < clockAttempts; ++attempt) {
        // Two reads drop whatever an earlier try left behind.
        if (auto s = discardInput(); !s)
            return s.error();
        if (auto s = discardInput(); !s)
            return s.error();
        auto r = singleShot(cmd::readClock, 0.2);
        if (!r)
            return r.error();
        if (auto c = decodeClock(*r))
            return *c;
        lastSize = r->size();
    }
    if (lastSize == 0)
        return noReply(cmd::readClock);
    return wrongReply(cmd::readClock, lastSize, ClockRecord::size);
}

Status MeterLink::setClock(const DateTime& when)
{
    const auto bytes = encodeClock(clockRecordFor(when));
    return withParameters(cmd::setClock, 0.2, bytes, 0);
}

// ---------------------------------------------------------------- keys, service

Status MeterLink::pressKey(Key key)
{
    if (auto s = sendCommand(keyCommand(key)); !s)
        return s;
    return delay(keyWait);
}

Status MeterLink::sendServiceValue(int rangeTop, std::uint8_t value)
{
    const std::array<std::uint8_t, 1> p{value};
    return withParameters(rangeTop == 130 ? cmd::service130 : cmd::service140, 0.2, p, 0);
}

// ---------------------------------------------------------------- lost link

Status MeterLink::waitForMeter(LinkEvents& events, const std::atomic<bool>* cancel)
{
    events.linkLost();
    for (;;) {
        if (stopRequested(cancel))
            return cancelledFailure();
        auto sent = sendCommand(cmd::status);
        if (!sent) {
            events.deviceGone();
            return sent;
        }
        if (auto s = delay(lostLinkWait, cancel); !s)
            return s;
        auto r = take();
        if (!r) {
            events.deviceGone();
            return r.error();
        }
        if (!r->empty()) {
            events.linkRestored();
            return success();
        }
    }
}

} // namespace km740
