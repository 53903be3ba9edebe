// SPDX-License-Identifier: GPL-3.0-or-later
// The meter worker on the in-process virtual meter with a fast clock, every
// byte that goes out recorded: what a window test needs below the windows.
#pragma once

#include "support/TappedMeter.h"

#include "app/ui/MeterWorker.h"

#include <memory>
#include <optional>
#include <thread>

namespace km740::test {

struct WorkerBench {
    FastClock clock;
    std::shared_ptr<Wire> wire = std::make_shared<Wire>();
    TappedMeter* meter = nullptr;
    std::unique_ptr<MeterWorker> worker;
    std::thread::id windowThread = std::this_thread::get_id();

    // The worker is made but not started. At the end the bench checks that
    // the window thread never wrote to or read from the port.
    explicit WorkerBench(double speed = 10.0, bool failOpen = false);
    virtual ~WorkerBench();
    WorkerBench(const WorkerBench&) = delete;
    WorkerBench& operator=(const WorkerBench&) = delete;

    // Bytes written so far.
    std::size_t sentCount();
    // Bytes sent since `from`, without the live poll's "F" and grave accent.
    Bytes sentApartFromPolls(std::size_t from = 0);
    // Bytes sent since `from`, polls included.
    Bytes sentSince(std::size_t from);
    // Writes so far (each command and each block of parameter bytes is one).
    std::size_t writeCount();
    // The link seconds between the first write after write `fromWrite` that
    // begins with `command` and the write after it; empty when there is none.
    std::optional<double> waitAfter(std::uint8_t command, std::size_t fromWrite = 0);
    // The same for the write `nth` writes after that command (1 = the next).
    std::optional<double> waitBetween(std::uint8_t command, int nth, std::size_t fromWrite = 0);
};

} // namespace km740::test
