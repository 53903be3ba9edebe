// SPDX-License-Identifier: GPL-3.0-or-later
// The exposure summary of a full live recording part (345 600 one-second
// records, four days): in process, and `km740-tool exposure` run to its end
// with its CPU time and peak memory (the "peak_rss_mb" counter). The file is
// $KM740_BENCH_FILE, or km740-exposure-345600.sonx in the system's
// temporary folder, written on first use.
#include "core/common/Regional.h"
#include "core/exposure/ExposureSummary.h"
#include "core/lists/ExposureHistory.h"

#include <benchmark/benchmark.h>

#include "ChildUse.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

using namespace km740;

namespace {

constexpr int kRecords = 345600;

std::string benchFilePath()
{
    if (const char* path = std::getenv("KM740_BENCH_FILE"))
        return path;
    return (std::filesystem::temp_directory_path() / "km740-exposure-345600.sonx").string();
}

// A workplace level wandering between 55 and 115 dB with events.
const std::string& benchFile()
{
    static const std::string path = [] {
        const std::string p = benchFilePath();
        if (std::filesystem::exists(p))
            return p;
        std::ofstream out(p, std::ios::binary | std::ios::trunc);
        out << "Real Time Data\r\n\r\n\r\n\r\nCalibrated dB:94.0\r\nTime Weight:Slow\r\nFrequency Weight:A\r\n"
               "Threshold Level:80\r\nCriterion Level:90\r\nExchange Rate:5\r\nPeak Type:Lcpk\r\n"
               "Range:70-140\r\nCalibrated Time:2026/12/01 07:55:00\r\nNo.s\t      Date Time    \tdB\r\n";
        std::mt19937 rng(740);
        std::normal_distribution<double> step(0.0, 0.8);
        std::uniform_real_distribution<double> event(0.0, 1.0);
        double level = 82.0;
        char line[96];
        for (int i = 0; i < kRecords; ++i) {
            level = std::clamp(level + step(rng) + (event(rng) < 0.001 ? 15.0 : 0.0), 55.0, 115.0);
            const int t = 8 * 3600 + i;
            std::snprintf(line, sizeof line, "%d\t2026/12/%02d %02d:%02d:%02d\t%s\t\r\n", i + 1, 1 + t / 86400,
                          t % 86400 / 3600, t / 60 % 60, t % 60, formatFixed(level, 1, Regional::point()).c_str());
            out << line;
        }
        return p;
    }();
    return path;
}

// Two lunch breaks left out; "File" and the eight presets.
ExposureOptions benchOptions()
{
    ExposureOptions o;
    for (const char* day : {"2026-12-01", "2026-12-02"})
        o.exclusions.push_back(
            {*parseLocalTime(std::string(day) + "T12:00:00"), *parseLocalTime(std::string(day) + "T12:45:00")});
    return o;
}

void BM_ExposureSummaryOfFile(benchmark::State& state)
{
    const std::string& path = benchFile();
    const ExposureOptions options = benchOptions();
    for (auto _ : state) {
        auto s = summarizeExposure(FileHistory(path), options);
        if (!s) {
            state.SkipWithError(s.error().message.c_str());
            break;
        }
        benchmark::DoNotOptimize(s->laeq);
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_ExposureSummaryOfFile)->Unit(benchmark::kMillisecond);

#if defined(KM740_TOOL_PATH)
void toolExposure(benchmark::State& state, bool json)
{
    std::vector<std::string> args = {KM740_TOOL_PATH, "exposure",
                                     benchFile(),     "--no-analysis",
                                     "--exclude",     "2026-12-01T12:00:00/2026-12-01T12:45:00",
                                     "--exclude",     "2026-12-02T12:00:00/2026-12-02T12:45:00"};
    if (json)
        args.push_back("--json");
    double peak = 0.0;
    for (auto _ : state) {
        const ChildUse use = runChild(args);
        if (use.cpu < 0) {
            state.SkipWithError("the command failed");
            break;
        }
        state.SetIterationTime(use.cpu);
        peak = std::max(peak, use.peakMb);
    }
    state.counters["peak_rss_mb"] = peak;
    state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_ToolExposure(benchmark::State& state)
{
    toolExposure(state, false);
}
void BM_ToolExposureJson(benchmark::State& state)
{
    toolExposure(state, true);
}
BENCHMARK(BM_ToolExposure)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ToolExposureJson)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
#endif

} // namespace
