// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/lists/DerivedFromFile.h"
#include "core/lists/CsvExport.h"
#include "core/files/DataFileWriter.h"
#include "core/lists/FileListTable.h"
#include "core/lists/FilePrintout.h"
#include "core/lists/FileRows.h"
#include "support/SampleFiles.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>

namespace km740 {
namespace {

// The rows a file streams into, as texts joined by Tabs.
std::vector<std::string> streamedRows(const std::filesystem::path& path, const Regional& regional)
{
    std::vector<std::string> rows;
    FileRows sink(regional, {}, [&](std::span<const std::string_view> cells) {
        std::string row;
        for (auto c : cells)
            row += std::string(c) + '\t';
        rows.push_back(row);
        return true;
    });
    EXPECT_TRUE(readDataFile(path, sink));
    return rows;
}

std::vector<std::string> tableRows(const FileListTable& t, const Regional& regional)
{
    std::vector<std::string> rows;
    for (std::size_t r = 0; r < t.rowCount(); ++r) {
        std::string row;
        for (int c = 0; c < t.columnCount(); ++c)
            row += t.cell(r, c, regional) + '\t';
        rows.push_back(row);
    }
    return rows;
}

// The window's table keeps numbers and formats on demand; its texts must be
// those the streamed rows (and the printout, the derive command) give.
TEST(FileListTable, CellsAreTheStreamedTexts)
{
    test::TempFolder dir;
    const auto path = dir / "rt.sonx";
    ASSERT_TRUE(writeDataFile(path, test::sampleRealTime(5000, 97, ',')));
    auto loaded = loadFileListTable(path);
    ASSERT_TRUE(loaded) << loaded.error().message;
    const FileListTable& t = loaded->table;
    EXPECT_EQ(t.window(), FileListKind::realTime);
    EXPECT_EQ(t.rowCount(), 5000u);
    EXPECT_EQ(t.columnCount(), 12);
    EXPECT_EQ(t.skippedLevels(), 51u);
    for (const Regional& r : {Regional::point(), Regional::comma()})
        EXPECT_EQ(tableRows(t, r), streamedRows(path, r));
    EXPECT_EQ(t.cell(0, 0, Regional::point()), "1");
    EXPECT_EQ(t.cell(0, 2, Regional::point()), "73,7");
}

// Plots: the column's numbers with gaps (NaN) where a cell holds none, and
// the range from the last row.
TEST(FileListTable, PlotSeriesLeaveGapsForCellsWithoutANumber)
{
    test::TempFolder dir;
    ASSERT_TRUE(writeDataFile(dir / "rt.sonx", test::sampleRealTime(6, 3)));
    auto rt = loadFileListTable(dir / "rt.sonx");
    ASSERT_TRUE(rt);
    auto level = rt->table.plot(2);
    ASSERT_TRUE(level);
    EXPECT_EQ(level->inputs.plotXMax, 6);
    EXPECT_EQ(level->inputs.plotYMin, 70);
    EXPECT_EQ(level->inputs.plotYMax, 140);
    ASSERT_EQ(level->series.size(), 6u);
    EXPECT_DOUBLE_EQ(level->series[0], 73.7);
    EXPECT_TRUE(std::isnan(level->series[2]));
    EXPECT_TRUE(std::isnan(level->series[5]));
    EXPECT_FALSE(rt->table.plot(1));

    ASSERT_TRUE(writeDataFile(dir / "dbl.sonx", test::sampleDoseLogger()));
    auto dose = loadFileListTable(dir / "dbl.sonx");
    ASSERT_TRUE(dose);
    auto twa = dose->table.plot(3);
    ASSERT_TRUE(twa);
    EXPECT_EQ(twa->inputs.label, "dB ( Y ) :");
    EXPECT_DOUBLE_EQ(twa->series[0], 85.1);
    EXPECT_TRUE(std::isnan(twa->series[1])); // "----" is a gap, not 0
    auto doses = dose->table.plot(2);
    ASSERT_TRUE(doses);
    EXPECT_DOUBLE_EQ(doses->inputs.plotYMax, 2.25);

    // A dose is no level: past 200 % it still plots, and sets the range.
    DoseLoggerFile high = test::sampleDoseLogger();
    high.records[0].dose = "250.5";
    high.records.back().dose = "1234.5";
    ASSERT_TRUE(writeDataFile(dir / "high.sonx", DataFile(high)));
    auto highTable = loadFileListTable(dir / "high.sonx");
    ASSERT_TRUE(highTable);
    auto highDoses = highTable->table.plot(2);
    ASSERT_TRUE(highDoses);
    EXPECT_DOUBLE_EQ(highDoses->series[0], 250.5);
    EXPECT_DOUBLE_EQ(highDoses->series.back(), 1234.5);
    EXPECT_DOUBLE_EQ(highDoses->inputs.plotYMax, 1235.5);
    // FileList's distribution counts the TWA column; "----" is left out.
    const LevelDistribution d = dose->table.distribution();
    EXPECT_EQ(d.counted(), 2u);
    EXPECT_EQ(d.skipped(), 1u);
    EXPECT_EQ(d.counts(Resolution::whole)[85], 1u);
}

// The streamed printout (print-text, print-pdf) is the window's printout.
TEST(FileListTable, StreamedPrintoutIsTheWindowsPrintout)
{
    test::TempFolder dir;
    const std::vector<std::pair<std::string, DataFile>> files{{"rt.sonx", test::sampleRealTime(40, 7)},
                                                              {"dbl.sonx", test::sampleDoseLogger()},
                                                              {"dbs.sonx", test::sampleLevelLogger(7)}};
    for (const auto& [name, file] : files) {
        ASSERT_TRUE(writeDataFile(dir / name, file));
        auto loaded = loadFileListTable(dir / name);
        ASSERT_TRUE(loaded);
        for (int perRow : {1, 3}) {
            std::vector<std::string> streamed;
            ASSERT_TRUE(
                printDataFile(dir / name, Regional::point(), perRow,
                              [&](std::string_view l, std::optional<std::size_t>) { streamed.emplace_back(l); }));
            const PrintSource source = loaded->table.printSource(Regional::point());
            EXPECT_EQ(streamed, printLines(loaded->table.printKind(), source, perRow)) << name << " " << perRow;
        }
    }
    // Three level records a line: 7 records make lines of 3, 3 and 1.
    std::vector<std::string> lines;
    ASSERT_TRUE(printDataFile(dir / "dbs.sonx", Regional::point(), 3,
                              [&](std::string_view l, std::optional<std::size_t>) { lines.emplace_back(l); }));
    const std::string ind(10, ' ');
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[lines.size() - 3], ind + "1       2026/12/01 08:00:02  81.5    82.5    -       ");
    EXPECT_EQ(lines.back(), ind + "7       2026/12/01 08:00:14  87.5    ");
}

// A cancelled read keeps what it read, up to the progress step it stopped at.
TEST(FileListTable, CancelKeepsWhatWasRead)
{
    test::TempFolder dir;
    ASSERT_TRUE(writeDataFile(dir / "rt.sonx", test::sampleRealTime(10000)));
    std::atomic<bool> cancel{false};
    std::vector<std::int64_t> seen;
    auto loaded = loadFileListTable(
        dir / "rt.sonx",
        [&](std::int64_t n) {
            seen.push_back(n);
            cancel = true;
        },
        &cancel);
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(loaded->cancelled);
    EXPECT_EQ(seen, std::vector<std::int64_t>{4096});
    EXPECT_EQ(loaded->table.rowCount(), 4096u);
    EXPECT_EQ(loaded->table.cell(4095, 0, Regional::point()), "4096");
}

// Rows left out of the exposure analysis: the running columns pass over
// them as over a record without a reading, and the histogram does not count
// them; with none left out the list is the meter's own again.
TEST(FileListTable, RowsLeftOutArePassedOverByTheRunningColumnsAndTheDistribution)
{
    RealTimeFile f{DataFileKind::realTimeData, test::sampleSettings(true), {}};
    const char* levels[] = {"90.0", "100.0", "80.0", "90.0", "----", "95.0"};
    for (int i = 0; i < 6; ++i)
        f.records.push_back({i + 1, "2026/12/01 08:00:0" + std::to_string(i), levels[i]});
    FileListTable t = FileListTable::of(f);
    const auto meters = tableRows(t, Regional::point());
    constexpr int dose = 4, leq = 8, pdose = 10;
    EXPECT_DOUBLE_EQ(*t.value(1, dose), (1.0 + 4.0) / 288.0);

    // 08:00:01 up to 08:00:03 leaves out the 100 and the 80 dB rows.
    const ExcludedRows rows = ExcludedRows::of(t.recordTimes(), {{parseLocalTime("2026-12-01T08:00:01").value(),
                                                                  parseLocalTime("2026-12-01T08:00:03").value()}});
    ASSERT_EQ(rows.count(), 2u);
    auto running = t.runningWithout(rows);
    ASSERT_TRUE(running);
    t.leaveOut(rows, std::move(*running));
    // The rows left out show the sums as they stood before them.
    for (int r : {1, 2})
        for (int c : {dose, leq, pdose})
            EXPECT_EQ(t.value(r, c), t.value(0, c)) << r << " " << c;
    // Their own cells stay as the file has them.
    EXPECT_EQ(t.cell(1, 2, Regional::point()), "100.0");
    // Used: 90, 90 and 95 dB; the "----" adds nothing either.
    EXPECT_DOUBLE_EQ(*t.value(5, dose), (1.0 + 1.0 + 2.0) / 288.0);
    EXPECT_NEAR(*t.value(5, leq), 10 * std::log10((2 * 1e9 + std::pow(10.0, 9.5)) / 3), 1e-9);
    EXPECT_DOUBLE_EQ(*t.value(5, pdose), 4.0 / 288.0 * 28800.0 / 3.0);

    const LevelDistribution d = t.distribution();
    const auto& tenths = d.counts(Resolution::tenth);
    EXPECT_EQ(tenths[900], 2u);
    EXPECT_EQ(tenths[950], 1u);
    EXPECT_EQ(tenths[1000], 0u);
    EXPECT_EQ(tenths[800], 0u);
    EXPECT_EQ(d.leftOut(), 2u);
    EXPECT_EQ(leftOutNote(d), "1 record without a level left out; 2 readings left out of the exposure analysis");

    // Nothing left out: every cell is the meter's list again, byte for byte.
    auto none = t.runningWithout(ExcludedRows{});
    t.leaveOut(ExcludedRows{}, std::move(*none));
    EXPECT_EQ(tableRows(t, Regional::point()), meters);
    EXPECT_EQ(t.distribution().counts(Resolution::tenth)[1000], 1u);
}

TEST(CsvExport, SpreadsheetReadyRows)
{
    const CsvExport all(FileListKind::realTime, {});
    std::string out;
    all.appendHeader(out);
    EXPECT_EQ(out, "No.s,Date Time,dB [dB],TWA [dB],Dose [%],SEL [dB],SE [Pa2h],\"LEP,d [dB]\",Leq [dB],"
                   "PTWA [dB],PDose [%],LAvg [dB]\r\n");
    const std::array<std::string_view, 12> cells{
        "7", "2026/12/01 08:00:06", "85,3", "----", "0,0034", "93,1", "0,001", "-3,4", "85,3", "----", "100,0", "----"};
    out.clear();
    all.appendRow(out, cells);
    EXPECT_EQ(out, "7,2026-12-01T08:00:06,85.3,,0.0034,93.1,0.001,-3.4,85.3,,100.0,\r\n");

    const CsvExport some(FileListKind::dose, {1, 3});
    out.clear();
    some.appendHeader(out);
    const std::array<std::string_view, 4> dose{"1", "18.03.2008 09:06", "0.5", "85.1"};
    some.appendRow(out, dose);
    EXPECT_EQ(out, "Date Time,TWA [dB]\r\n18.03.2008 09:06,85.1\r\n");

    std::string quoted;
    appendCsvField(quoted, "a \"b\", c");
    EXPECT_EQ(quoted, "\"a \"\"b\"\", c\"");
    EXPECT_EQ(isoDateTime("2026-12-01 08:00:06"), "2026-12-01T08:00:06");
}

} // namespace
} // namespace km740
