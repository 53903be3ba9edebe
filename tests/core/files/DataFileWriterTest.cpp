// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/files/DataFileWriter.h"
#include "core/files/RecordingFile.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace km740 {
namespace {

using test::readBytes;
using test::TempFolder;

SettingsBlock panel(std::string peak)
{
    return {"94.0", "Slow", "A", "80", "90", "5", std::move(peak), "70-140", "2018/03/07 14:30:05"};
}

const std::string kLoggerHeader =
    "\r\n\r\n\r\n\r\n"
    "Calibrated dB:94.0\r\nTime Weight:Slow\r\nFrequency Weight:A\r\nThreshold Level:80\r\n"
    "Criterion Level:90\r\nExchange Rate:5\r\nPeak  Value:120.5\r\nRange:70-140\r\n"
    "Calibrated Time:2018/03/07 14:30:05\r\n";

TEST(DataFileWriter, RealTimeKindsLineByLine)
{
    RealTimeFile data{DataFileKind::realTimeData,
                      panel("Llpk"),
                      {{1, "2026/12/06 10:00:00", "85.3"}, {2, "2026/12/06 10:00:01", "85.4"}}};
    EXPECT_EQ(dataFileBytes(data),
              "Real Time Data\r\n\r\n\r\n\r\n"
              "Calibrated dB:94.0\r\nTime Weight:Slow\r\nFrequency Weight:A\r\nThreshold Level:80\r\n"
              "Criterion Level:90\r\nExchange Rate:5\r\nPeak Type:Llpk\r\nRange:70-140\r\n"
              "Calibrated Time:2018/03/07 14:30:05\r\n"
              "No.s\t      Date Time    \tdB\r\n"
              "1\t2026/12/06 10:00:00\t85.3\t\r\n"
              "2\t2026/12/06 10:00:01\t85.4\t\r\n");
    data.kind = DataFileKind::realTimeList;
    const std::string list = dataFileBytes(data);
    EXPECT_EQ(list.substr(0, 16), "Real Time List\r\n");
    EXPECT_NE(list.find("Peak Type:Llpk\r\n"), std::string::npos);
    // The list's line 14 is its grid header row, tab-terminated.
    EXPECT_NE(list.find("\r\nNo.s\t     Date Time    \tdB\t\r\n1\t"), std::string::npos);
}

TEST(DataFileWriter, LoggerKindsWithAndWithoutPauses)
{
    DoseLoggerFile dose{panel("120.5"), {}, {{"1", "2008/03/18 09:06:00", "0.5", "62.3"}}};
    EXPECT_EQ(dataFileBytes(dose), "Data Logger dBL" + kLoggerHeader +
                                       "0\r\nTimes\tPause\tRelease Period\r\n"
                                       "No.s\t     Date Time    \tDose\tTWA\t\r\n"
                                       "1\t2008/03/18 09:06:00\t0.5\t62.3\t\r\n");

    LevelLoggerFile level{panel("120.5"),
                          {{"1", "09:10:00", "09:12:30", "00:02:30"},
                           {"2", "09:20:00", "09:20:01", "00:00:01"},
                           {"3", "10:00:00", "11:00:00", "01:00:00"}},
                          {"12.5", "76.1"},
                          {{1, "2008/03/18 09:05:01", "82.1"}}};
    EXPECT_EQ(dataFileBytes(level), "Data Logger dBS" + kLoggerHeader +
                                        " 3 \r\nTimes\tPause\tRelease\tPeriod\t\r\n"
                                        "1\t09:10:00\t09:12:30\t00:02:30\t\r\n"
                                        "2\t09:20:00\t09:20:01\t00:00:01\t\r\n"
                                        "3\t10:00:00\t11:00:00\t01:00:00\t\r\n"
                                        "Dose\tTWA\t\r\n12.5\t76.1\t\r\n"
                                        "No.s\t     Date Time    \tdB\t\r\n"
                                        "1\t2008/03/18 09:05:01\t82.1\t\r\n");
}

TEST(DataFileWriter, WritesWindows1252)
{
    RealTimeFile data{DataFileKind::realTimeList, panel("Llpk"), {}};
    data.settings.calibratedTime = "São Paulo €";
    const std::string bytes = dataFileBytes(data);
    EXPECT_NE(bytes.find("Calibrated Time:S\xE3o Paulo \x80\r\n"), std::string::npos);
}

TEST(DataFileWriter, SaveIsWholeOrAbsent)
{
    TempFolder dir;
    const auto target = dir / "set.sonx";
    test::writeBytes(target, "earlier file");
    DoseLoggerFile dose{panel("< 103"), {}, {}};
    for (int i = 1; i <= 5000; ++i)
        dose.records.push_back({std::to_string(i), "2008/03/18 09:06:00", "100", "90.0"});

    // Cancelled part way: the earlier file stays and no temporary is left.
    Status cancelled = writeDataFile(target, dose, [](std::int64_t row) { return row < 3000; });
    ASSERT_FALSE(cancelled);
    EXPECT_EQ(cancelled.error().kind, FailureKind::cancelled);
    EXPECT_EQ(readBytes(target), "earlier file");
    EXPECT_EQ(dir.entries(), 1u);

    // A folder that does not exist is a failure with the reason.
    Status missing = writeDataFile(dir / "no/such/folder/x.sonx", dose);
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error().kind, FailureKind::io);
    EXPECT_NE(missing.error().message.find("No such file"), std::string::npos);

