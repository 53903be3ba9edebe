// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/lists/CsvFile.h"
#include "core/files/DataFileWriter.h"
#include "core/lists/FileListTable.h"
#include "support/SampleFiles.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace km740 {
namespace {

// The window exports its table, km740-tool streams the file: one CSV either
// way, also past the first megabyte of output.
TEST(CsvFile, TableAndStreamedFileGiveTheSameBytes)
{
    test::TempFolder dir;
    const std::vector<std::pair<std::string, DataFile>> files{{"rt.sonx", test::sampleRealTime(20000, 97)},
                                                              {"dbl.sonx", test::sampleDoseLogger()}};
    for (const auto& [name, file] : files) {
        ASSERT_TRUE(writeDataFile(dir / name, file));
        auto loaded = loadFileListTable(dir / name);
        ASSERT_TRUE(loaded);
        ASSERT_TRUE(writeCsv(loaded->table, dir / (name + ".table.csv")));
        auto streamed = writeCsv(dir / name, dir / (name + ".csv"), {});
        ASSERT_TRUE(streamed) << streamed.error().message;
        EXPECT_EQ(streamed->records, static_cast<std::int64_t>(loaded->table.rowCount()));
        const std::string bytes = test::readBytes(dir / (name + ".csv"));
        EXPECT_EQ(bytes, test::readBytes(dir / (name + ".table.csv"))) << name;
        EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'),
                  static_cast<std::ptrdiff_t>(loaded->table.rowCount() + 1));
    }
    EXPECT_GT(std::filesystem::file_size(dir / "rt.sonx.csv"), 1u << 20);
    EXPECT_EQ(test::readBytes(dir / "dbl.sonx.csv"), "No.s,Date Time,Dose [%],TWA [dB]\r\n"
                                                     "1,2026-12-01T09:00:00,0.5000,85.1\r\n"
                                                     "2,2026-12-01T09:01:00,0,\r\n"
                                                     "3,2026-12-01T09:02:00,1.2500,87.3\r\n");
}

// Columns are chosen once the file's kind is known; a refused choice or a
// target that cannot be written leaves what was there.
TEST(CsvFile, ChosenColumnsAndFailuresLeaveNoHalfFile)
{
    test::TempFolder dir;
    ASSERT_TRUE(writeDataFile(dir / "dbl.sonx", test::sampleDoseLogger()));
    auto some = writeCsv(dir / "dbl.sonx", dir / "some.csv", [](FileListKind window) -> Result<std::vector<int>> {
        EXPECT_EQ(window, FileListKind::dose);
        return std::vector<int>{3, 1};
    });
    ASSERT_TRUE(some);
    EXPECT_EQ(test::readLines(dir / "some.csv").front(), "TWA [dB],Date Time");

    test::writeBytes(dir / "kept.csv", "old");
    auto refused = writeCsv(dir / "dbl.sonx", dir / "kept.csv", [](FileListKind) -> Result<std::vector<int>> {
        return failure(FailureKind::data, "no column \"X\"");
    });
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().message, "no column \"X\"");
    EXPECT_EQ(test::readBytes(dir / "kept.csv"), "old");

    auto nowhere = writeCsv(dir / "dbl.sonx", dir / "missing" / "x.csv", {});
    ASSERT_FALSE(nowhere);
    EXPECT_EQ(nowhere.error().kind, FailureKind::io);
    auto noFile = writeCsv(dir / "none.sonx", dir / "none.csv", {});
    ASSERT_FALSE(noFile);
    EXPECT_FALSE(std::filesystem::exists(dir / "none.csv"));
}

} // namespace
} // namespace km740
