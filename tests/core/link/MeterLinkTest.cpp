// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/link/MeterLink.h"
#include "support/ScriptedMeter.h"
#include "support/StatusFrames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

using namespace km740;
using km740::test::always;
using km740::test::inTurn;
using km740::test::ScriptedMeter;

namespace {

// A frame whose display bytes are not all zero.
Bytes frame(std::uint8_t low, std::uint8_t high, std::uint8_t settings = 0, std::uint8_t peakLow = 0xB0,
            std::uint8_t peakHigh = 0x04)
{
    StatusFrame f = test::statusFrame(low, high, settings, peakLow, peakHigh);
    f.segments[2] = 0x81;
    return test::bytesOf(f);
}

const Bytes calibration{0x05, 0x30, 0x14, 7, 3, 18, 0xF2, 0x03};

struct Events : LinkEvents {
    int lost = 0, restored = 0, gone = 0;
    void linkLost() override { ++lost; }
    void linkRestored() override { ++restored; }
    void deviceGone() override { ++gone; }
};

class Link : public ::testing::Test {
protected:
    ManualClock clock{100.0};
    ScriptedMeter meter{clock};
    MeterLink link{meter, clock};
    double elapsed() const { return clock.now() - 100.0; }
};

} // namespace

TEST_F(Link, LivePollDecodesStatusAndCalibrationWithHighBytesIntact)
{
    meter.replies['F'] = always(frame(0xF2, 0x03, 0x25, 0xFF, 0x05));
    meter.replies[0x60] = always(calibration);
    auto poll = link.livePoll(Regional::comma());
    ASSERT_TRUE(poll.ok()) << poll.error().message;
    EXPECT_EQ(poll->texts.level, "101,0");
    EXPECT_EQ(poll->texts.peak, "153,5"); // 0x05FF = 1535 tenths
    EXPECT_EQ(poll->texts.range, "60-130");
    EXPECT_EQ(poll->texts.timeWeighting, "Fast");
    EXPECT_EQ(poll->frame.segments[2], 0x81);
    ASSERT_TRUE(poll->calibrationTexts);
    EXPECT_EQ(poll->calibrationTexts->time, "2018/03/07 14:30:05");
    EXPECT_EQ(poll->calibrationTexts->level, "101");
    EXPECT_EQ(meter.wire(), (Bytes{'F', 0x60}));
    EXPECT_NEAR(elapsed(), 0.4, 1e-6);
}

TEST_F(Link, LivePollRetriesShortAndBadFramesFourTimesAtMost)
{
    Bytes badEnd = frame(0x52, 0x03);
    badEnd[18] = 0x04;
    Bytes badStart = frame(0x52, 0x03);
    badStart[0] = 0x00;

    // Bad frames alone end the tick after four tries: a data failure, which
    // leaves the link up (the next tick polls again).
    meter.replies['F'] = always(badEnd);
    auto poll = link.livePoll(Regional::point());
    ASSERT_FALSE(poll.ok());
    EXPECT_EQ(poll.error().kind, FailureKind::data);
    EXPECT_EQ(meter.count('F'), 4);
    EXPECT_EQ(meter.count(0x60), 0);

    // The fourth try decides: short then is a lost link, whole but bad is not.
    meter.writes.clear();
    meter.replies['F'] = inTurn({badEnd, badStart, badEnd, Bytes(18, 0x02)});
    EXPECT_EQ(link.livePoll(Regional::point()).error().kind, FailureKind::protocol);
    meter.replies['F'] = inTurn({Bytes{}, Bytes{0x02}, Bytes{}, badStart});
    EXPECT_EQ(link.livePoll(Regional::point()).error().kind, FailureKind::data);
    EXPECT_EQ(meter.count('F'), 8);

    // A mix of short and bad replies counts toward the same four.
    meter.writes.clear();
    meter.replies['F'] = inTurn({Bytes{0x02, 0x52}, badStart, Bytes{}, frame(0x52, 0x03)});
    meter.replies[0x60] = always(Bytes{1, 2, 3}); // short: calibration left alone
    poll = link.livePoll(Regional::point());
    ASSERT_TRUE(poll.ok()) << poll.error().message;
    EXPECT_EQ(poll->texts.level, "85.0");
    EXPECT_FALSE(poll->calibration);
    EXPECT_EQ(meter.count('F'), 4);

    // Four silent tries: a timeout, which the caller answers with the lost-link loop.
    meter.writes.clear();
    meter.replies.erase('F');
    poll = link.livePoll(Regional::point());
    ASSERT_FALSE(poll.ok());
    EXPECT_EQ(poll.error().kind, FailureKind::timeout);
    EXPECT_EQ(meter.count('F'), 4);
}

