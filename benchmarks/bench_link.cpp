// SPDX-License-Identifier: GPL-3.0-or-later
// The link layer: CPU cost of one live poll, and the logger download rate
// against the line rate of 19200 baud (10 bits a byte: 1920 bytes/s).
#include "core/link/Line.h"
#include "core/link/MeterLink.h"
#include "platform/SerialTransport.h"
#include "core/sim/VirtualMeter.h"

#include "support/SimProcess.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

using namespace km740;

namespace {

// Answers "F" and the grave accent at once: what is left is the link's own work.
class InstantMeter final : public Transport {
public:
    Status open() override { return success(); }
    void close() override {}
    bool isOpen() const override { return true; }
    Status write(std::span<const std::uint8_t> bytes) override
    {
        if (bytes.size() == 1 && bytes[0] == 'F')
            pending_.insert(pending_.end(), frame_.begin(), frame_.end());
        else if (bytes.size() == 1 && bytes[0] == 0x60)
            pending_.insert(pending_.end(), cal_.begin(), cal_.end());
        return success();
    }
    Result<Bytes> takeReceived() override { return std::exchange(pending_, {}); }

private:
    Bytes frame_{0x02, 0x52, 0x03, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 0x25, 0xB0, 0x04, 0x03};
    Bytes cal_{0x05, 0x30, 0x14, 7, 3, 18, 0xF2, 0x03};
    Bytes pending_;
};

void BM_LivePollCpu(benchmark::State& state)
{
    ManualClock clock;
    InstantMeter meter;
    MeterLink link(meter, clock);
    const Regional regional = Regional::comma();
    for (auto _ : state) {
        auto poll = link.livePoll(regional);
        benchmark::DoNotOptimize(poll);
        if (!poll)
            state.SkipWithError("poll failed");
    }
}
BENCHMARK(BM_LivePollCpu);

// One live poll against the in-process virtual meter on a ManualClock: the
// link and the meter's frame building, without the 0.4 s of waiting.
void BM_LivePollVirtualMeter(benchmark::State& state)
{
    ManualClock clock;
    VirtualMeter meter(clock);
    (void)meter.open();
    MeterLink link(meter, clock);
    for (auto _ : state) {
        auto poll = link.livePoll(Regional::point());
        if (!poll)
            state.SkipWithError("poll failed");
        benchmark::DoNotOptimize(poll);
    }
}
BENCHMARK(BM_LivePollVirtualMeter);

// The "I" dump of a 192 KB memory from the in-process virtual meter, timed on
// its ManualClock: the rate the link's read loop keeps against a meter that
// sends at line rate.
void BM_DumpVirtualMeterManualClock(benchmark::State& state)
{
    for (auto _ : state) {
        ManualClock clock;
        VirtualMeterOptions options;
        options.logger = LoggerContent::filled;
        options.fillBytes = 192 * 1024;
        VirtualMeter meter(clock, options);
        (void)meter.open();
        MeterLink link(meter, clock);
        auto status = link.readMemoryStatus();
        if (!status) {
            state.SkipWithError(status.error().message.c_str());
            return;
        }
        const double started = clock.now();
        auto image = link.dumpLogger(status->downloadSize());
        const double seconds = clock.now() - started;
        if (!image) {
            state.SkipWithError(image.error().message.c_str());
            return;
        }
        state.counters["bytes"] = static_cast<double>(image->size());
        state.counters["line_rate_percent"] = image->size() / seconds / kLineBytesPerSecond * 100.0;
    }
}
BENCHMARK(BM_DumpVirtualMeterManualClock)->Iterations(1)->Unit(benchmark::kMillisecond);

#ifdef KM740_SIM_PATH
// The same dump from km740-sim over a pty and SerialTransport, in real time
// (about 100 s for 192 KB).
void BM_DownloadFromSim(benchmark::State& state)
{
    SerialTransport::ensureQtCore();
    for (auto _ : state) {
        test::SimProcess sim(KM740_SIM_PATH, {"--fill-kb", "192"});
        if (sim.device().empty()) {
            state.SkipWithError("km740-sim did not start");
            return;
        }
        SerialTransport port(sim.device());
        if (!port.open()) {
            state.SkipWithError("cannot open the pty");
            return;
        }
        SteadyClock clock;
        MeterLink link(port, clock);
        auto status = link.readMemoryStatus();
        if (!status) {
            state.SkipWithError(status.error().message.c_str());
            return;
        }
        const auto started = std::chrono::steady_clock::now();
        auto image = link.dumpLogger(status->downloadSize());
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        if (!image) {
            state.SkipWithError(image.error().message.c_str());
            return;
        }
        state.SetIterationTime(seconds);
        state.counters["bytes"] = static_cast<double>(image->size());
        state.counters["line_rate_percent"] = image->size() / seconds / kLineBytesPerSecond * 100.0;
    }
}
BENCHMARK(BM_DownloadFromSim)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
#endif

} // namespace
