// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/sim/VirtualMeter.h"

#include "core/link/Replies.h"
#include "core/sim/SampleLogger.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace km740 {

namespace {

// Command characters. The meter keeps its own table rather than the link's
// (MeterLink.cpp): written apart, each checks the other in every link test.
constexpr std::uint8_t cmdStatus = 'F';
constexpr std::uint8_t cmdCalibration = 0x60;
constexpr std::uint8_t cmdPresetNumber = 'R';
constexpr std::uint8_t cmdUserTable = 'C';
constexpr std::uint8_t cmdSelectPreset = 'Q';
constexpr std::uint8_t cmdWriteUserTable = 'K';
constexpr std::uint8_t cmdWriteSettings = '_';
constexpr std::uint8_t cmdSchedule = 'B';
constexpr std::uint8_t cmdInterval = 'E';
constexpr std::uint8_t cmdPeriod = 'G';
constexpr std::uint8_t cmdRepeat = 'H';
constexpr std::uint8_t cmdMask = 'U';
constexpr std::uint8_t cmdWriteInterval = 'V';
constexpr std::uint8_t cmdWritePeriod = 'O';
constexpr std::uint8_t cmdWriteSchedule = 'J';
constexpr std::uint8_t cmdWriteRepeat = 'P';
constexpr std::uint8_t cmdWriteMask = 'T';
constexpr std::uint8_t cmdStartScheduled = 'W';
constexpr std::uint8_t cmdStartPlain = 'X';
constexpr std::uint8_t cmdStartGo = 'Y';
constexpr std::uint8_t cmdMemoryStatus = 'A';
constexpr std::uint8_t cmdDump = 'I';
constexpr std::uint8_t cmdErase = 'S';
constexpr std::uint8_t cmdReadClock = 'D';
constexpr std::uint8_t cmdSetClock = 'L';
constexpr std::uint8_t cmdService130 = 'a';
constexpr std::uint8_t cmdService140 = 'b';

// Parameter bytes that follow a command; 0 for a command that has none.
std::size_t parameterCount(std::uint8_t command)
{
    switch (command) {
    case cmdSelectPreset: return 1;
    case cmdWriteUserTable: return 36;
    case cmdWriteSettings: return 3;
    case cmdWriteInterval: return 1;
    case cmdWritePeriod: return 1;
    case cmdWriteSchedule: return 96;
    case cmdWriteRepeat: return 1;
    case cmdWriteMask: return 2;
    case cmdSetClock: return 6;
    case cmdService130: return 1;
    case cmdService140: return 1;
    default: return 0;
    }
}

std::optional<MeterKey> keyOf(std::uint8_t command)
{
    switch (command) {
    case 'Z': return MeterKey::up;
    case '[': return MeterKey::down;
    case '\\': return MeterKey::left;
    case 'N': return MeterKey::right;
    case ']': return MeterKey::enter;
    case '^': return MeterKey::menu;
    default: return std::nullopt;
    }
}

// The eight standard presets: settings byte, threshold dB, criterion code.
struct StandardPreset {
    std::uint8_t settings;
    std::uint8_t threshold;
    std::uint8_t criterion;
};
constexpr StandardPreset standardPresets[8] = {
    {0x80, 80, 3}, // OSHA-80: Slow, A, Llpk, 70-140, 5 dB, criterion 90
    {0x80, 90, 3}, // OSHA-90
    {0x80, 80, 3}, // MSHA-80
    {0x80, 90, 3}, // MSHA-90
    {0x40, 80, 2}, // DOD: 4 dB, criterion 85
    {0x00, 80, 2}, // ACGIH: 3 dB, criterion 85
    {0x11, 70, 2}, // ISO85: Fast, Lcpk, 3 dB
    {0x11, 70, 3}, // ISO90
};

// User1..User9 as a meter leaves the factory with a few of them set up.
constexpr std::array<std::uint8_t, 36> factoryUserPresets = {
    0x80, 80, 80, 3, // User1: OSHA-like
    0x40, 80, 80, 2, // User2: 4 dB, criterion 85
    0x11, 75, 75, 2, // User3: Fast, Lcpk
    0x75, 75, 75, 2, // User4: Fast, C, Lcpk, 60-130, 4 dB
    0x00, 80, 80, 2, // User5
    0x90, 85, 85, 3, // User6: Lcpk, 5 dB, criterion 90
    0x01, 70, 70, 0, // User7: Fast, criterion 80
    0xC0, 90, 90, 3, // User8: 6 dB
    0x08, 80, 80, 2, // User9: average "min"
};

std::uint32_t periodSeconds(std::uint8_t code)
{
    static constexpr std::uint32_t seconds[12] = {0,    300,   600,   900,   1800,  3600,
                                                  7200, 14400, 28800, 36000, 43200, 86400};
    return code < 12 ? seconds[code] : 0;
}

// Whole seconds in a span of clock time; a span that is a whole number of
// seconds give or take rounding counts as that number.
std::int64_t wholeSeconds(double span)
{
    return static_cast<std::int64_t>(std::floor(span + 1e-6));
}

std::uint16_t toTenths(double db)
{
    return static_cast<std::uint16_t>(std::clamp(std::lround(db * 10.0), 0L, 65535L));
}

} // namespace

