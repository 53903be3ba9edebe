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

} // namespace km740::test