TEST_F(Link, CollectFailsJustAfterTwoSecondsOnAnIncompleteReply)
{
    meter.replies['C'] = always(Bytes(35, 0x11));
    auto table = link.readUserPresetTable();
    ASSERT_FALSE(table.ok());
    EXPECT_EQ(table.error().kind, FailureKind::timeout);
    EXPECT_GT(elapsed(), 2.0);
    EXPECT_LT(elapsed(), 2.1);

    // Stale bytes are dropped before the command; a paced reply completes.
    meter.arrive(Bytes{0xEE, 0xEE}, clock.now());
    Bytes reply(36);
    for (std::size_t i = 0; i < reply.size(); ++i)
        reply[i] = static_cast<std::uint8_t>(0xC0 + i);
    meter.replies['C'] = always(reply);
    meter.byteTime = 1.0 / 1920;
    table = link.readUserPresetTable();
    ASSERT_TRUE(table.ok()) << table.error().message;
    EXPECT_EQ(table->records[0], (UserPresetRecord{0xC0, 0xC1, 0xC2, 0xC3}));
    EXPECT_EQ(table->records[8].criterionCode, 0xC0 + 35);
}

// Lengths and framing of every read are covered by the random replies below.
TEST_F(Link, ShortReadsGiveTheMetersValues)
{
    meter.replies['R'] = always(Bytes{255});
    EXPECT_EQ(link.readPresetIndex().value(), 0);
    meter.replies['U'] = always(Bytes{0x80, 0x01});
    EXPECT_EQ(link.readEnableMask().value(), 0x8001);
    meter.replies['A'] = always(Bytes{0x02, 8, 0x00, 0x3E, 0x00, 0x03});
    EXPECT_EQ(link.readMemoryStatus().value().downloadSize(), 0x3E00u - 3584u);
}

