// SPDX-License-Identifier: GPL-3.0-or-later
// km740-tool exposure as later tools read it: the JSON keys, the exit code
// of a bad span, and the analysis file it keeps beside the recording.
#include "core/files/DataFileWriter.h"
#include "support/SampleFiles.h"
#include "support/TempFolder.h"
#include "support/ToolProcess.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <set>

using namespace km740::test;
using json = nlohmann::json;

namespace {

// One hour at 90 dB from 08:00:00, then one at 95 dB.
std::filesystem::path twoHours(const TempFolder& dir)
{
    km740::RealTimeFile f = sampleRealTime(7200);
    for (std::size_t i = 0; i < f.records.size(); ++i)
        f.records[i].level = i < 3600 ? "90.0" : "95.0";
    const auto path = dir / "shift.sonx";
    EXPECT_TRUE(km740::writeDataFile(path, f));
    return path;
}

std::set<std::string> keys(const json& j)
{
    std::set<std::string> k;
    for (auto it = j.begin(); it != j.end(); ++it)
        k.insert(it.key());
    return k;
}

TEST(ToolExposure, JsonCarriesExactlyTheAgreedKeys)
{
    TempFolder dir;
    const auto file = twoHours(dir);
    auto r = runProgram(KM740_TOOL_PATH, {"exposure", file.string(), "--json", "--standard", "OSHA-90", "--standard",
                                          "85/none/3", "--exclude", "2026-12-01T09:00:00/2026-12-01T09:30:00"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const json j = json::parse(r.out);
    EXPECT_EQ(keys(j), (std::set<std::string>{"file", "records", "readings", "excluded", "used", "measured_seconds",
                                              "exposure_seconds", "laeq", "lmax", "lmin", "sel", "pa2h", "lex8h",
                                              "points", "above", "ln", "standards", "exclusions"}));
    EXPECT_EQ(keys(j["above"]), (std::set<std::string>{"level", "seconds"}));
    EXPECT_EQ(keys(j["ln"]), (std::set<std::string>{"L1", "L5", "L10", "L50", "L90", "L95", "L99"}));
    ASSERT_EQ(j["standards"].size(), 2u);
    EXPECT_EQ(keys(j["standards"][0]),
              (std::set<std::string>{"name", "criterion", "threshold", "exchange_rate", "dose", "twa", "projected_dose",
                                     "projected_twa", "lavg", "shift_dose", "shift_twa"}));
    EXPECT_EQ(keys(j["exclusions"][0]), (std::set<std::string>{"from", "to", "readings"}));

    EXPECT_EQ(j["records"], 7200);
    EXPECT_EQ(j["excluded"], 1800);
    EXPECT_EQ(j["used"], 5400);
    EXPECT_EQ(j["exclusions"][0]["readings"], 1800);
    // An hour at 90 and half an hour at 95 under OSHA: 12.5 % + 12.5 %.
    EXPECT_NEAR(j["standards"][0]["dose"].get<double>(), 25.0, 1e-9);
    EXPECT_EQ(j["standards"][0]["threshold"], 90);
    EXPECT_TRUE(j["standards"][1]["threshold"].is_null());
    EXPECT_EQ(j["above"]["seconds"], 5400.0);
}

TEST(ToolExposure, BadSpansExitWithTwoAndSayWhy)
{
    TempFolder dir;
    const auto file = twoHours(dir).string();
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"2026-12-01T09:30:00/2026-12-01T09:00:00", "does not end after it starts"},
        {"2026-12-01T12:00:00/2026-12-01T13:00:00", "outside the recording"},
        {"2026-12-01T09:00", "YYYY-MM-DDTHH:MM:SS"},
    };
    for (const auto& [span, words] : cases) {
        auto r = runProgram(KM740_TOOL_PATH, {"exposure", file, "--exclude", span});
        EXPECT_EQ(r.exitCode, 2) << span;
        EXPECT_NE(r.err.find(words), std::string::npos) << r.err;
        EXPECT_TRUE(r.out.empty()) << r.out;
    }
    auto overlap =
        runProgram(KM740_TOOL_PATH, {"exposure", file, "--exclude", "2026-12-01T08:00:00/2026-12-01T08:30:00",
                                     "--exclude", "2026-12-01T08:20:00/2026-12-01T08:40:00"});
    EXPECT_EQ(overlap.exitCode, 2);
    EXPECT_NE(overlap.err.find("overlap"), std::string::npos) << overlap.err;
    auto standard = runProgram(KM740_TOOL_PATH, {"exposure", file, "--standard", "NIOSH"});
    EXPECT_EQ(standard.exitCode, 2);
    EXPECT_NE(standard.err.find("\"NIOSH\" is no standard"), std::string::npos) << standard.err;
}

TEST(ToolExposure, TheSavedAnalysisComesBackUntilLeftAside)
{
    TempFolder dir;
    const auto file = twoHours(dir).string();
    auto saved = runProgram(KM740_TOOL_PATH, {"exposure", file, "--json", "--save-analysis", "--exposure-time", "10",
                                              "--exclude", "2026-12-01T09:00:00/2026-12-01T10:00:00"});
    ASSERT_EQ(saved.exitCode, 0) << saved.err;
    ASSERT_TRUE(std::filesystem::exists(file + ".km740a"));

    auto again = runProgram(KM740_TOOL_PATH, {"exposure", file, "--json"});
    ASSERT_EQ(again.exitCode, 0) << again.err;
    EXPECT_NE(again.err.find("applied the analysis"), std::string::npos) << again.err;
    EXPECT_EQ(json::parse(again.out), json::parse(saved.out));
    EXPECT_EQ(json::parse(again.out)["exposure_seconds"], 36000.0);

    auto aside = runProgram(KM740_TOOL_PATH, {"exposure", file, "--json", "--no-analysis"});
    ASSERT_EQ(aside.exitCode, 0) << aside.err;
    EXPECT_EQ(json::parse(aside.out)["excluded"], 0);
    EXPECT_EQ(json::parse(aside.out)["standards"].size(), 9u);

    // A damaged analysis file is named, not silently dropped.
    writeBytes(file + ".km740a", "{\"format\": \"km740-exposure-analysis\", \"version\": 1, \"above\": \"x\"}");
    auto damaged = runProgram(KM740_TOOL_PATH, {"exposure", file});
    EXPECT_EQ(damaged.exitCode, 2);
    EXPECT_NE(damaged.err.find("--no-analysis"), std::string::npos) << damaged.err;
}

} // namespace
