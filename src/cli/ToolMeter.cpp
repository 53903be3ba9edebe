// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ToolMeter.h"

#ifdef KM740_HAVE_SERIAL
#include "platform/SerialTransport.h"
#endif
#include "core/sim/VirtualMeter.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <iomanip>
#include <iostream>
#include <langinfo.h>
#include <locale.h>
#include <sstream>

namespace km740::cli {

namespace {

// Set by SIGINT / SIGTERM; every wait of the link checks it.
std::atomic<bool> interrupted{false};

extern "C" void onInterrupt(int)
{
    interrupted.store(true);
}

void catchInterrupts()
{
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
}

} // namespace

void clearInterrupt()
{
    interrupted.store(false);
}

// The user's decimal separator, read without touching the program's locale.
Regional userRegional()
{
    Regional r;
    if (locale_t loc = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(0))) {
        const char* radix = nl_langinfo_l(RADIXCHAR, loc);
        if (radix && radix[0] == ',')
            r.decimal = ',';
        freelocale(loc);
    }
    return r;
}

std::string json(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        if (static_cast<unsigned char>(c) < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
            continue;
        }
        out += c;
    }
    return out + "\"";
}

// Opens the meter chosen on the command line; on failure gives the exit code.
std::variant<std::unique_ptr<Meter>, int> openMeter(const ToolRun& run)
{
    if (run.simulate && !run.port.empty())
        return fail(exitUsage, "give either --port or --simulate, not both");
    if (!run.simulate && run.port.empty())
        return fail(exitUsage, "no meter given: use --port DEVICE or --simulate");
    auto meter = std::make_unique<Meter>();
    if (run.simulate) {
        meter->transport = std::make_unique<VirtualMeter>(meter->clock);
    } else {
#ifdef KM740_HAVE_SERIAL
        SerialTransport::ensureQtCore();
        meter->transport = std::make_unique<SerialTransport>(run.port);
#else
        return fail(exitUsage, "this build has no serial port support; use --simulate");
#endif
    }
    if (auto s = meter->transport->open(); !s)
        return fail(exitFailure, "No Device Found! " + s.error().message);
    meter->link = std::make_unique<MeterLink>(*meter->transport, meter->clock);
    meter->link->setStopFlag(&interrupted);
    if (run.trace) {
        // Every byte out and in, with the link's time since opening.
        const double opened = meter->clock.now();
        Meter* m = meter.get();
        meter->link->setExchangeLog([m, opened](char direction, std::span<const std::uint8_t> bytes) {
            std::ostringstream line;
            line << "trace " << std::fixed << std::setprecision(3) << (m->clock.now() - opened) << ' ' << direction;
            for (std::uint8_t b : bytes)
                line << ' ' << std::hex << std::setw(2) << std::setfill('0') << static_cast<int>(b);
            std::cerr << line.str() << '\n';
        });
    }
    catchInterrupts();
    return meter;
}

int meterFailure(const Failure& f)
{
    switch (f.kind) {
    case FailureKind::cancelled: return fail(exitFailure, "interrupted");
    case FailureKind::io: return fail(exitFailure, "the port failed: " + f.message);
    case FailureKind::data: return fail(exitFailure, "the meter's reply cannot be right: " + f.message);
    default: return fail(exitFailure, "the meter does not answer: " + f.message);
    }
}

} // namespace km740::cli