TEST_F(Link, EveryWriteSendsItsBytesWithItsPauses)
{
    // User1 and User9 set; the others as made: settings 0, threshold 80 twice, criterion code 2.
    UserPresetTable presets;
    presets.records[0] = UserPresetRecord{0x35, 82, 82, 3};
    presets.records[8] = UserPresetRecord{0x80, 75, 75, 1};
    Bytes presetBytes{0x35, 82, 82, 3};
    for (int r = 1; r < 8; ++r)
        presetBytes.insert(presetBytes.end(), {0, 80, 80, 2});
    presetBytes.insert(presetBytes.end(), {0x80, 75, 75, 1});
    // Entry 2 set: start day, hour, minute, stop day, hour, minute.
    TimedTable table;
    table.entries[1] = TimedEntry{2, 7, 30, 2, 17, 0};
    Bytes tableBytes(6, 0);
    tableBytes.insert(tableBytes.end(), {2, 7, 30, 2, 17, 0});
    tableBytes.resize(96, 0);

    struct Write {
        const char* name;
        std::function<Status()> run;
        std::uint8_t command;
        Bytes parameters; // none: the command alone
        double beforeParameters;
        double after; // from the last byte to the end of the exchange
    };
    const Write writes[] = {
        {"select preset", [&] { return link.selectPreset(12); }, 'Q', {12}, 0.2, 0.5},
        {"user presets", [&] { return link.writeUserPresetTable(presets); }, 'K', presetBytes, 0.2, 1.0},
        {"measurement", [&] { return link.writeMeasurementSettings(0x35); }, '_', {0x35, 0, 0}, 0.2, 0.2},
        {"interval", [&] { return link.writeIntervalCode(10); }, 'V', {10}, 0.1, 0.2},
        {"period", [&] { return link.writeDurationCode(5); }, 'O', {5}, 0.1, 0.2},
        {"schedule", [&] { return link.writeTimedTable(table); }, 'J', tableBytes, 0.1, 0.2},
        {"repeat", [&] { return link.writeRepeatCount(255); }, 'P', {255}, 0.1, 0.0},
        {"enable mask", [&] { return link.writeEnableMask(0x8001); }, 'T', {0x80, 0x01}, 0.1, 0.0},
        {"clock",
         [&] {
             return link.setClock(DateTime{2026, 12, 31, 23, 59, 58});
         },
         'L',
         {0x58, 0x59, 0x23, 31, 12, 26},
         0.2,
         0.0},
        {"service 60-130", [&] { return link.sendServiceValue(130, 0x7F); }, 'a', {0x7F}, 0.2, 0.0},
        {"service 70-140", [&] { return link.sendServiceValue(140, 0x00); }, 'b', {0x00}, 0.2, 0.0},
        {"erase", [&] { return link.eraseLogger(); }, 'S', {}, 0.0, 0.1},
        {"key Left", [&] { return link.pressKey(Key::left); }, '\\', {}, 0.0, 0.2},
    };
    for (const Write& w : writes) {
        SCOPED_TRACE(w.name);
        meter.writes.clear();
        const double started = clock.now();
        ASSERT_TRUE(w.run().ok());
        ASSERT_EQ(meter.writes.size(), w.parameters.empty() ? 1u : 2u);
        EXPECT_EQ(meter.writes[0].bytes, Bytes{w.command});
        EXPECT_NEAR(meter.writes[0].at, started, 1e-9);
        if (!w.parameters.empty()) {
            EXPECT_EQ(meter.writes[1].bytes, w.parameters);
            EXPECT_NEAR(meter.writes[1].at - meter.writes[0].at, w.beforeParameters, 1e-6);
        }
        EXPECT_NEAR(clock.now() - meter.writes.back().at, w.after, 1e-6);
    }

    // A preset that does not exist is not sent.
    meter.writes.clear();
    EXPECT_EQ(link.selectPreset(17).error().kind, FailureKind::data);
    EXPECT_TRUE(meter.writes.empty());
}

TEST_F(Link, StartSequencesSendTheirCommandsInOrder)
{
    RecordingSetup setup;
    setup.intervalCode = 3;
    setup.periodCode = 0;
    setup.table.entries[0] = TimedEntry{0, 5, 30, 12, 23, 59};
    setup.repeat = 255;
    setup.enableMask = 0x8001;
    ASSERT_TRUE(link.startScheduledRecording(setup).ok());
    Bytes expected{'V', 3, 'O', 0, 'J', 0, 5, 30, 12, 23, 59};
    expected.resize(expected.size() + 90, 0);
    for (std::uint8_t b : Bytes{'P', 255, 'T', 0x80, 0x01, 'W', 'Y'})
        expected.push_back(b);
    EXPECT_EQ(meter.wire(), expected);

    meter.writes.clear();
    ASSERT_TRUE(link.startLimitedRecording(8, 5).ok());
    EXPECT_EQ(meter.wire(), (Bytes{'V', 8, 'O', 5, 'W', 'Y'}));
    meter.writes.clear();
    ASSERT_TRUE(link.startIntervalRecording(1).ok());
    EXPECT_EQ(meter.wire(), (Bytes{'V', 1, 'X', 'Y'}));
    EXPECT_NEAR(meter.writes[3].at - meter.writes[2].at, 0.2, 1e-6);
}

