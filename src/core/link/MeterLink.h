// SPDX-License-Identifier: GPL-3.0-or-later
// The command exchange with the meter: one typed function per command, every
// wait on the Clock and bounded, every failure a value.
#pragma once

#include "core/common/Regional.h"
#include "core/common/Result.h"
#include "core/link/Clock.h"
#include "core/link/Replies.h"
#include "core/link/Transport.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

namespace km740 {

// The meter's six front keys.
enum class Key { up, down, left, right, enter, menu };
// The command character a key sends ("Z", "[", "\", "N", "]", "^").
std::uint8_t keyCommand(Key key);

// One live poll: the status frame, the panel texts it gives and, when the
// meter sent a complete calibration record, that record.
struct LivePoll {
    StatusFrame frame;
    PanelTexts texts;
    std::optional<CalibrationReply> calibration;
    std::optional<CalibrationTexts> calibrationTexts;
};

// What the lost-link loop tells the program while it runs.
class LinkEvents {
public:
    virtual ~LinkEvents() = default;
    virtual void linkLost() {}     // entered: "No COM", toolbar reduced to "Open"
    virtual void linkRestored() {} // the meter answered
    virtual void deviceGone() {}   // the port failed: "No Device Found!"
};

// The current dose preset ("R") and the user preset table ("C").
struct PresetReply {
    int presetIndex = 0;
    UserPresetTable table;
};

// Progress of the logger dump: bytes received so far of the total.
using DumpProgress = std::function<void(std::size_t received, std::size_t total)>;

// Every byte sent ('>') and every non-empty read ('<'), for a hex dump.
using ExchangeLog = std::function<void(char direction, std::span<const std::uint8_t> bytes)>;

// Failures and what the caller does with them. MeterLink never runs the
// lost-link loop itself; the caller (MeterWorker, km740-tool) does:
//   - livePoll: four tries; when the last one was missing or short (timeout,
//     protocol) or the port failed -> waitForMeter; when it was a full-length
//     frame without its 0x02 .. 0x03 framing (data) the tick just ends and the
//     next one polls again. Either way the panels stay unchanged;
//   - readPresetIndex, readUserPresetTable, readTimedTable, readIntervalCode,
//     readDurationCode, readRepeatCount, readEnableMask, readMemoryStatus,
//     readClock: timeout / protocol -> waitForMeter, the action stops;
//   - dumpLogger: timeout (no byte for 5 s) -> waitForMeter, nothing kept;
//     cancelled -> nothing kept;
//   - writes, keys and start sequences read nothing; they fail only when the
//     port fails (io) or when cancelled;
//   - io anywhere: the port is gone; waitForMeter then reports deviceGone.
class MeterLink {
public:
    // Waits and reads of one exchange.
    static constexpr double collectLimit = 2.0;  // pattern 3: "more than 2 s"
    static constexpr double dumpIdleLimit = 5.0; // logger dump: no byte for 5 s
    static constexpr int pollAttempts = 4;       // live poll: four tries per tick
    static constexpr int clockAttempts = 10;     // "D": ten tries
    static constexpr double readSlice = 0.005;   // collect loops read this often
    static constexpr double dumpQuiet = 0.3;     // a cancelled dump has ended after this silence

    MeterLink(Transport& transport, Clock& clock);

    // Stops every wait of every exchange (the program is ending). Waits then
    // return a cancelled failure. The flag must outlive the link.
    void setStopFlag(const std::atomic<bool>* stop) { stop_ = stop; }
    void setExchangeLog(ExchangeLog log) { log_ = std::move(log); }

    Transport& transport() { return transport_; }
    Clock& clock() { return clock_; }

    // The pacing wait: seconds on the Clock, in short sleeps, ending early
    // (cancelled) when the stop flag or the given flag is set.
    Status delay(double seconds, const std::atomic<bool>* cancel = nullptr);

    // Reads and drops whatever the port holds.
    Status discardInput();
    // Reads and drops until nothing came for `quiet` seconds (a cancelled
    // dump: the meter sends the rest of its memory regardless). A timeout
    // when the line is still busy after `limit` seconds.
    Status discardUntilQuiet(double quiet, double limit);

    // ---- live poll ("F" and the grave accent)
    Result<LivePoll> livePoll(const Regional& regional);
    // "F" alone, up to four tries for one framed status frame.
    Result<StatusFrame> readStatus();