VirtualMeter::VirtualMeter(Clock& clock, VirtualMeterOptions options)
    : clock_(clock), options_(options), live_(options.seed, clock.now())
{
    state_.userPresets = factoryUserPresets;
    state_.memoryBlocks = static_cast<std::uint8_t>(std::clamp(options_.memoryBlocks, 1, 255));
    selectPreset(0);
    // Calibrated at 94.0 dB two days before the clock's start.
    const MeterDateTime cal = fromMeterSeconds(toMeterSeconds(options_.clockStart) - 2 * 86400 + 1800);
    state_.calibration = {toBcd(cal.second),
                          toBcd(cal.minute),
                          toBcd(cal.hour),
                          static_cast<std::uint8_t>(cal.day),
                          static_cast<std::uint8_t>(cal.month),
                          static_cast<std::uint8_t>(cal.year),
                          0xAC,
                          0x03};
    clockBase_ = toMeterSeconds(options_.clockStart);
    clockRef_ = clock_.now();

    switch (options_.logger) {
    case LoggerContent::empty: break;
    case LoggerContent::sample: state_.logger = sampleLoggerImage(options_.seed, state_.calibration); break;
    case LoggerContent::filled: {
        const std::size_t blocksNeeded = (logStart + options_.fillBytes) / MemoryStatus::blockBytes + 1;
        if (static_cast<int>(blocksNeeded) > state_.memoryBlocks)
            state_.memoryBlocks = static_cast<std::uint8_t>(std::min<std::size_t>(blocksNeeded, 255));
        const std::size_t room = static_cast<std::size_t>(state_.memoryBlocks) * MemoryStatus::blockBytes - logStart;
        state_.logger = filledLoggerImage(std::min(options_.fillBytes, room), options_.seed, state_.calibration);
        break;
    }
    }
}

Status VirtualMeter::open()
{
    if (faults_.vanished)
        return failure(FailureKind::io, "The virtual meter's port is gone");
    open_ = true;
    return success();
}

void VirtualMeter::close()
{
    open_ = false;
    outgoing_.clear();
    pending_.reset();
}

bool VirtualMeter::isOpen() const
{
    return open_ && !faults_.vanished;
}

Status VirtualMeter::write(std::span<const std::uint8_t> bytes)
{
    if (faults_.vanished)
        return failure(FailureKind::io, "The virtual meter's port is gone");
    if (!open_)
        return failure(FailureKind::io, "The virtual meter's port is not open");
    const double now = clock_.now();
    catchUp(now);
    for (const std::uint8_t b : bytes)
        receive(b, now);
    return success();
}

Result<Bytes> VirtualMeter::takeReceived()
{
    if (faults_.vanished)
        return failure(FailureKind::io, "The virtual meter's port is gone");
    if (!open_)
        return failure(FailureKind::io, "The virtual meter's port is not open");
    const double now = clock_.now();
    Bytes got;
    while (!outgoing_.empty()) {
        Outgoing& o = outgoing_.front();
        // A tiny allowance so that a clock stepped by exact byte times sees the byte.
        const double arrived = std::floor((now - o.start) / byteTime + 1e-9);
        const std::size_t due =
            arrived <= 0 ? 0 : static_cast<std::size_t>(std::min<double>(arrived, static_cast<double>(o.bytes.size())));
        if (due > o.taken) {
            got.insert(got.end(), o.bytes.begin() + static_cast<std::ptrdiff_t>(o.taken),
                       o.bytes.begin() + static_cast<std::ptrdiff_t>(due));
            o.taken = due;
        }
        if (o.taken < o.bytes.size())
            break;
        outgoing_.pop_front();
    }
    return got;
}

