// SPDX-License-Identifier: GPL-3.0-or-later
// The archive with 10 000 measurements: open it, list all of it, list what a
// search finds; and file a four-day recording.
#include "core/archive/Archive.h"
#include "core/files/DataFileWriter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <random>

namespace {

namespace fs = std::filesystem;

constexpr int kMeasurements = 10000;

const fs::path& bigArchive()
{
    static const fs::path folder = [] {
        const fs::path f = fs::temp_directory_path() / "km740-bench-archive";
        fs::remove_all(f);
        if (!km740::Archive::open(f))
            std::abort();
        // Rows straight into the table in one transaction: filing 10 000
        // files one by one would time the disk's syncs, not the archive.
        auto db = km740::sql::Database::open(f / std::string(km740::Archive::databaseName));
        if (!db || !db->exec("BEGIN"))
            std::abort();
        auto insert = db->prepare(
            "INSERT INTO measurements (content_hash, kind, start_time, end_time, duration_seconds, interval_seconds, "
            "records, readings, calibrated_db, time_weight, freq_weight, threshold_level, criterion_level, "
            "exchange_rate, peak, level_range, calibrated_time, person, sector, company, notes, laeq, lmax, lmin, "
            "lex8h, points, file_name, source_path, filed_at, file_bytes, worst_standard, worst_dose) VALUES "
            "(?, 'Real Time Data', ?, ?, 28800, 1, 28800, 28800, '94.0', 'Slow', 'A', '80', '90', '5', 'Lcpk', "
            "'70-140', '2026/01/01 07:00:00', ?, ?, 'ACME', ?, ?, 110.0, 45.0, ?, ?, ?, '/m', '2026-12-01T00:00:00', "
            "1000000, 'ISO85', ?)");
        const char* people[] = {"Ana Silva", "Bob Brown", "Carla Dias", "Dan Evans", "Eva Fischer"};
        const char* sectors[] = {"Press shop", "Paint", "Assembly", "Warehouse"};
        std::mt19937 random(7);
        for (int i = 0; i < kMeasurements; ++i) {
            char hash[65], start[32], end[32], name[32];
            std::snprintf(hash, sizeof hash, "%064d", i);
            const int day = i / 20; // twenty a day, about a year and a half
            std::snprintf(start, sizeof start, "2025-%02d-%02dT07:00:00", 1 + day / 28 % 12, 1 + day % 28);
            std::snprintf(end, sizeof end, "2025-%02d-%02dT15:00:00", 1 + day / 28 % 12, 1 + day % 28);
            std::snprintf(name, sizeof name, "%010d.sonx", i);
            const double laeq = 75.0 + (random() % 250) / 10.0;
            insert->reset();
            insert->bind(1, std::string_view(hash)).bind(2, std::string_view(start)).bind(3, std::string_view(end));
            insert->bind(4, std::string_view(people[random() % 5])).bind(5, std::string_view(sectors[random() % 4]));
            insert->bind(6, std::string_view(i % 50 == 0 ? "ear plugs" : "")).bind(7, std::optional(laeq));
            insert->bind(8, std::optional(laeq)).bind(9, std::optional(100.0)).bind(10, std::string_view(name));
            insert->bind(11, std::optional(80.0));
            if (!insert->run())
                std::abort();
        }
        if (!db->exec("COMMIT"))
            std::abort();
        return f;
    }();
    return folder;
}

void BM_ArchiveOpen(benchmark::State& state)
{
    const fs::path& folder = bigArchive();
    for (auto _ : state)
        benchmark::DoNotOptimize(km740::Archive::open(folder));
}
BENCHMARK(BM_ArchiveOpen)->Unit(benchmark::kMillisecond);

void BM_ArchiveListAll(benchmark::State& state)
{
    auto archive = km740::Archive::open(bigArchive());
    for (auto _ : state) {
        auto rows = archive->list();
        if (!rows || rows->size() != kMeasurements)
            state.SkipWithError("not all rows");
    }
}
BENCHMARK(BM_ArchiveListAll)->Unit(benchmark::kMillisecond);

// One person's month, found by a text anywhere: what the window does as one types.
void BM_ArchiveListFiltered(benchmark::State& state)
{
    auto archive = km740::Archive::open(bigArchive());
    km740::MeasurementFilter filter;
    filter.text = "silva";
    filter.from = km740::parseIsoDate("2025-03-01");
    filter.to = km740::parseIsoDate("2025-03-31");
    std::size_t found = 0;
    for (auto _ : state)
        found = archive->list(filter)->size();
    state.counters["rows"] = static_cast<double>(found);
}
BENCHMARK(BM_ArchiveListFiltered)->Unit(benchmark::kMillisecond);

// Filing a four-day recording: read, hash, copy, commit.
void BM_ArchiveFileFourDays(benchmark::State& state)
{
    km740::RealTimeFile f{km740::DataFileKind::realTimeData,
                          {"94.0", "Slow", "A", "80", "90", "5", "Llpk", "70-140", "2026/12/01 07:59:00"},
                          {}};
    std::mt19937 random(5);
    for (int i = 0; i < 345600; ++i) {
        char stamp[32], level[16];
        const int s = 8 * 3600 + i;
        std::snprintf(stamp, sizeof stamp, "2026/12/%02d %02d:%02d:%02d", 1 + s / 86400, s / 3600 % 24, s / 60 % 60,
                      s % 60);
        std::snprintf(level, sizeof level, "%.1f", 60 + (random() % 500) / 10.0);
        f.records.push_back({i + 1, stamp, level});
    }
    const fs::path file = fs::temp_directory_path() / "km740-bench-archive-4days.sonx";
    if (!km740::writeDataFile(file, f))
        std::abort();
    const fs::path folder = fs::temp_directory_path() / "km740-bench-archive-filing";
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(folder);
        auto archive = km740::Archive::open(folder);
        state.ResumeTiming();
        if (!archive->file(file, {"Ana", "", "", ""}, "2026-12-05T00:00:00"))
            state.SkipWithError("filing failed");
    }
    fs::remove_all(folder);
    fs::remove(file);
}
BENCHMARK(BM_ArchiveFileFourDays)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