TEST_F(Link, DumpCollectsExactlyTheCountAtLineRate)
{
    Bytes image(4000);
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<std::uint8_t>(i * 7);
    Bytes sent = image;
    sent.resize(4010, 0xAB); // the meter sends more than asked: dropped
    meter.replies['I'] = always(sent);
    meter.byteTime = 1.0 / 1920;
    std::size_t lastProgress = 0;
    bool monotone = true;
    auto got = link.dumpLogger(image.size(), [&](std::size_t n, std::size_t total) {
        monotone = monotone && n >= lastProgress && total == 4000;
        lastProgress = n;
    });
    ASSERT_TRUE(got.ok()) << got.error().message;
    EXPECT_EQ(*got, image);
    EXPECT_TRUE(monotone);
    EXPECT_EQ(lastProgress, 4000u);
    EXPECT_LT(elapsed(), 4000.0 / 1920 + 0.2);
}

TEST_F(Link, DumpEndsFiveSecondsAfterTheLastByteOrWhenCancelled)
{
    meter.replies['I'] = always(Bytes(1000, 0x55));
    meter.byteTime = 1.0 / 1920;
    auto got = link.dumpLogger(2000);
    ASSERT_FALSE(got.ok());
    EXPECT_EQ(got.error().kind, FailureKind::timeout);
    const double lastByte = 0.01 + 0.1 + 999.0 / 1920; // roughly
    EXPECT_GT(elapsed(), lastByte + 5.0 - 0.1);
    EXPECT_LT(elapsed(), lastByte + 5.2);

    std::atomic<bool> cancel{false};
    meter.replies['I'] = always(Bytes(1000, 0x55));
    got = link.dumpLogger(
        2000, [&](std::size_t n, std::size_t) { cancel = n >= 500; }, &cancel);
    ASSERT_FALSE(got.ok());
    EXPECT_EQ(got.error().kind, FailureKind::cancelled);
}

// A cancelled dump leaves the meter sending: the drain waits out the rest, so
// the next command reads its own reply; a line that never goes quiet ends in
// a timeout bounded by the whole memory at line rate.
TEST_F(Link, DrainAfterACancelledDumpLeavesTheLineToTheNextReply)
{
    std::atomic<bool> cancel{false};
    meter.replies['I'] = always(Bytes(1000, 0x55));
    meter.byteTime = 1.0 / 1920;
    const double start = clock.now();
    auto got = link.dumpLogger(
        1000, [&](std::size_t n, std::size_t) { cancel = n >= 200; }, &cancel);
    ASSERT_FALSE(got.ok());
    ASSERT_TRUE(link.drainAfterDump(1000).ok());
    const double lastByte = start + meter.latency + 999.0 / 1920;
    EXPECT_GT(clock.now(), lastByte + MeterLink::dumpQuiet - 0.01);
    EXPECT_LT(clock.now(), lastByte + MeterLink::dumpQuiet + 0.05);
    meter.replies['R'] = always(Bytes{3});
    EXPECT_EQ(link.readPresetIndex().value(), 3);

    cancel = false;
    meter.replies['I'] = always(Bytes(20000, 0x55));
    got = link.dumpLogger(100, {}, &cancel);
    ASSERT_TRUE(got.ok()); // the meter sends far more than the 100 bytes it stated
    const double drainStart = clock.now();
    auto drained = link.drainAfterDump(100);
    ASSERT_FALSE(drained.ok());
    EXPECT_EQ(drained.error().kind, FailureKind::timeout);
    EXPECT_LT(clock.now() - drainStart, 100.0 / 1920 * 1.5 + 2.0 + 0.05);
}

// "R" then "C", nothing else on the wire.
TEST_F(Link, ReadPresetsAsksRThenC)
{
    meter.replies['R'] = always(Bytes{4});
    Bytes table(36, 0);
    table[35] = 2;
    meter.replies['C'] = always(table);
    auto presets = link.readPresets();
    ASSERT_TRUE(presets.ok()) << presets.error().message;
    EXPECT_EQ(presets->presetIndex, 4);
    EXPECT_EQ(presets->table.records[8].criterionCode, 2);
    EXPECT_EQ(meter.wire(), (Bytes{'R', 'C'}));

    meter.writes.clear();
    meter.replies.erase('R');
    presets = link.readPresets();
    ASSERT_FALSE(presets.ok());
    EXPECT_EQ(meter.wire(), (Bytes{'R'})); // no "C" after a failed "R"
}

