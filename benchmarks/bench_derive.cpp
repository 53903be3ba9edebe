// SPDX-License-Identifier: GPL-3.0-or-later
// Derived values, distributions and the print layout over a full live
// recording part (345 600 one-second records, four days). Also writes that
// recording as a "Real Time Data" file, so that `km740-tool derive` can be
// timed on it: $KM740_BENCH_FILE, or km740-realtime-345600.sonx in the
// system's temporary folder.
#include "core/common/Regional.h"
#include "core/files/DataFileReader.h"
#include "core/lists/DerivedFromFile.h"
#include "core/exposure/ExposureValues.h"
#include "core/exposure/LevelDistribution.h"
#include "core/exposure/LnTable.h"
#include "core/lists/FileListTable.h"
#include "core/lists/PrintLayout.h"

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

// A workplace day: a wandering level between 55 and 115 dB with events.
const std::vector<std::string>& levelCells()
{
    static const std::vector<std::string> cells = [] {
        std::vector<std::string> out;
        out.reserve(kRecords);
        std::mt19937 rng(740);
        std::normal_distribution<double> step(0.0, 0.8);
        std::uniform_real_distribution<double> event(0.0, 1.0);
        double level = 82.0;
        for (int i = 0; i < kRecords; ++i) {
            level += step(rng);
            if (event(rng) < 0.001)
                level += 15.0;
            level = std::clamp(level, 55.0, 115.0);
            out.push_back(formatFixed(level, 1, Regional::point()));
        }
        return out;
    }();
    return cells;
}

std::string benchFilePath()
{
    if (const char* path = std::getenv("KM740_BENCH_FILE"))
        return path;
    return (std::filesystem::temp_directory_path() / "km740-realtime-345600.sonx").string();
}

void writeRealTimeFile(const std::string& path)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    const char* eol = "\r\n";
    out << "Real Time Data" << eol << eol << eol << eol;
    out << "Calibrated dB:94.0" << eol << "Time Weight:Slow" << eol << "Frequency Weight:A" << eol
        << "Threshold Level:80" << eol << "Criterion Level:90" << eol << "Exchange Rate:5" << eol << "Peak Type:Lcpk"
        << eol << "Range:70-140" << eol << "Calibrated Time:2026/12/01 07:55:00" << eol;
    out << "No.s\t      Date Time    \tdB" << eol;
    const auto& cells = levelCells();
    char stamp[32];
    for (int i = 0; i < kRecords; ++i) {
        int t = 8 * 3600 + i;
        int day = 1 + t / 86400;
        t %= 86400;
        std::snprintf(stamp, sizeof stamp, "2026/12/%02d %02d:%02d:%02d", day, t / 3600, t / 60 % 60, t % 60);
        out << (i + 1) << '\t' << stamp << '\t' << cells[static_cast<std::size_t>(i)] << '\t' << eol;
    }
}

void BM_WriteRealTimeFile(benchmark::State& state)
{
    const std::string path = benchFilePath();
    for (auto _ : state)
        writeRealTimeFile(path);
    state.SetLabel(path);
}
BENCHMARK(BM_WriteRealTimeFile)->Iterations(1)->Unit(benchmark::kMillisecond);

// The file read back and every row derived, as `km740-tool derive` does
// it, without the output.
class DeriveSink : public DataFileSink {
public:
    bool header(const DataFileHeader& header) override
    {
        values.emplace(*ExposureValues::create(doseParametersOf(header.settings)));
        return true;
    }
    bool levelRecord(const LevelRecord& record) override
    {
        for (const auto& text : exposureCells(values->addCell(record.level), Regional::point()))
            chars += text.size();
        return true;
    }
    std::optional<ExposureValues> values;
    std::size_t chars = 0;
};

