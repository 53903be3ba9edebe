// SPDX-License-Identifier: GPL-3.0-or-later
// The exposure summary of a data file read from the disk: under "File" it
// gives the real-time file list's last row, and a level logger set counts
// each reading for its logging interval.
#include "core/lists/ExposureHistory.h"

#include "core/files/DataFileWriter.h"
#include "core/lists/FileListTable.h"
#include "support/SampleFiles.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace km740 {
namespace {

void expectSame(std::optional<double> summary, std::optional<double> list, const std::string& what)
{
    ASSERT_EQ(summary.has_value(), list.has_value()) << what;
    if (summary) {
        EXPECT_NEAR(*summary, *list, 1e-9 * std::max(1.0, std::abs(*list))) << what;
    }
}

TEST(ExposureHistory, FileEqualsTheFileListsLastRow)
{
    test::TempFolder dir;
    RealTimeFile iso = test::sampleRealTime(900);
    iso.kind = DataFileKind::realTimeList;
    iso.settings.threshold = "70";
    iso.settings.criterion = "85";
    iso.settings.exchangeRate = "3";
    const std::vector<std::pair<std::string, RealTimeFile>> samples = {
        {"plain", test::sampleRealTime(3600)},
        {"gaps", test::sampleRealTime(1000, 7)},
        {"comma", test::sampleRealTime(500, 0, ',')},
        {"iso", iso},
    };
    for (const auto& [name, file] : samples) {
        const auto path = dir / (name + ".sonx");
        ASSERT_TRUE(writeDataFile(path, file));
        auto table = loadFileListTable(path);
        ASSERT_TRUE(table);
        const FileListTable& t = table->table;
        const std::size_t last = t.rowCount() - 1;
        auto s = summarizeExposure(FileHistory(path), {.standards = {"File"}});
        ASSERT_TRUE(s) << s.error().message;
        const StandardExposure& f = s->standards.at(0);
        // Columns: 3 TWA, 4 Dose, 5 SEL, 6 SE, 7 LEP,d, 8 Leq, 9 PTWA, 10 PDose, 11 LAvg.
        expectSame(f.twa, t.value(last, 3), name + " TWA");
        expectSame(f.dose, t.value(last, 4), name + " Dose");
        expectSame(s->sel, t.value(last, 5), name + " SEL");
        expectSame(s->pa2h, t.value(last, 6), name + " SE");
        expectSame(s->lex8h, t.value(last, 7), name + " LEP,d");
        expectSame(s->laeq, t.value(last, 8), name + " Leq");
        expectSame(f.projectedTwa, t.value(last, 9), name + " PTWA");
        expectSame(f.projectedDose, t.value(last, 10), name + " PDose");
        expectSame(f.lavg, t.value(last, 11), name + " LAvg");
        EXPECT_EQ(s->used + t.skippedLevels(), t.rowCount()) << name;
        // The same records from memory (the real-time list) give the same.
        auto fromMemory =
            summarizeExposure(RecordHistory(file.kind, file.settings, file.records), {.standards = {"File"}});
        ASSERT_TRUE(fromMemory);
        EXPECT_EQ(fromMemory->standards[0].dose, f.dose) << name;
        EXPECT_EQ(fromMemory->laeq, s->laeq) << name;
    }
}

TEST(ExposureHistory, LevelLoggerReadingsLastTheirInterval)
{
    test::TempFolder dir;
    // Seven readings two seconds apart, the third without a level.
    const auto path = dir / "set.sonx";
    ASSERT_TRUE(writeDataFile(path, test::sampleLevelLogger()));
    auto s = summarizeExposure(FileHistory(path), {.standards = {"90/80/5"}});
    ASSERT_TRUE(s) << s.error().message;
    EXPECT_EQ(s->records, 7u);
    EXPECT_EQ(s->used, 6u);
    EXPECT_EQ(s->intervalSeconds, 2.0);
    EXPECT_EQ(s->measuredSeconds, 12.0);
    // 81.5, 82.5, 84.5 .. 87.5 dB, two seconds each: Σ 2^((L - 90)/5) · 2 / 288.
    double sum = 0;
    for (double l : {81.5, 82.5, 84.5, 85.5, 86.5, 87.5})
        sum += std::pow(2.0, (l - 90) / 5);
    EXPECT_NEAR(s->standards[0].dose, sum * 2 / 288, 1e-12);

    // A dose logger set has no levels to sum.
    const auto dose = dir / "dose.sonx";
    ASSERT_TRUE(writeDataFile(dose, test::sampleDoseLogger()));
    auto none = summarizeExposure(FileHistory(dose), {});
    ASSERT_FALSE(none);
    EXPECT_NE(none.error().message.find("no level history"), std::string::npos);
}

} // namespace
} // namespace km740
