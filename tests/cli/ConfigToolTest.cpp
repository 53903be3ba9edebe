// SPDX-License-Identifier: GPL-3.0-or-later
// km740-tool's configuration commands against km740-sim on a pseudo-terminal:
// the bytes each sends (from --trace), their waits, what a later read finds,
// and that no write exits 0 unless the meter shows it took.
#include "support/ToolProcess.h"
#include "support/SimProcess.h"
#include "support/TempFolder.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <optional>
#include <sstream>

using namespace km740::test;
using Bytes = std::vector<std::uint8_t>;
using nlohmann::json;

namespace {

struct Write {
    double at = 0;
    Bytes bytes;
};

struct Tool {
    ToolResult run;
    std::vector<Write> writes; // from the trace

    // Every byte written, in order.
    Bytes sent() const
    {
        Bytes all;
        for (const Write& w : writes)
            all.insert(all.end(), w.bytes.begin(), w.bytes.end());
        return all;
    }
    // Every byte written from the first write that is `command` on.
    Bytes sentFrom(std::uint8_t command) const
    {
        Bytes all;
        bool on = false;
        for (const Write& w : writes) {
            on = on || w.bytes == Bytes{command};
            if (on)
                all.insert(all.end(), w.bytes.begin(), w.bytes.end());
        }
        return all;
    }
    // Seconds from the write that is `command` to the write `nth` after it,
    // with the millisecond the trace rounds away given back.
    std::optional<double> waitAfter(std::uint8_t command, int nth = 1) const
    {
        for (std::size_t i = 0; i < writes.size(); ++i)
            if (writes[i].bytes == Bytes{command} && i + static_cast<std::size_t>(nth) < writes.size())
                return writes[i + static_cast<std::size_t>(nth)].at - writes[i].at + 0.001;
        return std::nullopt;
    }
};

// km740-tool with --trace on the device, its writes taken from the trace.
Tool toolOn(const std::string& device, std::vector<std::string> args)
{
    args.insert(args.begin(), {"--port", device, "--trace"});
    Tool t;
    t.run = runProgram(KM740_TOOL_PATH, args);
    std::istringstream err(t.run.err);
    std::string line;
    while (std::getline(err, line)) {
        std::istringstream in(line);
        std::string word, dir;
        Write w;
        if (!(in >> word >> w.at >> dir) || word != "trace" || dir != ">")
            continue;
        std::string hex;
        while (in >> hex)
            w.bytes.push_back(static_cast<std::uint8_t>(std::stoi(hex, nullptr, 16)));
        t.writes.push_back(w);
    }
    return t;
}

class ConfigTool : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(sim.device().empty()) << "km740-sim did not start"; }

    Tool tool(std::vector<std::string> args) { return toolOn(sim.device(), std::move(args)); }

    json jsonOf(std::vector<std::string> args)
    {
        const Tool t = tool(std::move(args));
        EXPECT_EQ(t.run.exitCode, 0) << t.run.err;
        return json::parse(t.run.out, nullptr, false);
    }

    SimProcess sim{KM740_SIM_PATH, {}};
};

Bytes cat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

// The virtual meter's user presets as it comes from the factory.
const Bytes factoryTable{0x80, 80, 80,   3,  0x40, 80, 80,   2,  0x11, 75, 75,   2,  0x75, 75, 75,   2,  0x00, 80,
                         80,   2,  0x90, 85, 85,   3,  0x01, 70, 70,   0,  0xC0, 90, 90,   3,  0x08, 80, 80,   2};

} // namespace