TEST_F(Link, ClockReadGivesUpAfterTenTries)
{
    meter.replies['D'] = always(Bytes{0x05, 0x07});
    auto c = link.readClock();
    ASSERT_FALSE(c.ok());
    EXPECT_EQ(meter.count('D'), 10);

    meter.writes.clear();
    meter.replies['D'] = inTurn({Bytes{}, Bytes{1, 2, 3, 4, 5, 6, 7}, Bytes{0x05, 0x07, 0x09, 4, 12, 26}});
    c = link.readClock();
    ASSERT_TRUE(c.ok()) << c.error().message;
    EXPECT_EQ(meterClockText(*c), "26/12/04 09:07:05");
    EXPECT_EQ(meter.count('D'), 3);
}

TEST_F(Link, LostLinkLoopRecoversOnAnyByteAndStopsWhenAsked)
{
    Events ev;
    meter.replies['F'] = inTurn({Bytes{}, Bytes{}, Bytes{}, Bytes{}, Bytes{0xFF}});
    ASSERT_TRUE(link.waitForMeter(ev).ok());
    EXPECT_EQ(meter.count('F'), 5);
    EXPECT_NEAR(elapsed(), 1.0, 1e-6); // "F" every 0.2 s
    EXPECT_EQ(ev.lost, 1);
    EXPECT_EQ(ev.restored, 1);

    // The program ends while the meter stays silent.
    std::atomic<bool> stop{false};
    link.setStopFlag(&stop);
    meter.replies['F'] = [&] {
        stop = meter.count('F') >= 20;
        return Bytes{};
    };
    auto s = link.waitForMeter(ev);
    ASSERT_FALSE(s.ok());
    EXPECT_EQ(s.error().kind, FailureKind::cancelled);
    link.setStopFlag(nullptr);

    // The port vanishes: io, and the program is told the device is gone.
    meter.gone = true;
    s = link.waitForMeter(ev);
    ASSERT_FALSE(s.ok());
    EXPECT_EQ(s.error().kind, FailureKind::io);
    EXPECT_EQ(ev.gone, 1);
    EXPECT_EQ(link.livePoll(Regional::point()).error().kind, FailureKind::io);
}