    // Progress runs over the grid rows: the header row 0, then every record.
    std::int64_t last = -1, calls = 0;
    ASSERT_TRUE(writeDataFile(target, dose, [&](std::int64_t row) {
        EXPECT_EQ(row, last + 1);
        last = row;
        ++calls;
        return true;
    }));
    EXPECT_EQ(calls, 5001);
    EXPECT_EQ(readBytes(target), dataFileBytes(dose));
    EXPECT_EQ(dir.entries(), 1u);
}

TEST(DataFileWriter, FullDiskIsReportedAndKeepsTheEarlierFile)
{
    TempFolder dir;
    const auto target = dir / "big.sonx";
    test::writeBytes(target, "earlier file");
    RealTimeFile big{DataFileKind::realTimeList, panel("Lcpk"), {}};
    for (int i = 1; i <= 20000; ++i)
        big.records.push_back({i, "2026/12/06 10:00:00", "85.3"});

    // A file size limit makes the disk "full" after 64 KB, even for root.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 64 * 1024;
    setrlimit(RLIMIT_FSIZE, &small);
    Status s = writeDataFile(target, big);
    setrlimit(RLIMIT_FSIZE, &old);

    ASSERT_FALSE(s);
    EXPECT_EQ(s.error().kind, FailureKind::io);
    EXPECT_NE(s.error().message.find("big.sonx"), std::string::npos);
    EXPECT_EQ(readBytes(target), "earlier file");
    EXPECT_EQ(dir.entries(), 1u);
}

TEST(RecordingFile, EveryRecordIsOnDiskWhenAppendReturns)
{
    TempFolder dir;
    const auto path = dir / "rec.sonx";
    auto created = RecordingFile::create(path, panel("Lcpk"));
    ASSERT_TRUE(created);
    RecordingFile rec = std::move(created).value();
    const std::string header = readBytes(path);
    EXPECT_EQ(header.substr(0, 16), "Real Time Data\r\n");
    EXPECT_EQ(header.substr(header.size() - 29), "No.s\t      Date Time    \tdB\r\n");

    ASSERT_TRUE(rec.append({1, "2026/12/06 10:00:00", "85,3"}));
    EXPECT_EQ(readBytes(path), header + "1\t2026/12/06 10:00:00\t85,3\t\r\n");
    ASSERT_TRUE(rec.append({2, "2026/12/06 10:00:01", "85,4"}));
    EXPECT_EQ(rec.recordsWritten(), 2);
    ASSERT_TRUE(rec.close());
    EXPECT_FALSE(rec.append({3, "x", "1"}));

    EXPECT_FALSE(RecordingFile::create(dir.path(), panel("Lcpk")));
    EXPECT_FALSE(RecordingFile::create(dir / "none/x.sonx", panel("Lcpk")));
}

} // namespace
} // namespace km740
