// SPDX-License-Identifier: GPL-3.0-or-later
// km740-tool against km740-sim meters that leave out a reply or a write: it
// says so instead of claiming a success.
#include "support/SimProcess.h"
#include "support/ToolProcess.h"

#include <gtest/gtest.h>

using namespace km740::test;

namespace {

ToolResult toolOn(const SimProcess& sim, std::vector<std::string> args)
{
    args.insert(args.begin(), {"--port", sim.device()});
    return runProgram(KM740_TOOL_PATH, args);
}

} // namespace

TEST(ToolMeter, ClockSetIsReadBackBeforeItIsReported)
{
    SimProcess good(KM740_SIM_PATH, {});
    ASSERT_FALSE(good.device().empty());
    auto r = toolOn(good, {"clock", "--set"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out.rfind("Meter clock set to ", 0), 0u) << r.out;

    // The meter takes "L" but keeps its old time, an hour behind.
    SimProcess deaf(KM740_SIM_PATH, {"--ignore", "L", "--clock-offset", "-3600"});
    ASSERT_FALSE(deaf.device().empty());
    r = toolOn(deaf, {"clock", "--set"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("the time did not take"), std::string::npos) << r.err;

    SimProcess silent(KM740_SIM_PATH, {"--silent-after", "0"});
    ASSERT_FALSE(silent.device().empty());
    r = toolOn(silent, {"clock", "--set"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("did not answer \"D\" after the clock was set"), std::string::npos) << r.err;
}

TEST(ToolMeter, StatusWithoutACalibrationRecordSaysItIsUnknown)
{
    SimProcess sim(KM740_SIM_PATH, {"--ignore", "`"});
    ASSERT_FALSE(sim.device().empty());
    auto r = toolOn(sim, {"status"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("Calibrated Time  unknown\nCalibrated dB    unknown\n"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("calibration is unknown"), std::string::npos) << r.err;

    r = toolOn(sim, {"status", "--json"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("\"calibration_time\": null, \"calibration_level\": null}"), std::string::npos) << r.out;
}
