// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/common/Result.h"
#include "core/link/Clock.h"
#include "core/sim/VirtualMeter.h"

#include <optional>
#include <string>

namespace km740 {

// Serves a VirtualMeter on a pseudo-terminal: the program under test opens
// the slave side as it would a serial port. The server holds the slave open
// itself, so the line does not hang up between one client and the next.
class PtyServer {
public:
    PtyServer() = default;
    ~PtyServer();
    PtyServer(const PtyServer&) = delete;
    PtyServer& operator=(const PtyServer&) = delete;

    // Creates the pty: raw, 19200 baud, nothing translated.
    Status open();
    const std::string& slavePath() const { return slavePath_; }

    // Passes bytes between the pty and the meter, each reply byte written
    // when it is due, until `stopFd` becomes readable. Sleeps in poll() while
    // nothing is due, so an idle meter costs no CPU.
    // With vanishAfter set, the pty is closed once the meter has taken that
    // many commands and serve() returns: the device is gone, as an unplugged
    // USB adapter is.
    Status serve(VirtualMeter& meter, Clock& clock, int stopFd, std::optional<int> vanishAfter = {});

private:
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
};

} // namespace km740
