// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/DataFileReader.h"
#include "files/DataFileWriter.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace std::string_literals;

namespace km740 {
namespace {

SettingsBlock panel(std::string peak, std::string cal = "94.0")
{
    return {std::move(cal), "Fast", "C", "80", "85", "3", std::move(peak), "60-130", "2018/03/07 14:30:05"};
}

Result<DataFile> load(const std::string& bytes)
{
    std::istringstream in(bytes);
    return loadDataFile(in);
}

std::string failureOf(const std::string& bytes)
{
    auto r = load(bytes);
    return r ? std::string("no failure") : r.error().message;
}

const std::string kSettings =
    "Calibrated dB:94.0\r\nTime Weight:Fast\r\nFrequency Weight:C\r\nThreshold Level:80\r\n"
    "Criterion Level:85\r\nExchange Rate:3\r\nPeak  Value:< 93\r\nRange:60-130\r\n"
    "Calibrated Time:2018/03/07 14:30:05\r\n";

TEST(DataFileReader, EveryKindReadsBackWhatWasWritten)
{
    std::vector<DataFile> files;
    for (const char* level : {"85.3", "85,3"}) {
        files.push_back(RealTimeFile{DataFileKind::realTimeData, panel("Lcpk"),
                                     {{1, "2026/12/06 10:00:00", level}, {2, "2026/12/06 10:00:01", "0.5"}}});
        files.push_back(RealTimeFile{DataFileKind::realTimeList, panel("Llpk"), {{1, "2026.12.06 10.00.00", level}}});
        files.push_back(DoseLoggerFile{panel("120,5"), {}, {{"1", "2008/03/18 09:06:00", "12.34", level}}});
        files.push_back(DoseLoggerFile{panel("< 103"),
                                       {{"1", "09:10:00", "09:12:30", "00:02:30"}, {"2", "09:20:00", "09:20:01", "----"}},
                                       {{"1", "2008/03/18 09:06:00", "0", "----"}, {"2", "2008/03/18 09:07:00", "100", "85.0"}}});
        files.push_back(LevelLoggerFile{panel("120.5"), {}, {"45.12", level}, {{1, "2008/03/18 09:05:01", level}}});
        files.push_back(LevelLoggerFile{panel("120.5"),
                                        {{"1", "09:10:00", "09:12:30", "00:02:30"}},
                                        {"0", "----"},
                                        {{1, "2008/03/18 09:05:01", "82.1"}, {2, "2008/03/18 09:05:02", level}}});
    }
    for (const auto& f : files) {
        auto back = load(dataFileBytes(f));
        ASSERT_TRUE(back) << back.error().message;
        EXPECT_EQ(back.value(), f) << dataFileBytes(f);
    }
}

TEST(DataFileReader, TakesLfWindows1252AndUtf8)
{
    DoseLoggerFile f{panel("Lcpk", "São"), {}, {}};
    std::string crlf = dataFileBytes(f);
    ASSERT_NE(crlf.find("S\xE3o"), std::string::npos);
    std::string lf;
    for (char c : crlf)
        if (c != '\r')
            lf += c;
    for (const std::string& bytes : {crlf, lf}) {
        auto back = load(bytes);
        ASSERT_TRUE(back) << back.error().message;
        EXPECT_EQ(settingsOf(back.value()).calibratedDb, "São");
    }
    std::string utf8 = lf;
    utf8.replace(utf8.find("S\xE3o"), 3, "S\xC3\xA3o");
    EXPECT_EQ(settingsOf(load("\xEF\xBB\xBF" + utf8).value()).calibratedDb, "São");
}

TEST(DataFileReader, FirstLineChoosesTheKind)
{
    EXPECT_EQ(kindFromTitle("Real Time Data"), DataFileKind::realTimeData);
    EXPECT_EQ(kindFromTitle("Real Time List"), DataFileKind::realTimeList);
    EXPECT_EQ(kindFromTitle("Real Time dBS"), DataFileKind::realTimeData); // "Real Time" is tested first
    EXPECT_EQ(kindFromTitle("Data Logger dBS"), DataFileKind::levelLogger);
    EXPECT_EQ(kindFromTitle("anything at all"), DataFileKind::doseLogger);
}

TEST(DataFileReader, NumbersTakePointOrComma)
{
    EXPECT_DOUBLE_EQ(readNumber("85,3"), 85.3);
    EXPECT_DOUBLE_EQ(readNumber("85.3"), 85.3);
    EXPECT_DOUBLE_EQ(readNumber(" 3 "), 3);
    EXPECT_DOUBLE_EQ(readNumber("< 93"), 0);
    EXPECT_DOUBLE_EQ(readNumber("90 dB"), 90);
}

// Streams: records reach the sink one by one, numbered by the reader; notes
// are not records; a sink may stop the read.
TEST(DataFileReader, StreamsRecordsAndNotes)
{
    struct Sink : DataFileSink {
        bool header(const DataFileHeader& h) override
        {
            kind = h.kind;
            pauses = h.pauses.size();
            return true;
        }
        bool levelRecord(const LevelRecord& r) override
        {
            numbers.push_back(r.number);
            return numbers.size() < stopAfter;
        }
        bool note(std::string_view line) override
        {
            notes.emplace_back(line);
            return true;
        }
        DataFileKind kind{};
        std::size_t pauses = 0, stopAfter = 100;
        std::vector<std::int64_t> numbers;
        std::vector<std::string> notes;
    };
    const std::string file = "Data Logger dBS\r\n\r\n\r\n\r\n" + kSettings +
                             " 1 \r\nTimes\tPause\tRelease\tPeriod\t\r\n1\t09:10:00\t09:12:30\t00:02:30\t\r\n"
                             "Dose\tTWA\t\r\n12.5\t76.1\t\r\nNo.s\t     Date Time    \tdB\t\r\n"
                             "7\t2008/03/18 09:05:01\t82.1\t\r\n"
                             "Max. dB = 99.0\r\n"
                             "\r\n"
                             "9\t2008/03/18 09:05:02\t82.2\t\r\n";
    Sink sink;
    std::istringstream in(file);
    auto counts = readDataFile(in, sink);
    ASSERT_TRUE(counts) << counts.error().message;
    EXPECT_EQ(sink.kind, DataFileKind::levelLogger);
    EXPECT_EQ(sink.pauses, 1u);
    EXPECT_EQ(sink.numbers, (std::vector<std::int64_t>{1, 2}));
    EXPECT_EQ(sink.notes, (std::vector<std::string>{"Max. dB = 99.0"}));
    EXPECT_EQ(counts->records, 2);

    Sink stopping;
    stopping.stopAfter = 1;
    std::istringstream again(file);
    auto stopped = readDataFile(again, stopping);
    ASSERT_FALSE(stopped);
    EXPECT_EQ(stopped.error().kind, FailureKind::cancelled);
}

TEST(DataFileReader, MalformedLinesAreNamed)
{
    const std::string dbl = "Data Logger dBL\r\n\r\n\r\n\r\n" + kSettings;
    const std::string dblHead = dbl + "0\r\nTimes\tPause\tRelease Period\r\nNo.s\t     Date Time    \tDose\tTWA\t\r\n";
    EXPECT_EQ(failureOf(""), "the file is empty");
    EXPECT_NE(failureOf("Data Logger dBL\r\n\r\n\r\n\r\nCalibrated dB:94.0\r\n").find("ends at line 5"),
              std::string::npos);
    EXPECT_EQ(failureOf("Real Time Data\r\n\r\n\r\n\r\nno colon here\r\n"),
              "line 5: a settings line needs a title, ':' and a value");
    EXPECT_EQ(failureOf(dbl + "many\r\n"), "line 14: the pause count is not a number");
    EXPECT_EQ(failureOf(dbl + "-2\r\n"), "line 14: the pause count is not a whole number of pauses");
    // A pause count larger than the pause rows runs into the record header.
    EXPECT_EQ(failureOf(dbl + " 2 \r\nTimes\tPause\tRelease\tPeriod\t\r\n1\ta\tb\tc\t\r\n"
                              "No.s\t     Date Time    \tDose\tTWA\t\r\n1\tx\t1\t1\t\r\n"),
              "line 18: expected the record header row (\"No.s\" ...)");
    EXPECT_EQ(failureOf(dbl + " 1 \r\nTimes\tPause\tRelease\tPeriod\t\r\n1 09:10:00\r\n"),
              "line 16: a pause row needs 4 Tab-separated cells");
    EXPECT_EQ(failureOf(dblHead + "1\t2008/03/18 09:06:00\t0.5\t\r\n2\t2008/03/18 09:07:00\t0.6\r\n"),
              "line 18: a record needs 4 Tab-separated fields");
    EXPECT_EQ(failureOf(dblHead + "1\t2008\x00\x01\xFF\t0\t0\t\r\n"s),
              "line 17: binary data where text was expected");
    EXPECT_NE(failureOf(dblHead + std::string(200000, 'x')).find("line 17: too long"), std::string::npos);
}

TEST(DataFileReader, RecordingCutInItsLastLine)
{
    RealTimeFile rec{DataFileKind::realTimeData, panel("Lcpk"),
                     {{1, "2026/12/06 10:00:00", "85.3"}, {2, "2026/12/06 10:00:01", "85.4"}}};
    const std::string whole = dataFileBytes(rec);
    struct Count : DataFileSink {
        bool header(const DataFileHeader&) override { return true; }
        bool levelRecord(const LevelRecord&) override { return ++n > 0; }
        int n = 0;
    };
    Count sink;
    std::istringstream cut(whole + "3\t2026/12/06 1");
    auto r = readDataFile(cut, sink);
    ASSERT_TRUE(r) << r.error().message;
    EXPECT_TRUE(r->lastRecordCut);
    EXPECT_EQ(sink.n, 2);
    std::istringstream full(whole);
    EXPECT_FALSE(readDataFile(full, sink)->lastRecordCut);
    // Inside the file the same line is a failure.
    EXPECT_EQ(failureOf(whole + "3\t2026/12/06 1\r\n4\tx\t1\t\r\n"), "line 17: a record needs 3 Tab-separated fields");
}

TEST(DataFileReader, FilesOnDisk)
{
    test::TempFolder dir;
    EXPECT_EQ(loadDataFile(dir / "absent.sonx").error().kind, FailureKind::io);
    EXPECT_EQ(loadDataFile(dir.path()).error().kind, FailureKind::io);
    test::writeBytes(dir / "cut.sonx", "Real Time Data\r\n\r\n");
    auto cut = loadDataFile(dir / "cut.sonx");
    ASSERT_FALSE(cut);
    EXPECT_EQ(cut.error().message.substr(0, 10), "cut.sonx: ");
}

} // namespace
} // namespace km740