TEST_F(ConfigTool, PresetSelectsAndReadsBack)
{
    const Tool set = tool({"preset", "--set", "User3"});
    ASSERT_EQ(set.run.exitCode, 0) << set.run.err;
    EXPECT_EQ(set.run.out, "Preset set to 10 User3\n");
    // "R" and "C" as the window opens, then its OK: "Q" 10 and "K" with the table.
    EXPECT_EQ(set.sent(), cat({{'R', 'C', 'Q', 10, 'K'}, factoryTable, {'R', 'C'}})); // then read back
    EXPECT_GE(set.waitAfter('Q').value_or(0), 0.2);
    EXPECT_GE(set.waitAfter('Q', 2).value_or(0), 0.7);
    EXPECT_GE(set.waitAfter('K').value_or(0), 0.2);

    EXPECT_EQ(jsonOf({"preset", "--json"}), (json{{"preset", 10}, {"name", "User3"}}));
    const Tool bad = tool({"preset", "--set", "User10"});
    EXPECT_EQ(bad.run.exitCode, 2);
    EXPECT_TRUE(bad.writes.empty());
}

TEST_F(ConfigTool, UserPresetsFromAFileAndBack)
{
    TempFolder dir;
    const auto file = dir / "presets.json";
    std::ofstream(file) << R"({"user_presets": [{}, {"name": "User2"},
        {"time_weighting": "Fast", "frequency_weighting": "C", "threshold": 75, "criterion": "85",
         "exchange_rate": 4, "peak": "Lcpk", "range": "60-130"}]})";
    const Tool set = tool({"user-presets", "--set", file.string()});
    ASSERT_EQ(set.run.exitCode, 0) << set.run.err;
    Bytes want = factoryTable;
    want[8] = 0x75;
    EXPECT_EQ(set.sent(), cat({{'R', 'C', 'Q', 0, 'K'}, want, {'R', 'C'}}));
    EXPECT_GE(set.waitAfter('K').value_or(0), 0.2);

    const json read = jsonOf({"user-presets", "--json"});
    ASSERT_TRUE(read.contains("user_presets")) << read.dump();
    const json& u3 = read["user_presets"][2];
    EXPECT_EQ(u3["name"], "User3");
    EXPECT_EQ(u3["exchange_rate"], 4);
    EXPECT_EQ(u3["range"], "60-130");
    EXPECT_EQ(u3["frequency_weighting"], "C");
    EXPECT_EQ(read["user_presets"][8]["average"], "min");

    // A value no list holds is refused before the meter is contacted.
    std::ofstream(file, std::ios::trunc) << R"({"user_presets": [{"threshold": 95}]})";
    const Tool refused = tool({"user-presets", "--set", file.string()});
    EXPECT_EQ(refused.run.exitCode, 2);
    EXPECT_NE(refused.run.err.find("User1: \"threshold\" must be one of the listed values, not 95"), std::string::npos)
        << refused.run.err;
    EXPECT_TRUE(refused.writes.empty());
}

TEST_F(ConfigTool, SetupWritesTheSettingsByteAndReadsItBack)
{
    const Tool set = tool({"setup", "--time-weighting", "Fast", "--frequency-weighting", "C", "--peak", "Lcpk",
                           "--range", "60-130", "--exchange-rate", "3", "--json"});
    ASSERT_EQ(set.run.exitCode, 0) << set.run.err;
    const Bytes after = set.sentFrom('_');
    ASSERT_GE(after.size(), 5u);
    EXPECT_EQ(Bytes(after.begin(), after.begin() + 5), (Bytes{'_', 0x35, 0x00, 0x00, 'F'}));
    EXPECT_EQ(set.sent().front(), 'F'); // a poll first: the meter is there
    EXPECT_GE(set.waitAfter('_').value_or(0), 0.2);
    EXPECT_GE(set.waitAfter('_', 2).value_or(0), 0.4);
    EXPECT_EQ(json::parse(set.run.out)["settings"], 0x35);
    EXPECT_EQ(jsonOf({"setup", "--json"})["range"], "60-130");

    const Tool bad = tool({"setup", "--time-weighting", "Imp"});
    EXPECT_EQ(bad.run.exitCode, 0) << "the meter's own impulse setting may be written back";
    const Tool wrong = tool({"setup", "--range", "60-140"});
    EXPECT_EQ(wrong.run.exitCode, 2);
    EXPECT_TRUE(wrong.writes.empty());
}

