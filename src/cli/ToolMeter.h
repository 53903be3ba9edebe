// SPDX-License-Identifier: GPL-3.0-or-later
// What every meter command of km740-tool shares: opening the meter the
// command line names, the failure lines, JSON text.
#pragma once

#include "cli/ToolCommands.h"

#include "core/common/Regional.h"
#include "core/common/Result.h"
#include "core/link/Clock.h"
#include "core/link/MeterLink.h"
#include "core/link/Transport.h"

#include <memory>
#include <string>
#include <variant>

namespace km740::cli {

// The meter a command talks to: a serial port or the built-in virtual meter.
struct Meter {
    SteadyClock clock;
    std::unique_ptr<Transport> transport;
    std::unique_ptr<MeterLink> link;
};

// Opens the meter chosen on the command line; on failure gives the exit
// code. With --trace every exchange is written to standard error.
std::variant<std::unique_ptr<Meter>, int> openMeter(const ToolRun& run);

// After an interrupt: lets the link wait again, until the next one.
void clearInterrupt();

// The failure line for a failed exchange, and its exit code.
int meterFailure(const Failure& f);

// The user's decimal separator, read without touching the program's locale.
Regional userRegional();

// A JSON string literal.
std::string json(const std::string& text);

} // namespace km740::cli
