// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/sim/VirtualMeter.h"

#include <gtest/gtest.h>

#include <string_view>

namespace km740::test {

// A meter on a hand-driven clock, opened, with a helper for one exchange.
struct MeterBench {
    ManualClock clock{1000.0};
    VirtualMeter meter;

    explicit MeterBench(VirtualMeterOptions options = {}) : meter(clock, options) { EXPECT_TRUE(meter.open().ok()); }

    void send(std::string_view text)
    {
        const Bytes b(text.begin(), text.end());
        ASSERT_TRUE(meter.write(b).ok());
    }
    void send(const Bytes& b) { ASSERT_TRUE(meter.write(b).ok()); }

    Bytes take()
    {
        auto r = meter.takeReceived();
        EXPECT_TRUE(r.ok());
        return r.ok() ? r.value() : Bytes{};
    }

    // Sends a command and reads what has come after `wait` seconds.
    Bytes ask(std::string_view command, double wait = 0.2)
    {
        take();
        send(command);
        clock.advance(wait);
        return take();
    }

    // Command, a pause, then its parameter bytes, as the program writes them.
    void write(std::string_view command, const Bytes& params, double gap = 0.2)
    {
        send(command);
        clock.advance(gap);
        send(params);
        clock.advance(0.2);
    }
};

} // namespace km740::test