TEST_F(Link, RandomRepliesAreTakenOnlyWhenWhole)
{
    // Replies of every length around the right one, random bytes: a read
    // succeeds exactly when its reply is whole, and then gives those bytes.
    // (Under the sanitizers this also shows no decoder reads past a reply.)
    std::uint32_t seed = 12345;
    auto next = [&] { return seed = seed * 1664525u + 1013904223u; };
    std::map<std::uint8_t, std::vector<Bytes>> sent; // every reply, by command
    auto garbage = [&](std::uint8_t command, std::size_t whole) {
        return [&, command, whole] {
            const std::size_t lengths[] = {0, whole - 1, whole, whole, whole + 1, next() % 120};
            Bytes b(lengths[next() % 6]);
            for (auto& x : b)
                x = static_cast<std::uint8_t>(next() >> 24);
            if (b.size() >= whole && next() % 2) { // framed, where the reply has a frame
                if (command == 'F')
                    b[0] = 0x02, b[18] = 0x03;
                if (command == 'A')
                    b[0] = 0x02, b[5] = 0x03, b[2] = 0;
            }
            sent[command].push_back(b);
            return b;
        };
    };
    const std::pair<std::uint8_t, std::size_t> commands[] = {{'F', 19}, {0x60, 8}, {'R', 1}, {'E', 1}, {'U', 2},
                                                             {'C', 36}, {'B', 96}, {'A', 6}, {'D', 6}};
    for (auto [command, whole] : commands)
        meter.replies[command] = garbage(command, whole);
    auto framed = [](const Bytes& b) { return b.size() >= 19 && b[0] == 0x02 && b[18] == 0x03; };
    auto failedAs = [](const auto& result, const Bytes& reply, std::size_t whole, bool collected = false) {
        FailureKind want = FailureKind::data; // whole, but impossible
        if (reply.empty() || (collected && reply.size() < whole))
            want = FailureKind::timeout; // nothing, or a collect that ran out of time
        else if (reply.size() != whole)
            want = FailureKind::protocol; // short or long
        return !result.ok() && result.error().kind == want;
    };

    int whole = 0;
    for (int round = 0; round < 300; ++round) {
        SCOPED_TRACE(round);
        sent.clear();
        auto preset = link.readPresetIndex();
        const Bytes& r = sent['R'].back();
        if (r.size() == 1 && (r[0] < presetCount || r[0] == 255)) {
            EXPECT_EQ(preset.value(), r[0] == 255 ? 0 : r[0]);
        } else {
            EXPECT_TRUE(failedAs(preset, r, 1));
        }

        auto interval = link.readIntervalCode();
        const Bytes& e = sent['E'].back();
        EXPECT_EQ(interval.ok(), e.size() == 1);
        if (interval.ok()) {
            EXPECT_EQ(*interval, e[0]);
        }

        auto mask = link.readEnableMask();
        const Bytes& u = sent['U'].back();
        if (u.size() == 2) {
            EXPECT_EQ(mask.value(), u[0] * 256 + u[1]);
        } else {
            EXPECT_TRUE(failedAs(mask, u, 2));
        }

        auto presets = link.readUserPresetTable();
        const Bytes& c = sent['C'].back();
        if (c.size() == 36) {
            EXPECT_EQ(presets.value().records[8].criterionCode, c[35]);
        } else {
            EXPECT_TRUE(failedAs(presets, c, 36, true));
        }

        auto schedule = link.readTimedTable();
        const Bytes& t = sent['B'].back();
        if (t.size() == 96) {
            EXPECT_EQ(schedule.value().entries[15].stopMinute, t[95]);
        } else {
            EXPECT_TRUE(failedAs(schedule, t, 96, true));
        }

        auto memory = link.readMemoryStatus();
        const Bytes& a = sent['A'].back();
        const bool memoryWhole = a.size() == 6 && a[0] == 0x02 && a[5] == 0x03 &&
                                 std::uint32_t(a[2] << 16 | a[3] << 8 | a[4]) >= MemoryStatus::logStart;
        EXPECT_EQ(memory.ok(), memoryWhole);
        if (memory.ok()) {
            EXPECT_EQ(memory->blocks, a[1]);
        } else if (a.size() != 6) {
            EXPECT_TRUE(failedAs(memory, a, 6));
        }

        // The poll takes the first framed reply of its four tries; bytes after
        // the nineteenth do not matter.
        auto poll = link.livePoll(Regional::point());
        const std::vector<Bytes>& frames = sent['F'];
        const auto good = std::find_if(frames.begin(), frames.end(), framed);
        ASSERT_EQ(poll.ok(), good != frames.end());
        if (poll.ok()) {
            ++whole;
            EXPECT_EQ(frames.end() - good, 1) << "tried again after a framed reply";
            EXPECT_DOUBLE_EQ(poll->texts.levelValue, ((*good)[2] * 256 + (*good)[1]) / 10.0);
            EXPECT_EQ(poll->calibration.has_value(), sent[0x60].back().size() >= 8);
        } else {
            ASSERT_EQ(frames.size(), 4u);
            const FailureKind want = frames.back().empty()       ? FailureKind::timeout
                                     : frames.back().size() < 19 ? FailureKind::protocol
                                                                 : FailureKind::data;
            EXPECT_EQ(poll.error().kind, want);
        }

        // The clock read takes the first reply of six bytes in ten tries.
        auto meterClock = link.readClock();
        const std::vector<Bytes>& clocks = sent['D'];
        const auto six = std::find_if(clocks.begin(), clocks.end(), [](const Bytes& b) { return b.size() == 6; });
        ASSERT_EQ(meterClock.ok(), six != clocks.end());
        if (meterClock.ok()) {
            EXPECT_EQ(meterClock->second, (*six)[0]);
        } else {
            EXPECT_EQ(clocks.size(), 10u);
        }
    }
    EXPECT_GT(whole, 30) << "the generator rarely made a whole frame";
}
