// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/WorkerBench.h"

#include <gtest/gtest.h>

namespace km740::test {

WorkerBench::WorkerBench(double speed, bool failOpen) : clock(speed)
{
    wire->failOpen = failOpen;
    auto m = std::make_unique<TappedMeter>(clock, wire);
    meter = m.get();
    worker = std::make_unique<MeterWorker>(std::move(m), clock);
}

WorkerBench::~WorkerBench()
{
    if (worker)
        worker->stop();
    // Whatever the test did, the window thread never waited on the port.
    std::lock_guard lock(wire->mutex);
    EXPECT_FALSE(wire->portThreads.contains(windowThread)) << "the window thread used the port";
}

std::size_t WorkerBench::sentCount()
{
    std::lock_guard lock(wire->mutex);
    return wire->sent.size();
}

Bytes WorkerBench::sentApartFromPolls(std::size_t from)
{
    std::lock_guard lock(wire->mutex);
    Bytes out;
    for (std::size_t i = from; i < wire->sent.size(); ++i)
        if (wire->sent[i] != 'F' && wire->sent[i] != 0x60)
            out.push_back(wire->sent[i]);
    return out;
}

Bytes WorkerBench::sentSince(std::size_t from)
{
    std::lock_guard lock(wire->mutex);
    if (from >= wire->sent.size())
        return {};
    return Bytes(wire->sent.begin() + static_cast<std::ptrdiff_t>(from), wire->sent.end());
}

std::size_t WorkerBench::writeCount()
{
    std::lock_guard lock(wire->mutex);
    return wire->timed.size();
}

std::optional<double> WorkerBench::waitAfter(std::uint8_t command, std::size_t fromWrite)
{
    return waitBetween(command, 1, fromWrite);
}

std::optional<double> WorkerBench::waitBetween(std::uint8_t command, int nth, std::size_t fromWrite)
{
    std::lock_guard lock(wire->mutex);
    const auto& w = wire->timed;
    for (std::size_t i = fromWrite; i < w.size(); ++i) {
        if (w[i].second != command)
            continue;
        const std::size_t j = i + static_cast<std::size_t>(nth);
        if (j >= w.size())
            return std::nullopt;
        return (w[j].first - w[i].first) * clock.speed();
    }
    return std::nullopt;
}

} // namespace km740::test
