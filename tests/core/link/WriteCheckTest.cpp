// SPDX-License-Identifier: GPL-3.0-or-later
// A write the meter answers nothing to is followed by a read that proves it
// was heard: the clock read back, a status frame.
#include "core/link/WriteCheck.h"
#include "core/sim/VirtualMeter.h"

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
    EXPECT_NE(s.error().message.find("after it was set to 26/12/31 23:59:58: the time did not take"),
              std::string::npos)
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