    // ---- dose presets ("R", "C", "Q", "K")
    // The current preset 0..16 (255 reads as 0); another value is a data failure.
    Result<int> readPresetIndex();
    Result<UserPresetTable> readUserPresetTable();
    Status selectPreset(int preset);
    Status writeUserPresetTable(const UserPresetTable& table);
    // "R" then "C": what the dose preset window and a recording's header start from.
    Result<PresetReply> readPresets();

    // ---- meter setup ("_"): the settings byte, then 0, 0
    Status writeMeasurementSettings(std::uint8_t settings);

    // ---- recording setup ("B", "E", "G", "H", "U" and the writes)
    Result<TimedTable> readTimedTable();
    Result<std::uint8_t> readIntervalCode();
    Result<std::uint8_t> readDurationCode();
    Result<std::uint8_t> readRepeatCount();
    Result<std::uint16_t> readEnableMask();
    Status writeIntervalCode(std::uint8_t code);     // "V"
    Status writeDurationCode(std::uint8_t code);     // "O"
    Status writeTimedTable(const TimedTable& table); // "J"
    Status writeRepeatCount(std::uint8_t count);     // "P"
    Status writeEnableMask(std::uint16_t mask);      // "T"
    // Setup: V, O, J, P, T; nothing started.
    Status writeRecordingSetup(const RecordingSetup& setup);
    // The three start sequences: the schedule (V O J P T, then "W", "Y"), the
    // duration-limited recording (V O, "W", "Y") and the plain interval
    // recording (V, "X", "Y").
    Status startScheduledRecording(const RecordingSetup& setup);
    Status startLimitedRecording(std::uint8_t intervalCode, std::uint8_t periodCode);
    Status startIntervalRecording(std::uint8_t intervalCode);

    // ---- logger ("A", "I", "S")
    Result<MemoryStatus> readMemoryStatus();
    // Sends "I" and collects exactly byteCount bytes. Ends with a timeout when
    // no byte came for 5 s, or cancelled; either way nothing is returned.
    Result<Bytes> dumpLogger(std::size_t byteCount, const DumpProgress& progress = {},
                             const std::atomic<bool>* cancel = nullptr);
    // After a dump of byteCount bytes that ended early: the meter sends the
    // rest of its memory regardless and the next reply would be lost in it,
    // so this drops bytes until the line is quiet, for at most the time the
    // whole memory takes at line rate (then a timeout).
    Status drainAfterDump(std::size_t byteCount);
    Status eraseLogger();

    // ---- meter clock ("D", "L")
    Result<ClockRecord> readClock();
    Status setClock(const DateTime& when);

    // ---- keys and service values
    Status pressKey(Key key);
    // "a" for the 60-130 range (rangeTop 130), else "b"; then the value byte.
    Status sendServiceValue(int rangeTop, std::uint8_t value);

    // ---- lost link
    // Sends "F" every 0.2 s until any byte comes back (success), the stop flag
    // or cancel is set (cancelled), or the port fails (io: deviceGone).
    Status waitForMeter(LinkEvents& events, const std::atomic<bool>* cancel = nullptr);

private:
    bool stopRequested(const std::atomic<bool>* cancel) const;
    Status send(std::span<const std::uint8_t> bytes);
    Status sendCommand(std::uint8_t command);
    Result<Bytes> take();

    // The five exchange patterns.
    Result<Bytes> singleShot(std::uint8_t command, double wait);
    Status withParameters(std::uint8_t command, double wait1, std::span<const std::uint8_t> parameters, double wait2);
    Result<Bytes> collect(std::uint8_t command, std::size_t expected);
    // (pattern 4 is dumpLogger, pattern 5 readClock and waitForMeter)

    // The reads that first drop what the port holds: one short read (pattern
    // 1) or a collect (pattern 3); the reply must have its length and decode.
    enum class Exchange { shortRead, collect };
    template <typename T>
    using Decoder = std::optional<T> (*)(std::span<const std::uint8_t>);
    template <typename T>
    Result<T> freshReply(Exchange exchange, std::uint8_t command, std::size_t expected, Decoder<T> decode);
    Result<std::uint8_t> readOneByte(std::uint8_t command);
    Status startWith(std::uint8_t command);

    Transport& transport_;
    Clock& clock_;
    const std::atomic<bool>* stop_ = nullptr;
    ExchangeLog log_;
};

} // namespace km740
