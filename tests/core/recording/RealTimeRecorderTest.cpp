// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/recording/RealTimeRecorder.h"
#include "support/SampleHeader.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace km740;
using km740::test::readLines;
namespace fs = std::filesystem;

namespace {

RecordingHeader header()
{
    return test::sampleHeader();
}

// The recorder's state and the link side it reads.
struct RecorderBench : RecordingState {
    LiveReading live;
    bool linkBusy = false;
    bool meterInUse = false;
    LinkNow link() const { return LinkNow{live, linkBusy, meterInUse}; }
};

// A meter that answered the poll at `at` (monotonic seconds).
void polled(RecorderBench& s, double at, double value, std::string text)
{
    s.live.valid = true;
    s.live.polledAt = at;
    s.live.level.value = value;
    s.live.level.text = std::move(text);
}

LocalDateTime at(int second, int minute = 3, int hour = 9)
{
    return LocalDateTime{2024, 1, 5, hour, minute, second};
}

const std::vector<std::string> kHeaderLines = {"Real Time Data",
                                               "",
                                               "",
                                               "",
                                               "Calibrated dB:94",
                                               "Time Weight:Slow",
                                               "Frequency Weight:A",
                                               "Threshold Level:80",
                                               "Criterion Level:85",
                                               "Exchange Rate:3",
                                               "Peak Type:Lcpk",
                                               "Range:70-140",
                                               "Calibrated Time:2018/03/07 14:30:05",
                                               "No.s\t      Date Time    \tdB"};

} // namespace

TEST(ContinuationName, GoesBeforeTheExtensionOfTheFileName)
{
    EXPECT_EQ(continuationFileName("/data/rt.sonx", 1), "/data/rt-1.sonx");
    EXPECT_EQ(continuationFileName("/home/ana/site.2024/rt.sonx", 2), "/home/ana/site.2024/rt-2.sonx");
    EXPECT_EQ(continuationFileName("/home/ana/site.2024/rt", 1), "/home/ana/site.2024/rt-1");
    EXPECT_EQ(continuationFileName("/data/rt,a.sonx", 3), "/data/rt,a-3.sonx");
    EXPECT_EQ(continuationFileName("/data/rt.day.sonx", 1), "/data/rt.day-1.sonx");
    EXPECT_EQ(continuationFileName("/data/.sonx", 1), "/data/.sonx-1");
    EXPECT_EQ(continuationFileName("rt.sonx", 12), "rt-12.sonx");
}

TEST(RecordTime, RegionalSeparatorsAndAutoSaveName)
{
    EXPECT_EQ(formatRecordTime(at(0), Regional::point()), "2024/01/05 09:03:00");
    Regional r{',', '.', '-'};
    EXPECT_EQ(formatRecordTime(LocalDateTime{2024, 12, 31, 23, 59, 58}, r), "2024.12.31 23-59-58");
    EXPECT_EQ(autoSaveFileName(LocalDateTime{2024, 1, 5, 9, 3, 7}), "0105090307.sonx");
}

TEST(FileRecording, ContinuesIntoANewFileWithHeaderAndConsecutiveNumbers)
{
    test::TempFolder dir;
    fs::create_directories(dir / "site.2024");
    const fs::path first = dir / "site.2024" / "rt.sonx";
    RecorderBench s;
    polled(s, 0.0, 85.0, "85.0");
    RealTimeRecorder rec(3);
    ASSERT_TRUE(rec.startFileRecording(s, s.live, first.string(), header(), Regional::point()));
    EXPECT_TRUE(s.fileRecording);
    EXPECT_EQ(s.maxLevelFile, "85.0");
    EXPECT_EQ(s.lastSaveFolder, (dir / "site.2024").string());

    // The panel as it is at each tick: after the second record the meter is
    // set to another criterion and peak type.
    RecordingHeader panel = header();
    const double levels[] = {84.5, 91.2, 90.0, 88.8, 70.1};
    std::vector<bool> blink;
    for (int i = 0; i < 5; ++i) {
        if (i == 2) {
            panel.criterion = "90";
            panel.peakType = "Llpk";
        }
        polled(s, i + 0.5, levels[i], formatFixed(levels[i], 1, Regional::point()));
        SampleOutcome out = rec.sampleTick(s, s.link(), at(i), i + 1.0, Regional::point(), [&] { return panel; });
        ASSERT_TRUE(out.fileRecordWritten);
        EXPECT_EQ(out.countText, std::to_string(i + 1));
        blink.push_back(out.recordingVisible);
        EXPECT_EQ(out.continuedInto.has_value(), i == 2);
    }
    EXPECT_EQ(blink, (std::vector<bool>{true, false, true, false, true}));
    EXPECT_EQ(s.filePart, 1);
    EXPECT_EQ(s.maxLevelFile, "91.2");
    rec.stopFileRecording(s);
    EXPECT_FALSE(s.fileRecording);
    EXPECT_EQ(s.fileRecordCount, 0);

    auto a = readLines(first);
    auto b = readLines(dir / "site.2024" / "rt-1.sonx");
    std::vector<std::string> wantA = kHeaderLines;
    wantA.push_back("1\t2024/01/05 09:03:00\t84.5\t");
    wantA.push_back("2\t2024/01/05 09:03:01\t91.2\t");
    wantA.push_back("3\t2024/01/05 09:03:02\t90.0\t");
    std::vector<std::string> wantB = kHeaderLines;
    wantB[8] = "Criterion Level:90";
    wantB[10] = "Peak Type:Llpk";
    wantB.push_back("4\t2024/01/05 09:03:03\t88.8\t");
    wantB.push_back("5\t2024/01/05 09:03:04\t70.1\t");
    EXPECT_EQ(a, wantA);
    EXPECT_EQ(b, wantB);
}