std::optional<double> VirtualMeter::nextByteDue() const
{
    for (const Outgoing& o : outgoing_) {
        if (o.taken < o.bytes.size())
            return o.start + static_cast<double>(o.taken + 1) * byteTime;
    }
    return std::nullopt;
}

void VirtualMeter::setSilentAfter(std::optional<int> commands)
{
    faults_.silentAfter = commands;
}

void VirtualMeter::truncateNextReplies(int count, std::size_t bytes)
{
    faults_.truncateReplies = std::max(count, 0);
    faults_.truncateTo = bytes;
}

void VirtualMeter::corruptNextStatusFrames(int count)
{
    faults_.corruptFrames = std::max(count, 0);
}

void VirtualMeter::dropNextReplies(int count)
{
    faults_.dropReplies = std::max(count, 0);
}

void VirtualMeter::setVanished(bool vanished)
{
    faults_.vanished = vanished;
    if (vanished) {
        // What was on the wire is lost with the port.
        outgoing_.clear();
        pending_.reset();
        open_ = false;
    }
}

void VirtualMeter::stallDumpAfter(std::optional<std::size_t> bytes)
{
    faults_.stallDumpAfter = bytes;
}

void VirtualMeter::ignoreCommands(std::string commands)
{
    faults_.ignored = std::move(commands);
}

void VirtualMeter::setLoggerImage(Bytes image)
{
    const std::size_t room = static_cast<std::size_t>(state_.memoryBlocks) * MemoryStatus::blockBytes - logStart;
    if (image.size() > room)
        image.resize(room);
    state_.logger = std::move(image);
}

Bytes VirtualMeter::loggerImage() const
{
    Bytes image = state_.logger;
    if (running_) {
        const Bytes set = running_->set.bytes();
        image.insert(image.end(), set.begin(), set.end());
    }
    return image;
}

int VirtualMeter::memEnd() const
{
    return logStart + static_cast<int>(state_.logger.size() + (running_ ? running_->set.size() : 0));
}

std::size_t VirtualMeter::room() const
{
    return static_cast<std::size_t>(state_.memoryBlocks) * MemoryStatus::blockBytes - logStart;
}

std::int64_t VirtualMeter::meterSecondsAt(double clockTime) const
{
    return clockBase_ + wholeSeconds(clockTime - clockRef_);
}

void VirtualMeter::catchUp(double now)
{
    // Alternate between waiting for a timed entry to start and recording
    // until it stops, until the clock's present is reached.
    for (;;) {
        if (running_) {
            recordUntil(now);
            if (running_)
                return;
        }
        if (!scheduleArmed_)
            return;
        const std::int64_t present = meterSecondsAt(now);
        std::int64_t minute = (scheduleChecked_ / 60 + 1) * 60;
        for (; minute <= present; minute += 60) {
            if (scheduleMatches(minute, true))
                break;
        }
        if (minute > present) {
            scheduleChecked_ = present;
            return;
        }
        scheduleChecked_ = minute;
        startRecording(clockRef_ + static_cast<double>(minute - clockBase_), true, std::nullopt);
    }
}

void VirtualMeter::recordUntil(double now)
{
    Running& r = *running_;
    const auto target = static_cast<std::uint32_t>(std::max<std::int64_t>(wholeSeconds(now - r.startClock), 0));
    const auto interval = static_cast<std::uint32_t>(r.set.interval());
    while (r.done < target) {
        const std::uint32_t sec = ++r.done;
        live_.advanceTo(r.startClock + sec);
        const bool paused = r.pausedFrom && sec >= *r.pausedFrom;
        if (!paused) {
            r.set.addSecond(live_.level(), live_.peak());
            if (sec % interval == 0) {
                if (state_.logger.size() + r.set.size() + r.set.recordBytes() > room()) {
                    stopRecording(); // the memory is full
                    return;
                }
                r.set.endStep(live_.level());
            }
        }
        if (r.stopAfter && sec >= *r.stopAfter) {
            stopRecording();
            return;
        }
        const std::int64_t at = r.startMeter + sec;
        if (r.scheduled && at % 60 == 0 && scheduleMatches(at, false)) {
            scheduleChecked_ = at;
            stopRecording();
            return;
        }
    }
}

