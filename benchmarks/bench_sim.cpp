// SPDX-License-Identifier: GPL-3.0-or-later
// What the virtual meter costs: building a full logger, and serving its
// 192 KB dump read every 5 ms as a link would.
#include "core/sim/SampleLogger.h"
#include "core/sim/VirtualMeter.h"

#include <benchmark/benchmark.h>

namespace {

const std::array<std::uint8_t, 8> calibration = {0x05, 0x30, 0x14, 7, 3, 26, 0xAC, 0x03};

void BM_FillLogger192K(benchmark::State& state)
{
    for (auto _ : state) {
        const km740::Bytes image = km740::filledLoggerImage(192 * 1024, 1, calibration);
        benchmark::DoNotOptimize(image.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 192 * 1024);
}
BENCHMARK(BM_FillLogger192K)->Unit(benchmark::kMillisecond);

void BM_Dump192K(benchmark::State& state)
{
    km740::ManualClock clock;
    km740::VirtualMeterOptions options;
    options.logger = km740::LoggerContent::filled;
    options.fillBytes = 192 * 1024;
    km740::VirtualMeter meter(clock, options);
    (void)meter.open();
    const std::size_t total = static_cast<std::size_t>(meter.memEnd() - km740::VirtualMeter::logStart);
    const km740::Bytes command{'I'};
    double simulated = 0;
    for (auto _ : state) {
        (void)meter.write(command);
        const double start = clock.now();
        std::size_t got = 0;
        while (got < total) {
            clock.advance(0.005);
            got += meter.takeReceived()->size();
        }
        simulated = clock.now() - start;
    }
    state.counters["line_s"] = simulated; // time the dump takes on the line
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * total));
}
BENCHMARK(BM_Dump192K)->Unit(benchmark::kMillisecond);

} // namespace