TEST_F(ConfigTool, RecordingStartsTheScheduleAndReadsBack)
{
    const Tool start = tool({"recording", "--interval", " 1 Min", "--repeat", "0", "--enable", "1,16", "--entry",
                             "1=Any,5,30,12,23,59", "--start", "schedule"});
    // Written and read back, but the schedule shows nothing until 05:30.
    EXPECT_EQ(start.run.exitCode, 1) << start.run.err;
    EXPECT_NE(start.run.err.find("its start could not be confirmed"), std::string::npos) << start.run.err;
    Bytes table(96, 0);
    table[0] = 0, table[1] = 5, table[2] = 30, table[3] = 12, table[4] = 23, table[5] = 59;
    EXPECT_EQ(start.sent(), cat({{'B', 'E', 'G', 'H', 'U', 'F', 'V', 8, 'O', 0, 'J'},
                                 table,
                                 {'P', 0, 'T', 0x80, 0x01, 'W', 'Y', 'F', 'F', 'F', 'B', 'E', 'G', 'H', 'U'}}));
    EXPECT_GE(start.waitAfter('V').value_or(0), 0.1);
    EXPECT_GE(start.waitAfter('V', 2).value_or(0), 0.3);
    EXPECT_GE(start.waitAfter('W').value_or(0), 0.2);

    const json read = jsonOf({"recording", "--json"});
    EXPECT_EQ(read["interval"], " 1 Min");
    EXPECT_EQ(read["repeat"], "0");
    EXPECT_EQ(read["schedule"][0]["start_hour"], "5");
    EXPECT_EQ(read["schedule"][0]["enabled"], true);
    EXPECT_EQ(read["schedule"][15]["enabled"], true);
    EXPECT_EQ(read["schedule"][1]["enabled"], false);

    // The plain start: REC shows at the first poll after "Y", then "E" reads back.
    const Tool plain = tool({"recording", "--start", "plain", "--interval", "10 Sec"});
    ASSERT_EQ(plain.run.exitCode, 0) << plain.run.err;
    EXPECT_EQ(plain.sentFrom('V'), (Bytes{'V', 4, 'X', 'Y', 'F', 'E'}));
    EXPECT_NE(plain.run.out.find("Recording started (plain)"), std::string::npos);
    // A limited start needs a period: refused, nothing written.
    const Tool limited = tool({"recording", "--start", "limited"});
    EXPECT_EQ(limited.run.exitCode, 2);
    EXPECT_EQ(limited.sent(), (Bytes{'B', 'E', 'G', 'H', 'U'}));
    const Tool odd = tool({"recording", "--interval", "1 Min"});
    EXPECT_EQ(odd.run.exitCode, 2);
    EXPECT_TRUE(odd.writes.empty());
}

TEST_F(ConfigTool, AStartWithOptionsWritesThemFirst)
{
    const Tool start = tool({"recording", "--start", "plain", "--repeat", "5", "--enable", "1,2", "--entry",
                             "1=Any,5,30,12,23,59", "--period", " 5 Min"});
    ASSERT_EQ(start.run.exitCode, 0) << start.run.err;
    // Setup (V O J P T) read back, then the plain start.
    const Bytes setup = start.sentFrom('V');
    ASSERT_GE(setup.size(), 4u);
    EXPECT_EQ(Bytes(setup.begin(), setup.begin() + 4), (Bytes{'V', 8, 'O', 1}));
    EXPECT_EQ(start.sentFrom('T'), (Bytes{'T', 0x00, 0x03, 'B', 'E', 'G', 'H', 'U', 'F', 'V', 8, 'X', 'Y', 'F', 'E'}));
    const json read = jsonOf({"recording", "--json"});
    EXPECT_EQ(read["period"], " 5 Min");
    EXPECT_EQ(read["repeat"], "5");
    EXPECT_EQ(read["schedule"][0]["enabled"], true);
    EXPECT_EQ(read["schedule"][1]["enabled"], true);
    EXPECT_EQ(read["schedule"][0]["start_minute"], "30");
}

