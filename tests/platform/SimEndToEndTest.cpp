// SPDX-License-Identifier: GPL-3.0-or-later
// The real serial path end to end: km740-sim on a pty, SerialTransport,
// MeterLink and km740-tool against it.
#include "core/link/MeterLink.h"
#include "platform/SerialTransport.h"
#include "support/SimProcess.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>

using namespace km740;
using km740::test::SimProcess;

namespace {

struct ToolRunResult {
    int exitCode = -1;
    std::string out;
};

ToolRunResult runTool(const std::string& args)
{
    ToolRunResult r;
    const std::string command = std::string(KM740_TOOL_PATH) + " " + args + " 2>/dev/null";
    FILE* p = ::popen(command.c_str(), "r");
    if (!p)
        return r;
    std::array<char, 256> buf;
    while (std::fgets(buf.data(), buf.size(), p))
        r.out += buf.data();
    const int status = ::pclose(p);
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

} // namespace

TEST(SimEndToEnd, LinkAndToolTalkToTheVirtualMeterOverAPty)
{
    SerialTransport::ensureQtCore();
    SimProcess sim(KM740_SIM_PATH, {});
    ASSERT_FALSE(sim.device().empty()) << "km740-sim did not start";

    auto status = runTool("--port " + sim.device() + " status --json");
    EXPECT_EQ(status.exitCode, 0);
    EXPECT_NE(status.out.find("\"level\": \""), std::string::npos) << status.out;
    EXPECT_NE(status.out.find("\"exchange_rate\": "), std::string::npos);

    auto memory = runTool("memory --port " + sim.device() + " --json");
    EXPECT_EQ(memory.exitCode, 0);
    EXPECT_NE(memory.out.find("\"size\": \""), std::string::npos) << memory.out;

    {
        SerialTransport port(sim.device());
        ASSERT_TRUE(port.open().ok());
        SteadyClock clock;
        MeterLink link(port, clock);

        auto poll = link.livePoll(Regional::point());
        ASSERT_TRUE(poll.ok()) << poll.error().message;
        EXPECT_GT(poll->texts.levelValue, 20.0);
        EXPECT_LT(poll->texts.levelValue, 140.0);
        EXPECT_TRUE(poll->calibration);

        auto mem = link.readMemoryStatus();
        ASSERT_TRUE(mem.ok()) << mem.error().message;
        ASSERT_FALSE(mem->empty());
        auto image = link.dumpLogger(std::min<std::size_t>(mem->downloadSize(), 600));
        ASSERT_TRUE(image.ok()) << image.error().message;
        // A logger image begins with a set marker.
        EXPECT_EQ(Bytes(image->begin(), image->begin() + 4), (Bytes{0x00, 0x55, 0xAA, 0x00}));
    }
}

TEST(SimEndToEnd, ToolDownloadsExactlyTheUsedMemory)
{
    // About a kilobyte of sets: half a second at the line rate.
    SimProcess sim(KM740_SIM_PATH, {"--fill-kb", "1"});
    ASSERT_FALSE(sim.device().empty()) << "km740-sim did not start";
    auto memory = runTool("--port " + sim.device() + " memory --json");
    const auto at = memory.out.find("\"end\": ");
    ASSERT_NE(at, std::string::npos) << memory.out;
    const long end = std::stol(memory.out.substr(at + 7));

    const std::string file = ::testing::TempDir() + "km740-e2e-image.bin";
    std::remove(file.c_str());
    auto download = runTool("--port " + sim.device() + " download -o " + file);
    EXPECT_EQ(download.exitCode, 0);
    FILE* f = std::fopen(file.c_str(), "rb");
    ASSERT_TRUE(f);
    std::fseek(f, 0, SEEK_END);
    EXPECT_EQ(std::ftell(f), end - 3584);
    std::fclose(f);
    std::remove(file.c_str());

    SimProcess empty(KM740_SIM_PATH, {"--empty"});
    auto none = runTool("--port " + empty.device() + " download -o " + file);
    EXPECT_EQ(none.exitCode, 3);
    EXPECT_EQ(none.out, "No Data in Memoy!\n");
    EXPECT_EQ(std::fopen(file.c_str(), "rb"), nullptr);
}

TEST(SimEndToEnd, ToolGivesUpOnASilentMeter)
{
    // Every wait of the tool is bounded: it ends, with a failure, by itself.
    SimProcess sim(KM740_SIM_PATH, {"--silent-after", "0"});
    ASSERT_FALSE(sim.device().empty()) << "km740-sim did not start";
    for (const char* command : {"status --json", "memory", "clock", "download -o /dev/null"}) {
        auto r = runTool("--port " + sim.device() + " " + command);
        EXPECT_EQ(r.exitCode, 1) << command;
    }
    EXPECT_EQ(runTool("status").exitCode, 2);
    EXPECT_EQ(runTool("--port /dev/km740-no-such-port status").exitCode, 1);
}
