// SPDX-License-Identifier: GPL-3.0-or-later
// km740-tool archive as a user runs it: what it prints, what it refuses, and
// what a crash at any write step of filing leaves behind.
#include "core/files/DataFileWriter.h"

#include "support/SampleFiles.h"
#include "support/TempFolder.h"
#include "support/ToolProcess.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace km740 {
namespace {

using namespace test;
using nlohmann::json;

// A level set of eight hours, one reading a minute, at one level.
std::string shift(const std::string& day, const std::string& level)
{
    LevelLoggerFile f{sampleSettings(false), {}, {"50.0", "85.0"}, {}};
    for (int i = 0; i < 480; ++i) {
        char time[40];
        std::snprintf(time, sizeof time, "%s %02d:%02d:00", day.c_str(), 7 + i / 60, i % 60);
        f.records.push_back({i + 1, time, level});
    }
    return dataFileBytes(f);
}

struct ArchiveTool {
    TempFolder dir;
    ToolResult run(std::vector<std::string> args, const char* stopAfter = nullptr) const
    {
        args.insert(args.begin(), {"archive", "--archive", (dir / "archive").string()});
        return runProgram(KM740_TOOL_PATH, args, [stopAfter] {
            if (stopAfter)
                ::setenv("KM740_ARCHIVE_STOP_AFTER", stopAfter, 1);
        });
    }
    json list(std::vector<std::string> filters = {}) const
    {
        filters.insert(filters.begin(), "list");
        filters.push_back("--json");
        const auto r = run(filters);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return json::parse(r.out);
    }
};

TEST(ArchiveTool, FilesListsShowsExportsAndRemoves)
{
    ArchiveTool tool;
    writeBytes(tool.dir / "mon.sonx", shift("2026/03/02", "85.0"));
    writeBytes(tool.dir / "tue.sonx", shift("2026/03/03", "88.0"));
    auto r = tool.run({"add", (tool.dir / "mon.sonx").string(), "--person", "Ana Silva", "--sector", "Press shop"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    r = tool.run({"add", (tool.dir / "tue.sonx").string(), (tool.dir / "mon.sonx").string(), "--person", "Bob"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("mon.sonx: filed before as 1"), std::string::npos) << r.out;

    const json all = tool.list();
    ASSERT_EQ(all.size(), 2u);
    const json& mon = all[0];
    EXPECT_EQ(mon["id"], 1);
    EXPECT_EQ(mon["person"], "Ana Silva"); // the second filing did not relabel it
    EXPECT_EQ(mon["sector"], "Press shop");
    EXPECT_EQ(mon["start"], "2026-03-02T07:00:00");
    EXPECT_EQ(mon["duration_seconds"], 28800);
    EXPECT_EQ(mon["kind"], "Data Logger dBS");
    EXPECT_NEAR(mon["laeq"].get<double>(), 85.0, 1e-9);
    EXPECT_NEAR(mon["lex8h"].get<double>(), 85.0, 1e-9);
    EXPECT_EQ(mon["file"], "mon.sonx");

    EXPECT_EQ(tool.list({"--person", "bob"}).size(), 1u);
    EXPECT_EQ(tool.list({"--from", "2026-03-03", "--to", "2026-03-03"})[0]["file"], "tue.sonx");
    EXPECT_EQ(tool.list({"--to", "2026-03-02"})[0]["file"], "mon.sonx");
    EXPECT_EQ(tool.list({"--kind", "recording"}).size(), 0u);

    r = tool.run({"show", "2", "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(json::parse(r.out)["settings"]["Time Weight"], "Slow");

    // The original goes; the archive's copy comes back byte for byte.
    std::filesystem::remove(tool.dir / "tue.sonx");
    r = tool.run({"export", "2", "-o", (tool.dir / "back.sonx").string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(readBytes(tool.dir / "back.sonx"), shift("2026/03/03", "88.0"));

    r = tool.run({"remove", "2"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(tool.list().size(), 1u);

    // Refused input: 2; a failure: 1.
    EXPECT_EQ(tool.run({"remove", "2"}).exitCode, 2);
    EXPECT_EQ(tool.run({"show", "9"}).exitCode, 2);
    EXPECT_EQ(tool.run({"list", "--from", "2026-02-30"}).exitCode, 2);
    EXPECT_EQ(tool.run({"list", "--kind", "movie"}).exitCode, 2);
    EXPECT_EQ(tool.run({"week", "--person", "Ana", "--week", "2026-10"}).exitCode, 2);
    writeBytes(tool.dir / "junk.sonx", std::string("\x01\x02\x03", 3));
    EXPECT_EQ(tool.run({"add", (tool.dir / "junk.sonx").string()}).exitCode, 2);
    EXPECT_EQ(tool.run({"add", (tool.dir / "absent.sonx").string()}).exitCode, 1);
}

TEST(ArchiveTool, WeekAddsUpTheDaysOfOnePerson)
{
    ArchiveTool tool;
    for (int d = 2; d <= 6; ++d) { // Monday 2 to Friday 6 March 2026, week 10
        const std::string name = "d" + std::to_string(d) + ".sonx";
        writeBytes(tool.dir / name, shift("2026/03/0" + std::to_string(d), "85.0"));
        ASSERT_EQ(tool.run({"add", (tool.dir / name).string(), "--person", "Ana"}).exitCode, 0);
    }
    writeBytes(tool.dir / "loud.sonx", shift("2026/03/11", "92.0"));
    ASSERT_EQ(tool.run({"add", (tool.dir / "loud.sonx").string(), "--person", "ana"}).exitCode, 0);
    writeBytes(tool.dir / "other.sonx", shift("2026/03/12", "99.0"));
    ASSERT_EQ(tool.run({"add", (tool.dir / "other.sonx").string(), "--person", "Anabel"}).exitCode, 0);

    auto week = [&](const std::string& w) {
        const auto r = tool.run({"week", "--person", "Ana", "--week", w, "--json"});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return json::parse(r.out);
    };
    const json full = week("2026-W10");
    EXPECT_EQ(full["person"], "Ana");
    EXPECT_EQ(full["week"], "2026-W10");
    ASSERT_EQ(full["days"].size(), 5u);
    EXPECT_EQ(full["days"][0]["date"], "2026-03-02");
    EXPECT_EQ(full["days"][0]["ids"], json::array({1}));
    EXPECT_NEAR(full["days"][4]["points"].get<double>(), 100.0, 1e-6);
    EXPECT_NEAR(full["lex_w"].get<double>(), 85.0, 1e-6);
    EXPECT_NEAR(full["points"].get<double>(), 500.0, 1e-6);

    const json one = week("2026-W11"); // one day at 92 dB; Anabel is someone else
    ASSERT_EQ(one["days"].size(), 1u);
    EXPECT_NEAR(one["lex_w"].get<double>(), 85.0, 0.05);

    const json none = week("2026-W12");
    EXPECT_TRUE(none["days"].empty());
    EXPECT_TRUE(none["lex_w"].is_null());
}

TEST(ArchiveTool, ACrashAtAnyWriteStepLeavesTheMeasurementOrNothing)
{
    const std::string bytes = shift("2026/03/02", "85.0");
    for (const char* step : {"1", "2", "3", "4"}) {
        SCOPED_TRACE(step);
        ArchiveTool tool;
        writeBytes(tool.dir / "m.sonx", bytes);
        const auto killed = tool.run({"add", (tool.dir / "m.sonx").string(), "--person", "Ana"}, step);
        EXPECT_EQ(killed.exitCode, -1) << "the switch did not stop the tool: " << killed.out << killed.err;

        const json rows = tool.list(); // opening removes what a crash left
        std::vector<std::string> copies;
        for (const auto& e : std::filesystem::directory_iterator(tool.dir / "archive/files"))
            copies.push_back(e.path().filename().string());
        if (std::string(step) == "4") {
            ASSERT_EQ(rows.size(), 1u);
            EXPECT_EQ(rows[0]["person"], "Ana");
            EXPECT_EQ(copies, std::vector<std::string>{rows[0]["hash"].get<std::string>() + ".sonx"});
        } else {
            EXPECT_TRUE(rows.empty());
            EXPECT_TRUE(copies.empty()) << copies.front();
        }
        // Filing again completes it, and the copy is whole.
        ASSERT_EQ(tool.run({"add", (tool.dir / "m.sonx").string()}).exitCode, 0);
        ASSERT_EQ(tool.run({"export", "1", "-o", (tool.dir / "back.sonx").string()}).exitCode, 0);
        EXPECT_EQ(readBytes(tool.dir / "back.sonx"), bytes);
    }
}

TEST(ArchiveTool, RefusesAnArchiveFromANewerVersionAndLeavesIt)
{
    ArchiveTool tool;
    ASSERT_EQ(tool.list().size(), 0u);
    const auto db = tool.dir / "archive" / "archive.db";
    // user_version lives in the database header at byte 60, big-endian.
    std::string header = readBytes(db);
    ASSERT_GT(header.size(), 64u);
    header[60] = header[61] = header[62] = 0;
    header[63] = 42;
    writeBytes(db, header);
    const auto r = tool.run({"list"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("newer version of km740"), std::string::npos) << r.err;
    EXPECT_EQ(readBytes(db), header);
}

} // namespace
} // namespace km740
