// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/files/DataFileReader.h"
#include "core/files/DataFileWriter.h"
#include "core/files/InputFile.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <iterator>
#include <sstream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

const std::string kSettings = "Calibrated dB:94.0\r\nTime Weight:Fast\r\nFrequency Weight:C\r\nThreshold Level:80\r\n"
                              "Criterion Level:85\r\nExchange Rate:3\r\nPeak  Value:< 93\r\nRange:60-130\r\n"
                              "Calibrated Time:2018/03/07 14:30:05\r\n";

TEST(DataFileReader, EveryKindReadsBackWhatWasWritten)
{
    std::vector<DataFile> files;
    for (const char* level : {"85.3", "85,3"}) {
        files.push_back(RealTimeFile{DataFileKind::realTimeData,
                                     panel("Lcpk"),
                                     {{1, "2026/12/06 10:00:00", level}, {2, "2026/12/06 10:00:01", "0.5"}}});
        files.push_back(RealTimeFile{DataFileKind::realTimeList, panel("Llpk"), {{1, "2026.12.06 10.00.00", level}}});
        files.push_back(DoseLoggerFile{panel("120,5"), {}, {{"1", "2008/03/18 09:06:00", "12.34", level}}});
        files.push_back(
            DoseLoggerFile{panel("< 103"),
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

// Streams: records reach the sink one by one, numbered as the file numbers
// them; notes are not records; a sink may stop the read.
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
    EXPECT_EQ(sink.numbers, (std::vector<std::int64_t>{7, 9}));
    EXPECT_EQ(sink.notes, (std::vector<std::string>{"Max. dB = 99.0"}));
    EXPECT_EQ(counts->records, 2);

    Sink stopping;
    stopping.stopAfter = 1;
    std::istringstream again(file);
    auto stopped = readDataFile(again, stopping);
    ASSERT_FALSE(stopped);
    EXPECT_EQ(stopped.error().kind, FailureKind::cancelled);
}

// A damaged file shows what it holds: odd lines are noted (line number and
// what was odd) and read as far as they go; only what is no text is refused.
TEST(DataFileReader, DamagedFilesReadPartlyWithNotes)
{
    struct Sink : DataFileSink {
        bool header(const DataFileHeader& h) override
        {
            head = h;
            ++headers;
            return true;
        }
        bool levelRecord(const LevelRecord& r) override
        {
            levels.push_back(r.level);
            return true;
        }
        bool doseRecord(const DoseRow& r) override
        {
            doses.push_back(r.dose + "|" + r.twa);
            return true;
        }
        DataFileHeader head;
        int headers = 0;
        std::vector<std::string> levels, doses;
    };
    auto read = [](const std::string& bytes, Sink& sink) {
        std::istringstream in(bytes);
        return readDataFile(in, sink);
    };
    auto notes = [](const ReadCounts& c) {
        std::vector<std::string> out;
        for (const auto& n : c.notes)
            out.push_back(n.text());
        return out;
    };
    const std::string dbl = "Data Logger dBL\r\n\r\n\r\n\r\n" + kSettings;

    // Nothing, or binary data in the title and settings: no data file.
    Sink none;
    EXPECT_EQ(read("", none).error().message, "not a data file (it is empty)");
    EXPECT_EQ(read("\x7F"
                   "ELF\x02\x01\x01\x00\x00\r\n"s,
                   none)
                  .error()
                  .message,
              "not a data file (binary data on line 1)");
    EXPECT_EQ(read("Real Time Data\r\n\r\n\r\n\r\nCal\x00\x01:x\r\n"s, none).error().message,
              "not a data file (binary data on line 5)");
    EXPECT_EQ(none.headers, 0);

    // A settings line without ':' and a pause count that is no number.
    Sink a;
    auto ra = read("Data Logger dBL\r\n\r\n\r\n\r\nno colon here\r\n" + kSettings.substr(kSettings.find('\n') + 1) +
                       "many\r\nTimes\tPause\tRelease Period\r\nNo.s\t     Date Time    \tDose\tTWA\t\r\n"
                       "1\t2008/03/18 09:06:00\t0.5\t76.1\t\r\n"
                       "2\t2008/03/18 09:07:00\t0.6\r\n"
                       "3\t2008\x00\x01\xFF\t0\t0\t\r\n"s +
                       std::string(200000, 'x') + "\r\n4\t2008/03/18 09:09:00\t0.8\t77.0\t\r\n",
                   a);
    ASSERT_TRUE(ra) << ra.error().message;
    EXPECT_EQ(a.head.settings.calibratedDb, "");
    EXPECT_EQ(a.head.settings.timeWeight, "Fast");
    EXPECT_EQ(notes(*ra), (std::vector<std::string>{
                              "line 5: a settings line without ':' left its value empty",
                              "line 14: the pause count is not a number; read as no pauses",
                              "line 18: a record with fewer than 4 Tab-separated fields; the missing ones are empty",
                              "line 19: binary data was left out",
                              "line 20: a line longer than 64 KiB was left out",
                          }));
    EXPECT_EQ(a.doses, (std::vector<std::string>{"0.5|76.1", "0.6|", "0.8|77.0"}));

    // A pause count larger than the pause rows: the record header is read as
    // a short pause row and the first record as the header; the rest reads.
    Sink b;
    auto rb = read(dbl + " 2 \r\nTimes\tPause\tRelease\tPeriod\t\r\n1\ta\tb\tc\t\r\n"
                         "No.s\t     Date Time    \tDose\tTWA\t\r\n1\tx\t1\t1\t\r\n2\ty\t2\t2\t\r\n",
                   b);
    ASSERT_TRUE(rb);
    EXPECT_EQ(notes(*rb),
              (std::vector<std::string>{"line 18: expected the record header row (\"No.s\" ...); passed over"}));
    EXPECT_EQ(b.doses, (std::vector<std::string>{"2|2"}));

    // A file that ends inside its header still gives the settings.
    Sink c;
    auto rc = read("Data Logger dBS\r\n\r\n\r\n\r\n" + kSettings.substr(0, kSettings.find("Exchange")), c);
    ASSERT_TRUE(rc);
    EXPECT_EQ(c.headers, 1);
    EXPECT_EQ(c.head.settings.criterion, "85");
    EXPECT_EQ(notes(*rc), (std::vector<std::string>{
                              "line 9: the file ends before its header is complete (18 header lines); no records"}));

    // Notes beyond the first hundred are counted only.
    Sink d;
    std::string many = dbl + "0\r\nTimes\tPause\tRelease Period\r\nNo.s\t     Date Time    \tDose\tTWA\t\r\n";
    for (int i = 0; i < 150; ++i)
        many += "short\r\n";
    auto rd = read(many, d);
    ASSERT_TRUE(rd);
    EXPECT_EQ(rd->notes.size(), ReadCounts::maxNotes);
    EXPECT_EQ(rd->moreNotes, 50);
    EXPECT_EQ(d.doses.size(), 150u);
}

TEST(DataFileReader, RecordingCutInItsLastLine)
{
    RealTimeFile rec{DataFileKind::realTimeData,
                     panel("Lcpk"),
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
    // Cut inside the level: "6" or "66." is no reading of 6 or 66 dB. A
    // last line that keeps its Tab lost only its line end: whole.
    for (const char* tail : {"3\t2026/12/06 10:00:02\t6", "3\t2026/12/06 10:00:02\t66."}) {
        Count levels;
        std::istringstream in(whole + tail);
        auto r3 = readDataFile(in, levels);
        ASSERT_TRUE(r3);
        EXPECT_EQ(levels.n, 2) << tail;
        ASSERT_EQ(r3->notes.size(), 1u);
        EXPECT_EQ(r3->notes[0].text(), "line 17: the last record is cut off (no Tab and line end after it); left out");
    }
    Count tabbed;
    std::istringstream keptTab(whole + "3\t2026/12/06 10:00:02\t66.1\t");
    EXPECT_FALSE(readDataFile(keptTab, tabbed)->lastRecordCut);
    EXPECT_EQ(tabbed.n, 3);
    // Inside the file the same line is a row with an empty level, noted.
    Count inside;
    std::istringstream in(whole + "3\t2026/12/06 1\r\n4\tx\t1\t\r\n");
    auto r2 = readDataFile(in, inside);
    ASSERT_TRUE(r2);
    EXPECT_EQ(inside.n, 4);
    ASSERT_EQ(r2->notes.size(), 1u);
    EXPECT_EQ(r2->notes[0].line, 17);
}

TEST(DataFileReader, FilesOnDisk)
{
    test::TempFolder dir;
    EXPECT_EQ(loadDataFile(dir / "absent.sonx").error().kind, FailureKind::io);
    EXPECT_EQ(loadDataFile(dir.path()).error().kind, FailureKind::io);
    test::writeBytes(dir / "cut.sonx", "\x01\x02\r\n");
    auto cut = loadDataFile(dir / "cut.sonx");
    ASSERT_FALSE(cut);
    EXPECT_EQ(cut.error().message, "cut.sonx: not a data file (binary data on line 1)");
    EXPECT_EQ(peekDataFileKind(dir / "cut.sonx").error().message, "cut.sonx: not a data file (binary data on line 1)");
    test::writeBytes(dir / "dbs.sonx", "Data Logger dBS\r\n");
    EXPECT_EQ(peekDataFileKind(dir / "dbs.sonx").value(), DataFileKind::levelLogger);

    // Lines that end in CR alone, or a line past the limit, are named for
    // what they are rather than called binary.
    test::writeBytes(dir / "mac.sonx", "Data Logger dBS\r\r\r\r" + std::string(100, 'a') + "\r");
    EXPECT_EQ(loadDataFile(dir / "mac.sonx").error().message,
              "mac.sonx: not a data file (line 1 ends in a carriage return alone (CR), not CR LF)");
    test::writeBytes(dir / "macbig.sonx", "Data Logger dBS\r" + std::string(70000, '\r'));
    EXPECT_EQ(peekDataFileKind(dir / "macbig.sonx").error().message,
              "macbig.sonx: not a data file (line 1 ends in a carriage return alone (CR), not CR LF)");
    test::writeBytes(dir / "long.sonx", std::string(70000, 'a') + "\r\n");
    EXPECT_EQ(loadDataFile(dir / "long.sonx").error().message,
              "long.sonx: not a data file (line 1 is longer than 64 KiB)");
}

// Inputs that are not files: a device is read up to a bound, so /dev/zero
// ends; a FIFO nobody writes to is refused at once instead of waited on.
TEST(DataFileReader, DevicesAreBoundedAndAFifoWithoutWriterIsRefused)
{
    auto zero = openInputFile("/dev/zero", 100000);
    ASSERT_TRUE(zero);
    std::string all((std::istreambuf_iterator<char>(**zero)), {});
    EXPECT_EQ(all.size(), 100000u);
    EXPECT_TRUE((*zero)->limitPassed());
    EXPECT_EQ(loadDataFile("/dev/zero").error().message, "zero: not a data file (line 1 is longer than 64 KiB)");

    test::TempFolder dir;
    const auto fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto started = std::chrono::steady_clock::now();
    auto none = loadDataFile(fifo);
    ASSERT_FALSE(none);
    EXPECT_NE(none.error().message.find("it is a FIFO and nothing writes to it"), std::string::npos);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));

    // With a writer the FIFO reads like a file.
    const std::string bytes = dataFileBytes(
        DataFile(RealTimeFile{DataFileKind::realTimeData, panel("Lcpk"), {{1, "2026/12/06 10:00:00", "85.3"}}}));
    auto writer = std::async(std::launch::async, [&] {
        const int fd = ::open(fifo.c_str(), O_WRONLY);
        (void)!::write(fd, bytes.data(), bytes.size());
        ::close(fd);
    });
    auto piped = loadDataFile(fifo);
    writer.get();
    ASSERT_TRUE(piped) << piped.error().message;
    EXPECT_EQ(std::get<RealTimeFile>(*piped).records.size(), 1u);
}

// Record numbers follow the file: a line left out leaves a gap. Pause rows
// past what a pause list holds are counted, not kept.
TEST(DataFileReader, NumbersFollowTheFileAndPauseRowsAreBounded)
{
    struct Sink : DataFileSink {
        bool header(const DataFileHeader& h) override
        {
            pauses = h.pauses.size();
            longest = 0;
            for (const auto& p : h.pauses)
                longest = std::max(longest, p.period.size());
            return true;
        }
        bool levelRecord(const LevelRecord& r) override
        {
            numbers.push_back(r.number);
            return true;
        }
        std::vector<std::int64_t> numbers;
        std::size_t pauses = 0;
        std::size_t longest = 0;
    };
    Sink rt;
    std::istringstream in("Real Time Data\r\n\r\n\r\n\r\n" + kSettings +
                          "No.s\t      Date Time    \tdB\r\n1\ta\t80.0\t\r\n2\tb\x00\t81.0\t\r\n3\tc\t82.0\t\r\n"s);
    auto r = readDataFile(in, rt);
    ASSERT_TRUE(r);
    EXPECT_EQ(rt.numbers, (std::vector<std::int64_t>{1, 3}));

    std::string dbs = "Data Logger dBS\r\n\r\n\r\n\r\n" + kSettings + "3000\r\nTimes\tPause\tRelease\tPeriod\t\r\n";
    for (int i = 1; i <= 3000; ++i)
        dbs += std::to_string(i) + "\t09:00:00\t09:00:01\t" + std::string(i == 1 ? 100 : 8, '0') + "\t\r\n";
    dbs += "Dose\tTWA\t\r\n1\t2\t\r\nNo.s\t     Date Time    \tdB\t\r\n1\tx\t80.0\t\r\n";
    Sink logger;
    std::istringstream lin(dbs);
    auto rl = readDataFile(lin, logger);
    ASSERT_TRUE(rl);
    EXPECT_EQ(logger.pauses, 1000u);
    EXPECT_EQ(logger.longest, 32u);
    EXPECT_EQ(logger.numbers, (std::vector<std::int64_t>{1}));
    std::vector<std::string> texts;
    for (const auto& n : rl->notes)
        texts.push_back(n.text());
    EXPECT_EQ(texts,
              (std::vector<std::string>{"line 16: a pause cell longer than 32 characters was cut (and any after it)",
                                        "line 3015: 2000 more pause rows were left out (the list keeps 1000)"}));
}

} // namespace
} // namespace km740
