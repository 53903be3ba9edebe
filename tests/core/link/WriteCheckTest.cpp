// SPDX-License-Identifier: GPL-3.0-or-later
// A write the meter answers nothing to is followed by a read that proves it
// took: the clock, presets, settings and recording tables read back, the
// display copy watched for a key or a start. A meter that ignores the write
// or falls silent at any step never gives a success.
#include "core/link/WriteCheck.h"
#include "core/sim/VirtualMeter.h"

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

using namespace km740;

namespace {

struct Checked : ::testing::Test {
    ManualClock clock{1000.0};
    VirtualMeter meter{clock};
    MeterLink link{meter, clock};
    void SetUp() override { ASSERT_TRUE(meter.open().ok()); }
};

const DateTime newYearsEve{2026, 12, 31, 23, 59, 58};

} // namespace

TEST_F(Checked, ClockSetIsReadBack)
{
    ASSERT_TRUE(setClockChecked(link, newYearsEve).ok());
    EXPECT_EQ(meterClockText(link.readClock().value()).substr(0, 8), "26/12/31");
}

TEST_F(Checked, AClockThatDidNotTakeFails)
{
    meter.ignoreCommands("L");
    auto s = setClockChecked(link, newYearsEve);
    ASSERT_FALSE(s.ok());
    EXPECT_EQ(s.error().kind, FailureKind::protocol);
    EXPECT_NE(s.error().message.find("after it was set to 26/12/31 23:59:58: the time did not take"), std::string::npos)
        << s.error().message;
}

TEST_F(Checked, ASilentMeterFailsEveryCheckedWrite)
{
    meter.setSilentAfter(0);
    auto clockSet = setClockChecked(link, newYearsEve);
    ASSERT_FALSE(clockSet.ok());
    EXPECT_EQ(clockSet.error().kind, FailureKind::timeout);
    EXPECT_NE(clockSet.error().message.find("after the clock was set"), std::string::npos);

    auto preset = confirmMeterAnswers(link, "the preset");
    ASSERT_FALSE(preset.ok());
    EXPECT_EQ(preset.error().message, "the meter did not answer \"F\" after the preset was written");
}

TEST_F(Checked, AMeterThatAnswersIsConfirmed)
{
    ASSERT_TRUE(link.selectPreset(3).ok());
    EXPECT_TRUE(confirmMeterAnswers(link, "the preset").ok());
}

namespace {

RecordingSetup someSetup()
{
    RecordingSetup s;
    s.intervalCode = 4;
    s.periodCode = 0;
    s.table.entries[0] = TimedEntry{0, 5, 30, 12, 23, 59};
    s.repeat = 5;
    s.enableMask = 0x8001;
    return s;
}

// The meter's table with User3 and User5 changed.
UserPresetTable changedTable(MeterLink& link)
{
    auto read = link.readUserPresetTable();
    UserPresetTable t = read ? *read : UserPresetTable{};
    t.records[2] = UserPresetRecord{0x75, 75, 75, 2};
    t.records[4] = UserPresetRecord{0x03, 95, 95, 7}; // bytes no list names go back as they are
    return t;
}

// Every checked write, named by the command characters it sends.
struct Write {
    const char* name;
    std::string commands;
    std::function<Status(MeterLink&)> run;
};

std::vector<Write> checkedWrites()
{
    return {
        {"presets", "QK", [](MeterLink& l) { return writePresetsChecked(l, 12, changedTable(l)); }},
        {"settings", "_", [](MeterLink& l) { return writeSettingsChecked(l, 0x35); }},
        {"recording setup", "VOJPT",
         [](MeterLink& l) {
             RecordingSetup s = someSetup();
             s.periodCode = 3;
             return writeRecordingSetupChecked(l, s);
         }},
        {"plain start", "VXY",
         [](MeterLink& l) { return startRecordingChecked(l, RecordingStart::plain, someSetup()); }},
        {"limited start", "VOWY",
         [](MeterLink& l) {
             RecordingSetup s = someSetup();
             s.periodCode = 5;
             return startRecordingChecked(l, RecordingStart::limited, s);
         }},
        {"menu key", "^", [](MeterLink& l) { return pressKeyChecked(l, Key::menu); }},
        {"up key", "Z", [](MeterLink& l) { return pressKeyChecked(l, Key::up); }},
    };
}

} // namespace