void BM_ReadAndDeriveFile(benchmark::State& state)
{
    const std::string path = benchFilePath();
    if (!std::filesystem::exists(path))
        writeRealTimeFile(path);
    for (auto _ : state) {
        DeriveSink sink;
        auto read = readDataFile(path, sink);
        if (!read)
            state.SkipWithError(read.error().message.c_str());
        benchmark::DoNotOptimize(sink.chars);
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_ReadAndDeriveFile)->Unit(benchmark::kMillisecond);

// The derived cells of every record, as the real-time file list fills them.
void BM_ExposureValues(benchmark::State& state)
{
    const auto& cells = levelCells();
    for (auto _ : state) {
        auto ev = *ExposureValues::create({80.0, 90.0, 5.0});
        std::size_t chars = 0;
        for (const auto& cell : cells)
            for (const auto& text : exposureCells(ev.addCell(cell), Regional::point()))
                chars += text.size();
        benchmark::DoNotOptimize(chars);
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_ExposureValues)->Unit(benchmark::kMillisecond);

void BM_DistributionAndLn(benchmark::State& state)
{
    const auto& cells = levelCells();
    for (auto _ : state) {
        LevelDistribution d;
        for (const auto& cell : cells)
            d.addCell(cell);
        auto rows = gridLnRows(computeLnTable(d, Resolution::tenth, Regional::point()));
        benchmark::DoNotOptimize(rows);
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_DistributionAndLn)->Unit(benchmark::kMillisecond);

void BM_PrintLayoutLevelSet(benchmark::State& state)
{
    const auto& cells = levelCells();
    PrintSource source;
    source.records.rowCount = cells.size() + 1;
    source.records.cell = [&](std::size_t row, std::size_t column) -> std::string {
        if (row == 0)
            return column == 0 ? "No.s" : column == 1 ? "     Date Time    " : "dB";
        return column == 0 ? std::to_string(row) : column == 1 ? "2026/12/01 08:00:00" : cells[row - 1];
    };
    for (auto _ : state) {
        std::size_t chars = 0;
        layOutPrint(PrintKind::fileDb, source, 5,
                    [&](std::string_view line, std::optional<std::size_t>) { chars += line.size(); });
        benchmark::DoNotOptimize(chars);
    }
}
BENCHMARK(BM_PrintLayoutLevelSet)->Unit(benchmark::kMillisecond);

#if defined(KM740_TOOL_PATH) && defined(KM740_PLAIN_SCRIPT)
// `km740-tool derive` of the file, and the plain Python loop printing the
// same columns, side by side: the time is the child's CPU time.
void timeChild(benchmark::State& state, const std::vector<std::string>& args)
{
    const std::string path = benchFilePath();
    if (!std::filesystem::exists(path))
        writeRealTimeFile(path);
    for (auto _ : state) {
        std::vector<std::string> a = args;
        a.push_back(path);
        const double cpu = runChild(a).cpu;
        if (cpu < 0) {
            state.SkipWithError("the command failed");
            break;
        }
        state.SetIterationTime(cpu);
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_ToolDerive(benchmark::State& state)
{
    timeChild(state, {KM740_TOOL_PATH, "derive"});
}
void BM_ToolDeriveJson(benchmark::State& state)
{
    timeChild(state, {KM740_TOOL_PATH, "derive", "--json"});
}
void BM_PythonDerive(benchmark::State& state)
{
    timeChild(state, {"python3", KM740_PLAIN_SCRIPT});
}
BENCHMARK(BM_ToolDerive)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ToolDeriveJson)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PythonDerive)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
#endif

// The window's side: read, derive and keep the numbers, then format the
// rows a window shows first.
void BM_OpenIntoFileListTable(benchmark::State& state)
{
    const std::string path = benchFilePath();
    if (!std::filesystem::exists(path))
        writeRealTimeFile(path);
    for (auto _ : state) {
        auto loaded = loadFileListTable(path);
        if (!loaded) {
            state.SkipWithError(loaded.error().message.c_str());
            break;
        }
        std::size_t chars = 0;
        for (std::size_t r = 0; r < 40; ++r)
            for (int c = 0; c < 12; ++c)
                chars += loaded->table.cell(r, c, Regional::point()).size();
        benchmark::DoNotOptimize(chars);
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_OpenIntoFileListTable)->Unit(benchmark::kMillisecond);

} // namespace
