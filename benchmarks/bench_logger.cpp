// SPDX-License-Identifier: GPL-3.0-or-later
// Split and decode whole logger memories as the virtual meter fills them.
#include "core/logger/LoggerSetTable.h"
#include "core/logger/SetDecoder.h"
#include "core/sim/SampleLogger.h"

#include <benchmark/benchmark.h>

namespace {

constexpr std::array<std::uint8_t, 8> kCalibration = {0x05, 0x30, 0x14, 7, 3, 18, 0xAC, 0x03};

void splitAndDecode(benchmark::State& state)
{
    const auto bytes = km740::filledLoggerImage(static_cast<std::size_t>(state.range(0)), 11, kCalibration);
    std::size_t records = 0;
    for (auto _ : state) {
        const km740::LoggerImage image(bytes);
        const km740::LoggerSetTable table = km740::splitSets(image);
        records = 0;
        for (const auto& set : table.sets) {
            auto decoded = km740::decodeSet(set, km740::Regional::point());
            benchmark::DoNotOptimize(decoded);
            records += set.recordCount;
        }
    }
    state.counters["records"] = static_cast<double>(records);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}

void splitOnly(benchmark::State& state)
{
    const auto bytes = km740::filledLoggerImage(static_cast<std::size_t>(state.range(0)), 11, kCalibration);
    const km740::LoggerImage image(bytes);
    for (auto _ : state) {
        auto table = km740::splitSets(image);
        benchmark::DoNotOptimize(table);
    }
}

} // namespace

BENCHMARK(splitAndDecode)->Arg(192 * 1024)->Arg(4 * 1024 * 1024)->Unit(benchmark::kMillisecond);
BENCHMARK(splitOnly)->Arg(192 * 1024)->Arg(4 * 1024 * 1024)->Unit(benchmark::kMillisecond);
