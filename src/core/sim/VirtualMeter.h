// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/link/Clock.h"
#include "core/link/Line.h"
#include "core/link/Transport.h"
#include "core/sim/LiveLevel.h"
#include "core/common/MeterCalendar.h"
#include "core/sim/MeterDisplay.h"
#include "core/sim/SetRecorder.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>

namespace km740 {

// What the logger memory holds when the meter is made.
enum class LoggerContent {
    sample, // a few realistic sets: dBL, dBS with its summary, a set with two pauses
    empty,  // nothing recorded (MemEnd = 3584)
    filled, // about `fillBytes` bytes of sets, for download timing
};

struct VirtualMeterOptions {
    std::uint64_t seed = 1; // the live level's random walk
    LoggerContent logger = LoggerContent::sample;
    std::size_t fillBytes = 0;                    // with LoggerContent::filled
    MeterDateTime clockStart{26, 3, 18, 9, 0, 0}; // the meter's clock when it is made
    int memoryBlocks = 6;                         // 32 K blocks; raised when a fill needs more
};

// Ways the meter can misbehave, for testing the program's recovery.
struct MeterFaults {
    std::optional<int> silentAfter;            // commands taken before the meter goes quiet
    int truncateReplies = 0;                   // how many of the next replies are cut ...
    std::size_t truncateTo = 0;                // ... to this many bytes
    int corruptFrames = 0;                     // next status frames with a wrong start byte
    int dropReplies = 0;                       // next replies not sent at all
    bool vanished = false;                     // the port is gone
    std::optional<std::size_t> stallDumpAfter; // a logger dump stops after this many bytes
    std::string ignored;                       // command characters taken and dropped: no reply, no effect
};

// Everything the meter keeps, as the commands read and write it.
struct MeterState {
    std::uint8_t presetNumber = 0;              // 0..16
    std::array<std::uint8_t, 36> userPresets{}; // nine 4-byte records, User1..User9
    std::uint8_t settings = 0x80;               // the settings byte in force
    std::uint8_t thresholdCode = 80;            // of the preset in force
    std::uint8_t criterionCode = 3;
    std::uint8_t intervalCode = 8;             // logging interval, 1..15
    std::uint8_t periodCode = 0;               // single recording period, 0..11
    std::uint8_t repeatCount = 255;            // schedule repeats, 255 = always
    std::uint16_t enableMask = 0;              // schedule entries enabled, bit i = entry i
    std::array<std::uint8_t, 96> schedule{};   // 16 entries: start d/h/m, stop d/h/m
    std::array<std::uint8_t, 8> calibration{}; // the grave-accent reply
    std::uint8_t serviceValue130 = 0;          // written by "a"
    std::uint8_t serviceValue140 = 0;          // written by "b"
    std::uint8_t memoryBlocks = 6;
    Bytes logger;           // finished sets, from address 3584 on
    bool recording = false; // a set is being recorded
    bool scheduled = false; // "W" armed the timed-recording table
};

// A complete software meter on the serial line. Bytes written are taken as
// commands and parameters; replies come back paced at 19200 baud (10 bits a
// byte) after a short turnaround, timed on the given clock, so a test with a
// ManualClock sees exactly the bytes whose time has come.
// Not thread-safe: one thread drives it.
class VirtualMeter final : public Transport {
public:
    static constexpr int logStart = 3584; // first address of the logging area
    static constexpr double byteTime = kLineByteSeconds;
    static constexpr double turnaround = 0.002;     // before the first reply byte
    static constexpr double parameterTimeout = 1.0; // a command's parameters given up after this

    explicit VirtualMeter(Clock& clock, VirtualMeterOptions options = {});

    Status open() override;
    void close() override;
    bool isOpen() const override;
    Status write(std::span<const std::uint8_t> bytes) override;
    Result<Bytes> takeReceived() override;

    // When the next reply byte arrives (on the clock); empty when nothing is on its way.
    std::optional<double> nextByteDue() const;

    // Fault switches.
    void setSilentAfter(std::optional<int> commands);
    void truncateNextReplies(int count, std::size_t bytes);
    void corruptNextStatusFrames(int count);
    void dropNextReplies(int count);
    void setVanished(bool vanished);
    void stallDumpAfter(std::optional<std::size_t> bytes);
    void ignoreCommands(std::string commands);
    const MeterFaults& faults() const { return faults_; }

    // The meter's memory, for inspection and for setting up a test.
    const MeterState& state() const { return state_; }
    void setLoggerImage(Bytes image);
    // The logger as "A" and "I" see it: the finished sets and the one being recorded.
    Bytes loggerImage() const;
    int memEnd() const;
    int commandsTaken() const { return commands_; }

    // The meter's clock now.
    MeterDateTime meterTime() const;
    // What the display shows: menu or measuring view, its page.
    const MeterDisplay& display() const { return display_; }
    // The live reading as the next status frame will carry it (tenths of a dB).
    std::uint16_t levelTenths();
    std::uint16_t peakTenths();

private:
    struct Pending {
        std::uint8_t command = 0;
        std::size_t needed = 0;
        Bytes params;
        double lastByte = 0;
    };
    struct Outgoing {
        Bytes bytes;
        double start = 0; // byte i has arrived at start + (i + 1) * byteTime
        std::size_t taken = 0;
    };
    enum class ReplyKind { plain, status, dump };

    void receive(std::uint8_t byte, double now);
    void execute(std::uint8_t command, double now);
    void apply(std::uint8_t command, const Bytes& params, double now);
    void send(Bytes reply, ReplyKind kind, double now);
    void selectPreset(std::uint8_t number);

    // Recording: "X"/"W" then "Y" starts it; the set grows with the clock.
    struct Running {
        SetRecorder set;
        double startClock = 0;       // clock time of the set's start
        std::int64_t startMeter = 0; // meter seconds of the set's start
        std::uint32_t done = 0;      // seconds recorded so far
        std::optional<std::uint32_t> pausedFrom;
        std::optional<std::uint32_t> stopAfter; // a duration-limited recording
        bool scheduled = false;
    };
    void catchUp(double now);
    void recordUntil(double now);
    void startRecording(double clockTime, bool scheduled, std::optional<std::uint32_t> stopAfter);
    void stopRecording();
    void pauseKey(bool wasPaused);
    bool scheduleMatches(std::int64_t meterSeconds, bool start) const;
    std::size_t room() const;
    std::int64_t meterSecondsAt(double clockTime) const;

    Bytes statusFrame(double now);
    Bytes clockRecord(double now) const;
    Bytes memoryStatus() const;

    Clock& clock_;
    VirtualMeterOptions options_;
    MeterState state_;
    MeterFaults faults_;
    LiveLevel live_;
    MeterDisplay display_;
    bool open_ = false;
    bool paused_ = false;
    std::uint8_t armed_ = 0; // "W" or "X" waiting for its "Y"
    int commands_ = 0;
    std::optional<Pending> pending_;
    std::deque<Outgoing> outgoing_;
    std::optional<Running> running_;
    bool scheduleArmed_ = false;
    std::int64_t scheduleChecked_ = 0; // meter seconds up to which the table was looked at
    std::int64_t clockBase_ = 0;       // meter seconds at clockRef_
    double clockRef_ = 0;
};

} // namespace km740
