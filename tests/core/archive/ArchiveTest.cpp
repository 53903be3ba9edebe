// SPDX-License-Identifier: GPL-3.0-or-later
// The archive on disk: one row per content, copies complete before rows,
// databases from other versions or damaged ones left alone, filters.
#include "core/archive/Archive.h"
#include "core/archive/ArchiveSchema.h"
#include "core/archive/Sha256.h"
#include "core/exposure/ExposureAnalysis.h"
#include "core/files/DataFileWriter.h"

#include "support/SampleFiles.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace km740 {
namespace {

using test::readBytes;
using test::TempFolder;
using test::writeBytes;

// `seconds` one-second records at one level from the given start.
std::string steadyRecording(const std::string& day, int startHour, int seconds, const std::string& level)
{
    RealTimeFile f{DataFileKind::realTimeData, test::sampleSettings(true), {}};
    for (int s = 0; s < seconds; ++s) {
        char time[40];
        std::snprintf(time, sizeof time, "%s %02d:%02d:%02d", day.c_str(), startHour + s / 3600, s / 60 % 60, s % 60);
        f.records.push_back({s + 1, time, level});
    }
    return dataFileBytes(f);
}

Archive openOrDie(const std::filesystem::path& folder)
{
    auto a = Archive::open(folder);
    if (!a)
        ADD_FAILURE() << a.error().message;
    return std::move(a).value();
}

std::vector<std::string> copies(const std::filesystem::path& archive)
{
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(archive / "files"))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(Archive, SameBytesFiledOnceWithAnExactCopyAndTheirFigures)
{
    TempFolder dir;
    const std::string bytes = steadyRecording("2026/12/01", 8, 4 * 3600, "85.0");
    writeBytes(dir / "a.sonx", bytes);
    writeBytes(dir / "b.sonx", bytes);

    Archive archive = openOrDie(dir / "archive");
    auto first = archive.file(dir / "a.sonx", {"Ana", "Press shop", "ACME", ""}, "2026-12-02T10:00:00");
    ASSERT_TRUE(first) << first.error().message;
    EXPECT_TRUE(first->added);
    auto again = archive.file(dir / "b.sonx", {"Bob", "", "", ""}, "2026-12-02T10:01:00");
    ASSERT_TRUE(again);
    EXPECT_FALSE(again->added);
    EXPECT_EQ(again->id, first->id);

    auto rows = archive.list();
    ASSERT_TRUE(rows);
    ASSERT_EQ(rows->size(), 1u);
    const Measurement& m = rows->front();
    EXPECT_EQ(m.labels.person, "Ana");
    EXPECT_EQ(m.fileName, "a.sonx");
    EXPECT_EQ(m.hash, sha256Hex(bytes));
    EXPECT_EQ(formatLocalTime(*m.facts.start), "2026-12-01T08:00:00");
    EXPECT_EQ(formatLocalTime(*m.facts.end), "2026-12-01T12:00:00");
    EXPECT_EQ(m.facts.durationSeconds, 4 * 3600);
    EXPECT_EQ(m.facts.intervalSeconds, 1);
    EXPECT_EQ(m.facts.settings.timeWeight, "Slow");
    EXPECT_NEAR(*m.facts.laeq, 85.0, 1e-9);
    EXPECT_NEAR(*m.facts.lex8h, 85.0 - 10 * std::log10(2.0), 1e-9); // half a shift
    EXPECT_NEAR(*m.facts.points, 50.0, 1e-9);
    EXPECT_EQ(readBytes(archive.copyPath(m)), bytes);
    EXPECT_EQ(*archive.copyBytes(m), bytes);

    // The original may go: the archive keeps its own copy.
    std::filesystem::remove(dir / "a.sonx");
    EXPECT_EQ(*openOrDie(dir / "archive").copyBytes(m), bytes);

    // A copy changed on disk is not handed out as the measurement.
    writeBytes(archive.copyPath(m), bytes + "x");
    EXPECT_FALSE(archive.copyBytes(m));
    // Filing the file again puts the copy right only if it is missing.
    std::filesystem::remove(archive.copyPath(m));
    ASSERT_TRUE(archive.file(dir / "b.sonx", {}, "2026-12-02T10:02:00"));
    EXPECT_EQ(*archive.copyBytes(m), bytes);
}

TEST(Archive, FilesTheExposureAnalysisBesideTheFileAndHandsItBackWithTheCopy)
{
    TempFolder dir;
    // Two hours at 85 dB, then one at 95 dB that the analysis leaves out.
    std::string bytes = steadyRecording("2026/12/01", 8, 3 * 3600, "85.0");
    for (std::size_t at = 0; (at = bytes.find("\t85.0\t", at)) != std::string::npos; at += 6)
        if (bytes.compare(at - 8, 2, "10") == 0)
            bytes.replace(at + 1, 4, "95.0");
    writeBytes(dir / "m.sonx", bytes);
    ExposureOptions options;
    options.standards = {"File", "ISO85"};
    options.exclusions = {{*parseLocalTime("2026-12-01T10:00:00"), *parseLocalTime("2026-12-01T11:00:00")}};
    ASSERT_TRUE(writeAnalysis(dir / "m.sonx.km740a", options, "m.sonx"));

    Archive archive = openOrDie(dir / "archive");
    auto filed = archive.file(dir / "m.sonx", {}, "2026-12-02T00:00:00");
    ASSERT_TRUE(filed) << filed.error().message;
    const Measurement m = **archive.find(filed->id);
    EXPECT_NEAR(*m.facts.laeq, 85.0, 1e-9);
    EXPECT_NEAR(*m.facts.lmax, 85.0, 1e-9);
    EXPECT_NEAR(*m.facts.lex8h, 85.0 + 10 * std::log10(2.0 / 8.0), 1e-9);
    ASSERT_EQ(m.standards.size(), 2u);
    EXPECT_EQ(m.standards[1].name, "ISO85");
    EXPECT_NEAR(m.standards[1].dose, 25.0, 1e-6); // two hours at the criterion
    EXPECT_EQ(m.worstStandard, "ISO85");

    auto copy = archive.copyToOpen(m);
    ASSERT_TRUE(copy);
    auto reread = readAnalysis(analysisPathFor(*copy));
    ASSERT_TRUE(reread);
    EXPECT_EQ(reread->exclusions, options.exclusions);
    // The analysis beside the copy goes with the measurement.
    ASSERT_TRUE(*archive.remove(m.id));
    EXPECT_FALSE(std::filesystem::exists(analysisPathFor(*copy)));
}

TEST(Archive, RelabelAndRemoveTakeTheCopyWithTheRow)
{
    TempFolder dir;
    Archive archive = openOrDie(dir / "archive");
    auto a = archive.fileBytes(steadyRecording("2026/12/01", 8, 60, "80.0"), "a.sonx", "/x/a.sonx", {},
                               "2026-12-02T10:00:00");
    auto b = archive.fileBytes(steadyRecording("2026/12/02", 8, 60, "80.0"), "b.sonx", "/x/b.sonx", {},
                               "2026-12-02T10:00:00");
    ASSERT_TRUE(a && b);
    ASSERT_TRUE(*archive.relabel(a->id, {"Ana", "Paint", "ACME", "ear plugs worn"}));
    EXPECT_FALSE(*archive.relabel(999, {}));
    auto found = archive.find(a->id);
    ASSERT_TRUE(found && *found);
    EXPECT_EQ((*found)->labels, (MeasurementLabels{"Ana", "Paint", "ACME", "ear plugs worn"}));

    const auto copyA = archive.copyPath(**found);
    EXPECT_TRUE(*archive.remove(a->id));
    EXPECT_FALSE(*archive.remove(a->id));
    EXPECT_FALSE(std::filesystem::exists(copyA));
    EXPECT_EQ(archive.list()->size(), 1u);
    EXPECT_EQ(copies(dir / "archive").size(), 1u);
}

TEST(Archive, FiltersByTextPersonDatesAndKind)
{
    TempFolder dir;
    Archive archive = openOrDie(dir / "archive");
    auto add = [&](const std::string& day, const MeasurementLabels& labels, bool logger = false) {
        std::string bytes = steadyRecording(day, 8, 10, "82.0");
        if (logger) {
            auto f = test::sampleLevelLogger();
            for (auto& r : f.records)
                r.dateTime.replace(0, 10, day);
            bytes = dataFileBytes(f);
        }
        ASSERT_TRUE(archive.fileBytes(bytes, day + ".sonx", day, labels, "2026-12-10T00:00:00"));
    };
    add("2026/11/30", {"Ana Silva", "Press shop", "ACME", ""});
    add("2026/12/01", {"Bob", "Press shop", "ACME", "100% sure_"});
    add("2026/12/02", {"ana silva", "Paint", "Other Co", ""}, true);
    add("2026/12/03", {"Carla", "Paint", "Other Co", "relief for ANA"});

    auto days = [&](const MeasurementFilter& f) {
        std::vector<std::string> out;
        const auto listed = archive.list(f);
        for (const auto& m : *listed)
            out.push_back(isoDate(dayOf(*m.facts.start)));
        return out;
    };
    using V = std::vector<std::string>;
    EXPECT_EQ(days({}), (V{"2026-11-30", "2026-12-01", "2026-12-02", "2026-12-03"}));
    EXPECT_EQ(days({.text = "ana"}), (V{"2026-11-30", "2026-12-02", "2026-12-03"}));
    EXPECT_EQ(days({.person = "ANA"}), (V{"2026-11-30", "2026-12-02"}));
    EXPECT_EQ(days({.sector = "press"}), (V{"2026-11-30", "2026-12-01"}));
    EXPECT_EQ(days({.text = "0% s"}), (V{"2026-12-01"}));
    EXPECT_EQ(days({.text = "_"}), (V{"2026-12-01"})); // taken literally, not as a wildcard
    EXPECT_EQ(days({.from = parseIsoDate("2026-12-01"), .to = parseIsoDate("2026-12-02")}),
              (V{"2026-12-01", "2026-12-02"}));
    EXPECT_EQ(days({.company = "other", .kind = DataFileKind::levelLogger}), (V{"2026-12-02"}));
    EXPECT_EQ(days({.person = "nobody"}), V{});

    auto week = archive.ofPerson("ANA SILVA", *parseIsoDate("2026-11-30"), *parseIsoDate("2026-12-06"));
    ASSERT_TRUE(week);
    EXPECT_EQ(week->size(), 2u);
}

TEST(Archive, OpensAVersionOneArchiveAndKeepsItsRows)
{
    TempFolder dir;
    std::filesystem::create_directories(dir / "archive/files");
    {
        auto db = sql::Database::open(dir / "archive" / std::string(Archive::databaseName));
        ASSERT_TRUE(db);
        ASSERT_TRUE(db->exec(archiveMigrations()[0]));
        ASSERT_TRUE(db->exec(
            "INSERT INTO measurements (content_hash, kind, start_time, end_time, duration_seconds, records, readings, "
            "calibrated_db, time_weight, freq_weight, threshold_level, criterion_level, exchange_rate, peak, "
            "level_range, calibrated_time, person, sector, company, notes, laeq, lex8h, points, file_name, "
            "source_path, filed_at, file_bytes) VALUES ('" +
            std::string(64, 'a') +
            "', 'Real Time Data', "
            "'2026-03-02T08:00:00', '2026-03-02T16:00:00', 28800, 28800, 28800, '94.0', 'Slow', 'A', '80', '90', "
            "'5', 'Lcpk', '70-140', '', 'Ana', 'Press', 'ACME', '', 85.0, 85.0, 100.0, 'old.sonx', '/old.sonx', "
            "'2026-03-03T00:00:00', 100); PRAGMA user_version = 1;"));
    }
    writeBytes(dir / "archive/files" / (std::string(64, 'a') + ".sonx"), "old");

    Archive archive = openOrDie(dir / "archive");
    auto rows = archive.list();
    ASSERT_TRUE(rows);
    ASSERT_EQ(rows->size(), 1u);
    EXPECT_EQ(rows->front().labels.person, "Ana");
    EXPECT_FALSE(rows->front().worstDose);
    EXPECT_TRUE(std::filesystem::exists(dir / "archive/files" / (std::string(64, 'a') + ".sonx")));

    MeasurementAnalysis analysis;
    analysis.standards = {{.name = "OSHA-90", .dose = 50.0}, {.name = "ISO85", .dose = 131.9}};
    analysis.analysisText = "{}";
    auto filed =
        archive.fileBytes(steadyRecording("2026/03/03", 8, 10, "90.0"), "n.sonx", "/n.sonx", {}, "x", analysis);
    ASSERT_TRUE(filed) << filed.error().message;
    auto found = archive.find(filed->id);
    ASSERT_TRUE(found && *found);
    EXPECT_EQ((*found)->worstStandard, "ISO85");
    ASSERT_EQ((*found)->standards.size(), 2u);
    EXPECT_EQ((*found)->standards[1].dose, 131.9);
    EXPECT_EQ((*found)->analysisText, "{}");

    auto db = sql::Database::open(dir / "archive" / std::string(Archive::databaseName));
    auto version = db->prepare("PRAGMA user_version");
    ASSERT_TRUE(version && *version->step());
    EXPECT_EQ(version->integer(0), archiveSchemaVersion());
}

TEST(Archive, LeavesNewerDamagedAndForeignDatabasesAsTheyAre)
{
    TempFolder dir;
    const auto file = dir / "archive" / std::string(Archive::databaseName);
    openOrDie(dir / "archive");
    {
        auto db = sql::Database::open(file);
        ASSERT_TRUE(db->exec("PRAGMA user_version = 99"));
    }
    const std::string newer = readBytes(file);
    auto refused = Archive::open(dir / "archive");
    ASSERT_FALSE(refused);
    EXPECT_NE(refused.error().message.find("newer version of km740"), std::string::npos) << refused.error().message;
    EXPECT_EQ(readBytes(file), newer);

    const std::string garbage(8192, '\x5a');
    writeBytes(file, garbage);
    std::filesystem::remove(file.string() + "-wal");
    std::filesystem::remove(file.string() + "-shm");
    auto damaged = Archive::open(dir / "archive");
    ASSERT_FALSE(damaged);
    EXPECT_NE(damaged.error().message.find("is damaged"), std::string::npos) << damaged.error().message;
    EXPECT_EQ(readBytes(file), garbage);

    TempFolder other;
    {
        auto db = sql::Database::open(other / std::string(Archive::databaseName));
        ASSERT_TRUE(db->exec("CREATE TABLE t (x INTEGER)"));
    }
    auto foreign = Archive::open(other.path());
    ASSERT_FALSE(foreign);
    EXPECT_NE(foreign.error().message.find("not a km740 archive"), std::string::npos);
}

TEST(Archive, OpeningRemovesCopiesNoRowNames)
{
    TempFolder dir;
    std::string keptName;
    {
        Archive archive = openOrDie(dir / "archive");
        auto filed = archive.fileBytes(steadyRecording("2026/12/01", 8, 5, "80.0"), "a.sonx", "/a", {}, "x");
        ASSERT_TRUE(filed);
        keptName = (*archive.find(filed->id))->hash + ".sonx";
    }
    const std::string orphan = std::string(64, 'b') + ".sonx";
    const std::string halfWritten = "." + std::string(64, 'c') + ".sonx.123.tmp";
    for (const auto& name : {orphan, halfWritten, std::string("notes.txt")})
        writeBytes(dir / "archive/files" / name, "x");
    openOrDie(dir / "archive");
    EXPECT_EQ(copies(dir / "archive"), (std::vector<std::string>{keptName, "notes.txt"}));
}

TEST(ArchiveFolder, OptionThenEnvironmentThenXdgThenHome)
{
    EXPECT_EQ(archiveFolder("/o", "/e", "/x", "/h"), "/o");
    EXPECT_EQ(archiveFolder("", "/e", "/x", "/h"), "/e");
    EXPECT_EQ(archiveFolder("", "", "/x", "/h"), "/x/km740/archive");
    EXPECT_EQ(archiveFolder("", "", "relative", "/h"), "/h/.local/share/km740/archive");
}

} // namespace
} // namespace km740
