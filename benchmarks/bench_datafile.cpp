// SPDX-License-Identifier: GPL-3.0-or-later
// A four-day live recording (345 600 records): read it in one streaming pass,
// load it whole, and save it.
#include "core/files/DataFileReader.h"
#include "core/files/DataFileWriter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <random>

namespace {

km740::RealTimeFile fourDays()
{
    km740::RealTimeFile f;
    f.kind = km740::DataFileKind::realTimeData;
    f.settings = {"94.0", "Slow", "A", "80", "90", "5", "Llpk", "70-140", "2026/12/01 07:59:00"};
    f.records.reserve(345600);
    std::mt19937 random(5);
    char stamp[32], level[16];
    for (int i = 0; i < 345600; ++i) {
        const int s = 8 * 3600 + i;
        std::snprintf(stamp, sizeof stamp, "2026/12/%02d %02d:%02d:%02d", 1 + s / 86400, s / 3600 % 24, s / 60 % 60,
                      s % 60);
        std::snprintf(level, sizeof level, "%.1f", 60 + (random() % 500) / 10.0);
        f.records.push_back({i + 1, stamp, level});
    }
    return f;
}

const std::filesystem::path& recordingPath()
{
    static const std::filesystem::path path = [] {
        auto p = std::filesystem::temp_directory_path() / "km740-bench-4days.sonx";
        if (!km740::writeDataFile(p, fourDays()))
            std::abort();
        return p;
    }();
    return path;
}

struct CountingSink : km740::DataFileSink {
    bool header(const km740::DataFileHeader&) override { return true; }
    bool levelRecord(const km740::LevelRecord& r) override
    {
        sum += km740::readNumber(r.level);
        ++records;
        return true;
    }
    double sum = 0;
    std::int64_t records = 0;
};

void streamRead(benchmark::State& state)
{
    const auto& path = recordingPath();
    for (auto _ : state) {
        CountingSink sink;
        auto r = km740::readDataFile(path, sink);
        if (!r || sink.records != 345600)
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(sink.sum);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * std::filesystem::file_size(path)));
}

void loadWhole(benchmark::State& state)
{
    const auto& path = recordingPath();
    for (auto _ : state) {
        auto f = km740::loadDataFile(path);
        if (!f)
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(f);
    }
}

void save(benchmark::State& state)
{
    const auto file = fourDays();
    const auto target = std::filesystem::temp_directory_path() / "km740-bench-save.sonx";
    for (auto _ : state)
        if (!km740::writeDataFile(target, file))
            state.SkipWithError("write failed");
    std::filesystem::remove(target);
}

} // namespace

BENCHMARK(streamRead)->Unit(benchmark::kMillisecond);
BENCHMARK(loadWhole)->Unit(benchmark::kMillisecond);
BENCHMARK(save)->Unit(benchmark::kMillisecond);