TEST(FileRecording, ASecondWithoutAReadingIsRecordedAsNotMeasured)
{
    test::TempFolder dir;
    const fs::path file = dir / "rt.sonx";
    RecorderBench s;
    polled(s, 10.0, 80.0, "80.0");
    RealTimeRecorder rec;
    ASSERT_TRUE(rec.startFileRecording(s, s.live, file.string(), header(), Regional::point()));
    rec.openList(s, s.live);

    // Polled 2 s ago still counts; 2.5 s ago does not.
    EXPECT_TRUE(rec.sampleTick(s, s.link(), at(0), 12.0, Regional::point(), header).fileRecordWritten);
    SampleOutcome stale = rec.sampleTick(s, s.link(), at(1), 12.5, Regional::point(), header);
    EXPECT_TRUE(stale.sampled);
    EXPECT_TRUE(stale.waitingForMeter);
    EXPECT_TRUE(stale.fileRecordWritten);
    EXPECT_TRUE(stale.listRowAdded);
    EXPECT_EQ(s.maxLevelFile, "80.0");
    EXPECT_TRUE(s.recordingWaiting);
    EXPECT_TRUE(s.fileRecording);

    polled(s, 13.0, 81.0, "81.0");
    SampleOutcome back = rec.sampleTick(s, s.link(), at(2), 13.2, Regional::point(), header);
    EXPECT_TRUE(back.fileRecordWritten);
    EXPECT_FALSE(s.recordingWaiting);
    rec.stopFileRecording(s);

    // One record a second, consecutive; the second without a level says so.
    auto lines = readLines(file);
    ASSERT_EQ(lines.size(), 17u);
    EXPECT_EQ(lines[14], "1\t2024/01/05 09:03:00\t80.0\t");
    EXPECT_EQ(lines[15], "2\t2024/01/05 09:03:01\t-\t");
    EXPECT_EQ(lines[16], "3\t2024/01/05 09:03:02\t81.0\t");
    EXPECT_EQ(rec.list().size(), 3u);
    EXPECT_EQ(rec.list().cell(1, 2), "-");
}

TEST(FileRecording, WriteErrorStopsWithFileNameAndReason)
{
    test::TempFolder dir;
    const fs::path file = dir / "rt.sonx";
    RecorderBench s;
    polled(s, 0.0, 80.0, "80.0");
    RealTimeRecorder rec;
    ASSERT_TRUE(rec.startFileRecording(s, s.live, file.string(), header(), Regional::point()));
    ASSERT_TRUE(rec.sampleTick(s, s.link(), at(0), 0.5, Regional::point(), header).fileRecordWritten);

    fs::remove(file);
    polled(s, 1.0, 80.0, "80.0");
    SampleOutcome out = rec.sampleTick(s, s.link(), at(1), 1.5, Regional::point(), header);
    ASSERT_TRUE(out.recordingStopped.has_value());
    EXPECT_NE(out.recordingStopped->message.find(file.string()), std::string::npos);
    EXPECT_NE(out.recordingStopped->message.find("removed"), std::string::npos);
    EXPECT_FALSE(s.fileRecording);
    EXPECT_EQ(out.countText, "");

    // Disk full: /dev/full takes the header? No: the create works, the write fails.
    if (fs::exists("/dev/full")) {
        Status st = rec.startFileRecording(s, s.live, "/dev/full", header(), Regional::point());
        ASSERT_FALSE(st);
        EXPECT_NE(st.error().message.find("/dev/full"), std::string::npos);
        EXPECT_NE(st.error().message.find("No space"), std::string::npos);
        EXPECT_FALSE(s.fileRecording);
    }
    Status missing = rec.startFileRecording(s, s.live, (dir / "no" / "rt.sonx").string(), header(), Regional::point());
    EXPECT_FALSE(missing);
}

TEST(Sampling, LinkBusyAndIntervalAndMeterInUse)
{
    RecorderBench s;
    polled(s, 0.0, 80.0, "80.0");
    RealTimeRecorder rec(4);
    rec.openList(s, s.live);
    s.linkBusy = true;
    EXPECT_FALSE(rec.sampleTick(s, s.link(), at(0), 0.1, Regional::point(), header).sampled);
    EXPECT_EQ(s.sampleTick, 0);
    s.linkBusy = false;

    s.sampleInterval = 2;
    int samples = 0;
    bool autoSave = false;
    for (int i = 0; i < 8; ++i) {
        polled(s, i, 80.0 + i, formatFixed(80.0 + i, 1, Regional::point()));
        SampleOutcome out = rec.sampleTick(s, s.link(), at(i), i + 0.1, Regional::point(), header);
        samples += out.sampled;
        autoSave = autoSave || out.listAutoSaveDue;
    }
    EXPECT_EQ(samples, 4);
    EXPECT_TRUE(autoSave);
    EXPECT_EQ(s.maxLevelList, "86.0");
    s.sampleInterval = 1;

    s.meterInUse = true;
    SampleOutcome out = rec.sampleTick(s, s.link(), at(9), 8.5, Regional::point(), header);
    EXPECT_TRUE(out.listClosed);
    EXPECT_FALSE(out.listRowAdded);
    EXPECT_FALSE(s.listMode);
    EXPECT_EQ(s.listRecordCount, 0);
}

TEST(LiveReading, LevelIsFreshForTwoSecondsAfterItsPoll)
{
    LiveReading live;
    EXPECT_FALSE(live.fresh(10.0)) << "nothing polled yet";
    live.valid = true;
    live.polledAt = 100.0;
    EXPECT_TRUE(live.fresh(101.9));
    EXPECT_TRUE(live.fresh(102.0));
    EXPECT_FALSE(live.fresh(102.1));
}