void VirtualMeter::startRecording(double clockTime, bool scheduled, std::optional<std::uint32_t> stopAfter)
{
    if (running_)
        stopRecording();
    const std::int64_t startMeter = meterSecondsAt(clockTime);
    const SetHeader header{fromMeterSeconds(startMeter), state_.intervalCode, state_.presetNumber, state_.settings,
                           state_.thresholdCode,         state_.criterionCode};
    SetRecorder set(header, state_.calibration);
    if (state_.logger.size() + set.size() > room())
        return; // no room even for the header
    running_ = Running{std::move(set), clockTime, startMeter, 0, std::nullopt, stopAfter, scheduled};
    paused_ = false;
    state_.recording = true;
}

void VirtualMeter::stopRecording()
{
    if (!running_)
        return;
    Running& r = *running_;
    if (r.pausedFrom && state_.logger.size() + r.set.size() + LoggerImageBuilder::pauseBytes <= room())
        r.set.addPause(*r.pausedFrom, r.done + 1);
    const Bytes set = r.set.bytes();
    state_.logger.insert(state_.logger.end(), set.begin(), set.end());
    running_.reset();
    paused_ = false;
    state_.recording = false;
}

void VirtualMeter::pauseKey(bool wasPaused)
{
    if (!running_ || paused_ == wasPaused)
        return;
    Running& r = *running_;
    const std::uint32_t at = r.done + 1; // the first second not yet recorded
    if (paused_) {
        r.pausedFrom = at;
        return;
    }
    if (r.pausedFrom && *r.pausedFrom < at &&
        state_.logger.size() + r.set.size() + LoggerImageBuilder::pauseBytes <= room())
        r.set.addPause(*r.pausedFrom, at);
    r.pausedFrom.reset();
}

bool VirtualMeter::scheduleMatches(std::int64_t meterSeconds, bool start) const
{
    const MeterDateTime t = fromMeterSeconds(meterSeconds);
    for (std::size_t i = 0; i < 16; ++i) {
        if (!(state_.enableMask >> i & 1))
            continue;
        const std::uint8_t* e = state_.schedule.data() + 6 * i + (start ? 0 : 3);
        const bool day = e[0] == 0 || e[0] == 255 || e[0] == t.day;
        const bool hour = e[1] == 255 || e[1] == t.hour;
        const bool minute = e[2] == 255 || e[2] == t.minute;
        if (day && hour && minute)
            return true;
    }
    return false;
}

MeterDateTime VirtualMeter::meterTime() const
{
    return fromMeterSeconds(meterSecondsAt(clock_.now()));
}

std::uint16_t VirtualMeter::levelTenths()
{
    live_.advanceTo(clock_.now());
    const int top = (state_.settings & 0x20) ? 130 : 140;
    return toTenths(std::clamp(live_.level(), top - 70.0, static_cast<double>(top)));
}

std::uint16_t VirtualMeter::peakTenths()
{
    live_.advanceTo(clock_.now());
    const int top = (state_.settings & 0x20) ? 130 : 140;
    // Below the peak detector's range the meter reports nothing measurable.
    if (live_.peak() < top - 37.0)
        return 0;
    return std::min<std::uint16_t>(toTenths(live_.peak()), 1599);
}

void VirtualMeter::receive(std::uint8_t byte, double now)
{
    if (pending_) {
        if (now - pending_->lastByte <= parameterTimeout) {
            pending_->params.push_back(byte);
            pending_->lastByte = now;
            if (pending_->params.size() == pending_->needed) {
                const Pending done = std::move(*pending_);
                pending_.reset();
                apply(done.command, done.params, now);
            }
            return;
        }
        // The parameters never came: the command is dropped and this byte starts anew.
        pending_.reset();
    }

    ++commands_;
    if (faults_.silentAfter && commands_ > *faults_.silentAfter)
        return;

    if (const std::size_t n = parameterCount(byte); n > 0) {
        pending_ = Pending{byte, n, {}, now};
        return;
    }
    execute(byte, now);
}

