// SPDX-License-Identifier: GPL-3.0-or-later
// km740-sim: a virtual KM740 on a pseudo-terminal. Prints the device path as
// its first line, then answers on it until SIGINT or SIGTERM (and with
// --state-on-exit prints what the meter then holds, for checking a write
// from outside).
#include "sim-server/PtyServer.h"
#include "core/sim/VirtualMeter.h"

#include <CLI/CLI.hpp>

#include <csignal>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <iostream>
#include <span>
#include <string>
#include <unistd.h>

namespace {

int stopPipe[2] = {-1, -1};

extern "C" void onStopSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(stopPipe[1], &byte, 1);
}

std::string hex(std::span<const std::uint8_t> bytes)
{
    static constexpr char digits[] = "0123456789abcdef";
    std::string out;
    for (const std::uint8_t b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

// One line of key=value pairs: every setting a write can change.
void printState(const km740::VirtualMeter& meter)
{
    const km740::MeterState& s = meter.state();
    const km740::MeterDateTime t = meter.meterTime();
    char clock[32];
    std::snprintf(clock, sizeof clock, "%02d-%02d-%02dT%02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    std::cout << "state preset=" << int(s.presetNumber) << " users=" << hex(s.userPresets)
              << " settings=" << int(s.settings) << " threshold=" << int(s.thresholdCode)
              << " criterion=" << int(s.criterionCode) << " interval=" << int(s.intervalCode)
              << " period=" << int(s.periodCode) << " repeat=" << int(s.repeatCount) << " mask=" << s.enableMask
              << " schedule=" << hex(s.schedule) << " recording=" << s.recording << " scheduled=" << s.scheduled
              << " menu=" << meter.display().inMenu() << " page=" << meter.display().page()
              << " peak=" << meter.display().showingPeak() << " clock=" << clock
              << " commands=" << meter.commandsTaken() << std::endl;
}

km740::MeterDateTime localNow(long offsetSeconds)
{
    const std::time_t t = std::time(nullptr) + offsetSeconds;
    std::tm tm{};
    ::localtime_r(&t, &tm);
    return {tm.tm_year % 100, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

} // namespace

int main(int argc, char** argv)
{
    CLI::App app{"Virtual KM740 sound level meter on a pseudo-terminal"};
    int silentAfter = -1;
    int vanishAfter = -1;
    std::uint64_t seed = 1;
    bool empty = false;
    std::size_t fillKb = 0;
    app.add_option("--silent-after", silentAfter, "Stop answering after N commands")->check(CLI::NonNegativeNumber);
    app.add_option("--vanish-after", vanishAfter, "Close the device after N commands, as an unplugged adapter")
        ->check(CLI::PositiveNumber);
    long clockOffset = 0;
    app.add_option("--clock-offset", clockOffset, "Start the meter clock this many seconds off the computer's");
    std::string ignore;
    app.add_option("--ignore", ignore, "Command characters the meter takes but neither answers nor obeys");
    app.add_option("--seed", seed, "Seed of the live level's random walk");
    auto* emptyFlag = app.add_flag("--empty", empty, "Start with an empty logger memory");
    app.add_option("--fill-kb", fillKb, "Fill the logger memory with about N KB of sets")
        ->check(CLI::Range(1, 8000))
        ->excludes(emptyFlag);
    bool stateOnExit = false;
    app.add_flag("--state-on-exit", stateOnExit,
                 "When stopped, print the meter's settings, schedule, recording flags, display and clock");
    CLI11_PARSE(app, argc, argv);

    km740::VirtualMeterOptions options;
    options.seed = seed;
    options.clockStart = localNow(clockOffset);
    options.logger = empty        ? km740::LoggerContent::empty
                     : fillKb > 0 ? km740::LoggerContent::filled
                                  : km740::LoggerContent::sample;
    options.fillBytes = fillKb * 1024;

    km740::SteadyClock clock;
    km740::VirtualMeter meter(clock, options);
    if (silentAfter >= 0)
        meter.setSilentAfter(silentAfter);
    meter.ignoreCommands(ignore);
    if (!meter.open()) {
        std::cerr << "km740-sim: the meter would not open\n";
        return 1;
    }

    km740::PtyServer pty;
    if (const auto opened = pty.open(); !opened) {
        std::cerr << "km740-sim: " << opened.error().message << '\n';
        return 1;
    }
    if (::pipe2(stopPipe, O_CLOEXEC) != 0) {
        std::cerr << "km740-sim: cannot make the stop pipe\n";
        return 1;
    }
    struct sigaction sa {};
    sa.sa_handler = onStopSignal;
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGTERM, &sa, nullptr);

    std::cout << pty.slavePath() << std::endl; // first line, flushed: clients wait for it
    std::cerr << "km740-sim: serving a virtual KM740 (memory end " << meter.memEnd() << "); stop with Ctrl+C\n";

    const auto vanish = vanishAfter > 0 ? std::optional<int>(vanishAfter) : std::nullopt;
    if (const auto served = pty.serve(meter, clock, stopPipe[0], vanish); !served) {
        std::cerr << "km740-sim: " << served.error().message << '\n';
        return 1;
    }
    if (stateOnExit)
        printState(meter);
    return 0;
}