TEST_F(ConfigTool, InputIsTakenWholeOrRefusedBeforeTheMeter)
{
    TempFolder dir;
    auto write = [&](const std::string& name, const std::string& text) {
        const auto file = dir / name;
        std::ofstream(file) << text;
        return file.string();
    };
    const std::vector<std::pair<std::vector<std::string>, std::string>> refusedRuns{
        {{"preset", "--set", "0123"}, "no preset \"0123\""},
        {{"preset", "--set", "0161"}, "no preset"},
        {{"preset", "--set", "-1"}, "no preset"},
        {{"user-presets", "--set", write("big.json", R"({"preset": 4294967301})")}, "\"preset\" must be 0..16"},
        {{"user-presets", "--set", write("text.json", R"({"preset": "0123"})")}, "\"preset\" must be 0..16"},
        {{"user-presets", "--set", write("typo.json", R"({"user_presets": [{"treshold": 80}]})")},
         "User1: unknown key \"treshold\""},
        {{"user-presets", "--set", write("type.json", R"({"user_presets": [{"criterion": 85.5}]})")},
         "User1: \"criterion\""},
        {{"user-presets", "--set", write("deep.json", R"({"user_presets": [{"peak": ["Lcpk"]}]})")}, "nested deeper"},
        {{"user-presets", "--set", write("open.json", std::string(10 * 1024 * 1024, '['))}, "larger than"},
        {{"setup", "--exchange-rate", "03"}, "exchange rate \"03\""},
        {{"recording", "--enable", "1,99999999999999999999"}, "--enable takes numbers 1..16"},
        {{"recording", "--entry", "1=Any,05,30,12,23,59"}, "--entry 1: the field \"05\""},
        {{"recording", "--repeat", "20"}, "--repeat \"20\""},
    };
    for (const auto& [args, message] : refusedRuns) {
        const Tool t = tool(args);
        EXPECT_EQ(t.run.exitCode, 2) << args[0] << ' ' << args.back();
        EXPECT_TRUE(t.writes.empty()) << args[0] << ' ' << args.back();
        EXPECT_NE(t.run.err.find(message), std::string::npos) << t.run.err;
    }
    // Leading zeros are read as part of the whole number.
    const Tool zeros = tool({"preset", "--set", "00016"});
    EXPECT_EQ(zeros.run.exitCode, 0) << zeros.run.err;
    EXPECT_EQ(zeros.run.out, "Preset set to 16 User9\n");
    EXPECT_NE(runProgram(KM740_TOOL_PATH, {"preset", "--help"}).out.find("2  a value or option refused"),
              std::string::npos);
}

TEST_F(ConfigTool, KeysWorkTheMetersMenu)
{
    // Menu, Up, Enter, Menu: the first menu page's value moves from Slow to Fast.
    EXPECT_EQ(jsonOf({"setup", "--json"})["time_weighting"], "Slow");
    for (const char* key : {"menu", "up", "enter", "menu"}) {
        const Tool t = tool({"key", key});
        ASSERT_EQ(t.run.exitCode, 0) << t.run.err;
        ASSERT_GE(t.sent().size(), 3u);
        // The display copy before and after the key shows that it took.
        EXPECT_EQ(t.sent()[0], 'F');
        EXPECT_EQ(t.sent()[2], 'F');
    }
    EXPECT_EQ(jsonOf({"setup", "--json"})["time_weighting"], "Fast");
    // Left in the measuring view changes nothing the display shows.
    const Tool left = tool({"key", "left"});
    EXPECT_EQ(left.run.exitCode, 1);
    EXPECT_EQ(left.sent(), (Bytes{'F', '\\', 'F', 'F', 'F'}));
    EXPECT_NE(left.run.err.find("the left key could not be confirmed"), std::string::npos) << left.run.err;
    EXPECT_TRUE(left.run.out.empty());
}