void VirtualMeter::execute(std::uint8_t command, double now)
{
    if (faults_.ignored.find(static_cast<char>(command)) != std::string::npos)
        return;
    if (const auto key = keyOf(command)) {
        // While paused, Left ends the recording.
        if (*key == MeterKey::left && paused_ && running_ && !display_.inMenu()) {
            stopRecording();
            return;
        }
        const bool wasPaused = paused_;
        display_.press(*key, state_.settings, running_.has_value(), paused_);
        pauseKey(wasPaused);
        return;
    }
    switch (command) {
    case cmdStatus: send(statusFrame(now), ReplyKind::status, now); break;
    case cmdCalibration:
        send(Bytes(state_.calibration.begin(), state_.calibration.end()), ReplyKind::plain, now);
        break;
    case cmdPresetNumber: send(Bytes{state_.presetNumber}, ReplyKind::plain, now); break;
    case cmdUserTable: send(Bytes(state_.userPresets.begin(), state_.userPresets.end()), ReplyKind::plain, now); break;
    case cmdSchedule: send(Bytes(state_.schedule.begin(), state_.schedule.end()), ReplyKind::plain, now); break;
    case cmdInterval: send(Bytes{state_.intervalCode}, ReplyKind::plain, now); break;
    case cmdPeriod: send(Bytes{state_.periodCode}, ReplyKind::plain, now); break;
    case cmdRepeat: send(Bytes{state_.repeatCount}, ReplyKind::plain, now); break;
    case cmdMask:
        send(Bytes{static_cast<std::uint8_t>(state_.enableMask >> 8),
                   static_cast<std::uint8_t>(state_.enableMask & 0xFF)},
             ReplyKind::plain, now);
        break;
    case cmdMemoryStatus: send(memoryStatus(), ReplyKind::plain, now); break;
    case cmdDump: send(loggerImage(), ReplyKind::dump, now); break;
    case cmdErase:
        running_.reset(); // a set being recorded goes with the rest
        paused_ = false;
        state_.recording = false;
        state_.logger.clear();
        break;
    case cmdReadClock: send(clockRecord(now), ReplyKind::plain, now); break;
    case cmdStartScheduled:
    case cmdStartPlain: armed_ = command; break;
    case cmdStartGo: {
        const std::uint8_t armed = std::exchange(armed_, 0);
        if (armed == 0)
            break;
        stopRecording();
        scheduleArmed_ = false;
        state_.scheduled = false;
        if (armed == cmdStartPlain) {
            startRecording(now, false, std::nullopt);
        } else if (state_.periodCode != 0) {
            startRecording(now, false, periodSeconds(state_.periodCode));
        } else {
            // The timed-recording table decides from the next minute on.
            scheduleArmed_ = true;
            state_.scheduled = true;
            scheduleChecked_ = meterSecondsAt(now);
        }
        break;
    }
    default: break; // the meter ignores what it does not know
    }
}

void VirtualMeter::apply(std::uint8_t command, const Bytes& p, double now)
{
    if (faults_.ignored.find(static_cast<char>(command)) != std::string::npos)
        return;
    switch (command) {
    case cmdSelectPreset:
        if (p[0] <= 16)
            selectPreset(p[0]);
        break;
    case cmdWriteUserTable:
        std::copy(p.begin(), p.end(), state_.userPresets.begin());
        if (state_.presetNumber >= 8)
            selectPreset(state_.presetNumber);
        break;
    case cmdWriteSettings:
        // Only the settings byte means something; the two bytes after it are padding.
        state_.settings = p[0];
        break;
    case cmdWriteInterval:
        if (p[0] >= 1 && p[0] <= 15)
            state_.intervalCode = p[0];
        break;
    case cmdWritePeriod:
        if (p[0] <= 11)
            state_.periodCode = p[0];
        break;
    case cmdWriteSchedule: std::copy(p.begin(), p.end(), state_.schedule.begin()); break;
    case cmdWriteRepeat: state_.repeatCount = p[0]; break;
    case cmdWriteMask: state_.enableMask = static_cast<std::uint16_t>(p[0] << 8 | p[1]); break;
    case cmdSetClock: {
        const auto sec = fromBcd(p[0]);
        const auto min = fromBcd(p[1]);
        const auto hour = fromBcd(p[2]);
        if (!sec || !min || !hour)
            break;
        const MeterDateTime t{p[5], p[4], p[3], *hour, *min, *sec};
        if (!isValidDateTime(t))
            break; // a clock that cannot be is refused, the old time runs on
        clockBase_ = toMeterSeconds(t);
        clockRef_ = now;
        scheduleChecked_ = meterSecondsAt(now);
        break;
    }
    case cmdService130: state_.serviceValue130 = p[0]; break;
    case cmdService140: state_.serviceValue140 = p[0]; break;
    default: break;
    }
}