TEST_F(Checked, EachWriteIsReadBack)
{
    for (const Write& w : checkedWrites()) {
        ManualClock c{1000.0};
        VirtualMeter m{c};
        ASSERT_TRUE(m.open().ok());
        MeterLink l{m, c};
        const Status s = w.run(l);
        EXPECT_TRUE(s.ok()) << w.name << ": " << s.error().message;
    }
    // What the meter now holds is what was sent, "code N" bytes included.
    ASSERT_TRUE(writePresetsChecked(link, 12, changedTable(link)).ok());
    EXPECT_EQ(link.readUserPresetTable().value().records[4], (UserPresetRecord{0x03, 95, 95, 7}));
    EXPECT_EQ(link.readPresetIndex().value(), 12);
}

TEST_F(Checked, AWriteTheMeterIgnoresNamesWhatDidNotTake)
{
    for (const Write& w : checkedWrites())
        for (char command : w.commands) {
            ManualClock c{1000.0};
            VirtualMeter m{c};
            ASSERT_TRUE(m.open().ok());
            m.ignoreCommands(std::string(1, command));
            MeterLink l{m, c};
            const Status s = w.run(l);
            ASSERT_FALSE(s.ok()) << w.name << " with \"" << command << "\" ignored";
            EXPECT_EQ(s.error().kind, FailureKind::protocol) << w.name << ": " << s.error().message;
        }

    meter.ignoreCommands("KP");
    EXPECT_EQ(writePresetsChecked(link, 0, changedTable(link)).error().message,
              "the meter did not take the user presets User3, User5");
    EXPECT_EQ(writeRecordingSetupChecked(link, someSetup()).error().message,
              "the meter did not take the repeat count (it reports Always, not 5)");
    meter.ignoreCommands("Q");
    EXPECT_EQ(writePresetsChecked(link, 12, changedTable(link)).error().message,
              "the meter did not take the preset (it reports 0, not 12)");
    meter.ignoreCommands("V");
    RecordingSetup twoSeconds = someSetup();
    twoSeconds.intervalCode = 2;
    EXPECT_EQ(startRecordingChecked(link, RecordingStart::plain, twoSeconds).error().message,
              "the meter did not take the logging interval (it reports \"10 Sec\", not \" 2 Sec\")");
    meter.ignoreCommands("");
    EXPECT_EQ(pressKeyChecked(link, Key::left).error().message,
              "the meter answered, but its display did not change: the left key could not be confirmed");
}

TEST_F(Checked, AStartTheDisplayCannotShowIsNotConfirmed)
{
    // The schedule waits for its first entry: written and read back, but no REC.
    auto s = startRecordingChecked(link, RecordingStart::schedule, someSetup());
    ASSERT_FALSE(s.ok());
    EXPECT_NE(s.error().message.find("its start could not be confirmed"), std::string::npos) << s.error().message;
    // Recording already: REC was lit before the start, so it proves nothing.
    ASSERT_TRUE(startRecordingChecked(link, RecordingStart::plain, someSetup()).ok());
    s = startRecordingChecked(link, RecordingStart::plain, someSetup());
    ASSERT_FALSE(s.ok());
    EXPECT_EQ(s.error().message, "the meter was recording already, so the new start could not be confirmed");
}

TEST_F(Checked, AMeterSilencedAtAnyStepNeverGivesASuccess)
{
    for (const Write& w : checkedWrites()) {
        for (int after = 0;; ++after) {
            ManualClock c{1000.0};
            VirtualMeter m{c};
            ASSERT_TRUE(m.open().ok());
            MeterLink l{m, c};
            m.setSilentAfter(after);
            const Status s = w.run(l);
            if (s.ok()) {
                // Only once every command of the write and its proof was answered.
                EXPECT_EQ(m.commandsTaken(), after) << w.name;
                break;
            }
            EXPECT_EQ(s.error().kind, FailureKind::timeout)
                << w.name << " silent after " << after << ": " << s.error().message;
            ASSERT_LT(after, 40) << w.name;
        }
    }
}