TEST(ConfigToolSilent, AWriteToASilentMeterFails)
{
    SimProcess sim{KM740_SIM_PATH, {"--silent-after", "0"}};
    ASSERT_FALSE(sim.device().empty());
    for (std::vector<std::string> args : {std::vector<std::string>{"key", "up"},
                                          {"setup", "--time-weighting", "Fast"},
                                          {"preset", "--set", "3"},
                                          {"recording", "--start", "plain"}}) {
        args.insert(args.begin(), {"--port", sim.device()});
        const ToolResult r = runProgram(KM740_TOOL_PATH, args);
        EXPECT_EQ(r.exitCode, 1) << args[2];
        EXPECT_NE(r.err.find("does not answer"), std::string::npos) << r.err;
        EXPECT_TRUE(r.out.empty()) << r.out;
    }
}

namespace {

// Each write command with the commands the meter may ignore on its way.
struct WriteRun {
    std::vector<std::string> args;
    std::string ignorable;
};

std::vector<WriteRun> writeRuns(const std::string& presetFile)
{
    return {
        {{"preset", "--set", "5"}, "Q"},
        {{"user-presets", "--set", presetFile}, "QK"},
        {{"setup", "--time-weighting", "Fast"}, "_"},
        {{"recording", "--interval", "10 Sec", "--period", "10 Min", "--repeat", "3", "--enable", "2", "--entry",
          "2=1,2,3,4,5,6"},
         "VOJPT"},
        {{"recording", "--start", "plain", "--interval", "10 Sec"}, "VXY"},
        {{"recording", "--start", "limited", "--period", "10 Min"}, "OWY"},
        {{"key", "menu"}, "^"},
        {{"clock", "--set"}, "L"},
    };
}

} // namespace

TEST(ConfigToolFaults, NoWriteSucceedsThatTheMeterDidNotTake)
{
    TempFolder dir;
    const auto file = dir / "presets.json";
    std::ofstream(file) << R"({"preset": 9, "user_presets": [{}, {"threshold": 88}]})";
    int runs = 0;
    for (const WriteRun& w : writeRuns(file.string())) {
        for (char command : w.ignorable) {
            SimProcess sim{KM740_SIM_PATH, {"--ignore", std::string(1, command), "--clock-offset", "-3600"}};
            ASSERT_FALSE(sim.device().empty());
            const Tool t = toolOn(sim.device(), w.args);
            ++runs;
            EXPECT_EQ(t.run.exitCode, 1) << w.args[0] << " " << w.args[1] << " with \"" << command << "\" ignored";
            EXPECT_TRUE(t.run.out.empty()) << t.run.out;
            EXPECT_NE(t.run.err.find("km740-tool: "), std::string::npos) << t.run.err;
        }
    }
    EXPECT_EQ(runs, 17);
}

TEST(ConfigToolFaults, AMeterSilencedAfterEachStepIsNeverASuccess)
{
    // preset --set 5 sends R, C, Q, K and reads R, C back: silence after any
    // of the first five commands fails, after all six it succeeds.
    for (int after = 0; after <= 6; ++after) {
        SimProcess sim{KM740_SIM_PATH, {"--silent-after", std::to_string(after)}};
        ASSERT_FALSE(sim.device().empty());
        const Tool t = toolOn(sim.device(), {"preset", "--set", "5"});
        EXPECT_EQ(t.run.exitCode, after < 6 ? 1 : 0) << "silent after " << after << ": " << t.run.err;
        if (after < 6) {
            EXPECT_NE(t.run.err.find("does not answer"), std::string::npos) << t.run.err;
        }
    }
}