void VirtualMeter::selectPreset(std::uint8_t number)
{
    state_.presetNumber = number;
    if (number < 8) {
        const StandardPreset& s = standardPresets[number];
        state_.settings = s.settings;
        state_.thresholdCode = s.threshold;
        state_.criterionCode = s.criterion;
    } else {
        const std::size_t at = static_cast<std::size_t>(number - 8) * 4;
        state_.settings = state_.userPresets[at];
        state_.thresholdCode = state_.userPresets[at + 1];
        state_.criterionCode = state_.userPresets[at + 3];
    }
}

void VirtualMeter::send(Bytes reply, ReplyKind kind, double now)
{
    if (faults_.dropReplies > 0) {
        --faults_.dropReplies;
        return;
    }
    if (kind == ReplyKind::status && faults_.corruptFrames > 0 && !reply.empty()) {
        --faults_.corruptFrames;
        reply[0] = 0x00;
    }
    if (faults_.truncateReplies > 0) {
        --faults_.truncateReplies;
        if (reply.size() > faults_.truncateTo)
            reply.resize(faults_.truncateTo);
    }
    if (kind == ReplyKind::dump && faults_.stallDumpAfter && reply.size() > *faults_.stallDumpAfter)
        reply.resize(*faults_.stallDumpAfter);
    if (reply.empty())
        return;

    // The line carries one reply after the other.
    double start = now + turnaround;
    if (!outgoing_.empty()) {
        const Outgoing& last = outgoing_.back();
        start = std::max(start, last.start + static_cast<double>(last.bytes.size()) * byteTime);
    }
    outgoing_.push_back(Outgoing{std::move(reply), start, 0});
}

Bytes VirtualMeter::statusFrame(double now)
{
    live_.advanceTo(now);
    const std::uint16_t level = levelTenths();
    const std::uint16_t peak = peakTenths();
    const MeterDateTime t = meterTime();
    const auto seg = display_.segments(
        DisplayInputs{level / 10.0, peak / 10.0, state_.settings, state_.recording, paused_, t.hour, t.minute});
    Bytes f;
    f.reserve(19);
    f.push_back(0x02);
    f.push_back(static_cast<std::uint8_t>(level & 0xFF));
    f.push_back(static_cast<std::uint8_t>(level >> 8));
    f.insert(f.end(), seg.begin(), seg.end());
    f.push_back(state_.settings);
    f.push_back(static_cast<std::uint8_t>(peak & 0xFF));
    f.push_back(static_cast<std::uint8_t>(peak >> 8));
    f.push_back(0x03);
    return f;
}

Bytes VirtualMeter::clockRecord(double now) const
{
    const MeterDateTime t = fromMeterSeconds(meterSecondsAt(now));
    return Bytes{toBcd(t.second),
                 toBcd(t.minute),
                 toBcd(t.hour),
                 static_cast<std::uint8_t>(t.day),
                 static_cast<std::uint8_t>(t.month),
                 static_cast<std::uint8_t>(t.year)};
}

Bytes VirtualMeter::memoryStatus() const
{
    const auto end = static_cast<std::uint32_t>(memEnd());
    return Bytes{0x02,
                 state_.memoryBlocks,
                 static_cast<std::uint8_t>(end >> 16 & 0xFF),
                 static_cast<std::uint8_t>(end >> 8 & 0xFF),
                 static_cast<std::uint8_t>(end & 0xFF),
                 0x03};
}

} // namespace km740
