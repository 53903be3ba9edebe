// SPDX-License-Identifier: GPL-3.0-or-later
// archive add|list|show|export|remove|week: the measurement archive from the
// command line.
#include "cli/ExposureJson.h"
#include "cli/ToolCommands.h"
#include "cli/ToolArchive.h"

#include "core/archive/Archive.h"
#include "core/archive/WeeklyExposure.h"
#include "core/common/AtomicFile.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <memory>
#include <optional>

namespace km740::cli {

namespace {

using Json = nlohmann::ordered_json;

constexpr const char* kJsonHelp = R"(
JSON output (--json):
  archive list: a list of measurements, oldest first, each
    {"id", "person", "sector", "company", "notes", "start", "end" (ISO 8601
    local time of the meter, null when the file has no time), "duration_seconds",
    "interval_seconds", "kind" (the file's title), "laeq", "lmax", "lmin",
    "lex8h", "points" (null for a dose logger set, which has no levels),
    "worst_standard", "worst_dose" (null without exposure results), "file" (the
    original file name), "source" (its path when filed), "filed_at", "hash"
    (SHA-256 of the bytes), "bytes"}
  archive show: one such object and "settings" (the nine settings lines) and
    "standards" (a list of {"name", "criterion", "threshold", "exchange_rate",
    "dose", "twa", "projected_dose", "projected_twa", "lavg", "shift_dose",
    "shift_twa"})
  archive week: {"person", "week", "days": [{"date", "lex8h", "points", "ids"}],
    "lex_w", "points"}; "lex_w" is null and "days" empty when the person has no
    measurement with a LEX,8h that week.
Exit codes: 0 done, 1 failed (the archive or a file could not be read or
written), 2 refused input (a bad option, date or week, an unknown ID, a file
that is not a data file).
)";

struct ArchiveOptionsCli {
    std::string folder; // --archive
    std::vector<std::string> files;
    MeasurementLabels labels;
    std::string person, sector, company, from, to, kind, week, output;
    std::int64_t id = 0;
    bool json = false;
};

int failWith(const Failure& f)
{
    return fail(f.kind == FailureKind::data && f.message.find("not a data file") != std::string::npos ? exitUsage
                                                                                                      : exitFailure,
                f.message);
}

std::string nowText()
{
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

Result<Archive> openArchive(const ArchiveOptionsCli& o)
{
    return openToolArchive(o.folder);
}

Json measurementJson(const Measurement& m)
{
    const auto time = [](const std::optional<LocalSeconds>& t) {
        return t ? Json(formatLocalTime(*t)) : Json(nullptr);
    };
    Json j;
    j["id"] = m.id;
    j["person"] = m.labels.person;
    j["sector"] = m.labels.sector;
    j["company"] = m.labels.company;
    j["notes"] = m.labels.notes;
    j["start"] = time(m.facts.start);
    j["end"] = time(m.facts.end);
    j["duration_seconds"] = m.facts.durationSeconds;
    j["interval_seconds"] = m.facts.intervalSeconds ? Json(*m.facts.intervalSeconds) : Json(nullptr);
    j["kind"] = std::string(dataFileTitle(m.facts.kind));
    j["laeq"] = number(m.facts.laeq);
    j["lmax"] = number(m.facts.lmax);
    j["lmin"] = number(m.facts.lmin);
    j["lex8h"] = number(m.facts.lex8h);
    j["points"] = number(m.facts.points);
    j["worst_standard"] = m.worstStandard.empty() ? Json(nullptr) : Json(m.worstStandard);
    j["worst_dose"] = number(m.worstDose);
    j["file"] = m.fileName;
    j["source"] = m.sourcePath;
    j["filed_at"] = m.filedAt;
    j["hash"] = m.hash;
    j["bytes"] = m.bytes;
    return j;
}

std::string fixed1(const std::optional<double>& v)
{
    if (!v)
        return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", *v);
    return text;
}

std::string duration(std::int64_t s)
{
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", static_cast<long long>(s / 3600),
                  static_cast<long long>(s / 60 % 60), static_cast<long long>(s % 60));
    return text;
}

std::optional<Day> dateOption(const std::string& text, const char* option, int& rc)
{
    if (text.empty())
        return std::nullopt;
    const auto d = parseIsoDate(text);
    if (!d)
        rc = fail(exitUsage, std::string(option) + " " + text + ": not a date (YYYY-MM-DD)");
    return d;
}

// Runs a command on the archive the options name; one that cannot be opened
// ends the command.
template <typename Command>
int withArchive(const ArchiveOptionsCli& o, Command&& command)
{
    auto archive = openArchive(o);
    if (!archive)
        return fail(exitFailure, archive.error().message);
    return command(*archive);
}

std::string noSuchMeasurement(std::int64_t id)
{
    return "there is no measurement " + std::to_string(id) + " in the archive";
}

// ... on the measurement the id names.
template <typename Command>
int withMeasurement(const ArchiveOptionsCli& o, Command&& command)
{
    return withArchive(o, [&](Archive& archive) -> int {
        auto m = archive.find(o.id);
        if (!m)
            return fail(exitFailure, m.error().message);
        if (!*m)
            return fail(exitUsage, noSuchMeasurement(o.id));
        return command(archive, **m);
    });
}

int runAdd(const ArchiveOptionsCli& o)
{
    return withArchive(o, [&](Archive& archive) -> int {
        int rc = exitOk;
        for (const std::string& file : o.files) {
            auto filed = archive.file(file, o.labels, nowText());
            if (!filed) {
                const int code = failWith(filed.error());
                rc = std::max(rc, code);
                continue;
            }
            std::cout << file << (filed->added ? ": filed as " : ": filed before as ") << filed->id << '\n';
        }
        return rc;
    });
}

int runList(const ArchiveOptionsCli& o)
{
    int rc = exitOk;
    MeasurementFilter filter;
    filter.person = o.person;
    filter.sector = o.sector;
    filter.company = o.company;
    filter.from = dateOption(o.from, "--from", rc);
    filter.to = dateOption(o.to, "--to", rc);
    if (rc != exitOk)
        return rc;
    if (!o.kind.empty()) {
        filter.kind = kindFromName(o.kind);
        if (!filter.kind)
            return fail(exitUsage, "--kind " + o.kind + ": not a kind (recording, list, dbl, dbs or a file title)");
    }
    return withArchive(o, [&](Archive& archive) -> int {
        auto rows = archive.list(filter);
        if (!rows)
            return fail(exitFailure, rows.error().message);
        if (o.json) {
            Json list = Json::array();
            for (const Measurement& m : *rows)
                list.push_back(measurementJson(m));
            std::cout << list.dump(2) << '\n';
            return exitOk;
        }
        std::printf("%6s  %-19s  %9s  %-15s  %6s  %6s  %-20s  %-20s  %-20s  %s\n", "ID", "Start", "Duration", "Kind",
                    "LAeq", "LEX,8h", "Person", "Sector", "Company", "File");
        for (const Measurement& m : *rows)
            std::printf("%6lld  %-19s  %9s  %-15s  %6s  %6s  %-20s  %-20s  %-20s  %s\n", static_cast<long long>(m.id),
                        m.facts.start ? formatLocalTime(*m.facts.start).c_str() : "-",
                        duration(m.facts.durationSeconds).c_str(), std::string(dataFileTitle(m.facts.kind)).c_str(),
                        fixed1(m.facts.laeq).c_str(), fixed1(m.facts.lex8h).c_str(), m.labels.person.c_str(),
                        m.labels.sector.c_str(), m.labels.company.c_str(), m.fileName.c_str());
        return exitOk;
    });
}

int runShow(const ArchiveOptionsCli& o)
{
    return withMeasurement(o, [&](Archive&, const Measurement& m) -> int {
        const auto& titles = settingsTitles(m.facts.kind);
        const auto fields = m.facts.settings.fields();
        if (o.json) {
            Json j = measurementJson(m);
            Json settings;
            for (std::size_t i = 0; i < titles.size(); ++i)
                settings[std::string(titles[i])] = *fields[i];
            j["settings"] = settings;
            Json standards = Json::array();
            for (const StandardResult& r : m.standards)
                standards.push_back(standardJson(r.name, r.criterion, r.threshold, r.exchangeRate, r));
            j["standards"] = standards;
            std::cout << j.dump(2) << '\n';
            return exitOk;
        }
        auto line = [](const char* title, const std::string& value) { std::cout << title << '\t' << value << '\n'; };
        line("ID", std::to_string(m.id));
        line("File", m.fileName);
        line("Filed from", m.sourcePath);
        line("Filed at", m.filedAt);
        line("Kind", std::string(dataFileTitle(m.facts.kind)));
        line("Person", m.labels.person);
        line("Sector", m.labels.sector);
        line("Company", m.labels.company);
        line("Notes", m.labels.notes);
        line("Start", m.facts.start ? formatLocalTime(*m.facts.start) : "-");
        line("End", m.facts.end ? formatLocalTime(*m.facts.end) : "-");
        line("Duration", duration(m.facts.durationSeconds));
        line("Interval", m.facts.intervalSeconds ? std::to_string(*m.facts.intervalSeconds) + " s" : "-");
        line("Records", std::to_string(m.facts.records));
        line("LAeq", fixed1(m.facts.laeq));
        line("Lmax", fixed1(m.facts.lmax));
        line("Lmin", fixed1(m.facts.lmin));
        line("LEX,8h", fixed1(m.facts.lex8h));
        line("Points", m.facts.points ? std::to_string(static_cast<long long>(*m.facts.points + 0.5)) : "-");
        for (std::size_t i = 0; i < titles.size(); ++i)
            line(std::string(titles[i]).c_str(), *fields[i]);
        for (const StandardResult& r : m.standards)
            std::cout << "Standard\t" << r.name << "\tdose " << fixed1(r.dose) << " %\tTWA " << fixed1(r.twa) << '\n';
        line("Hash", m.hash);
        return exitOk;
    });
}

int runExport(const ArchiveOptionsCli& o)
{
    return withMeasurement(o, [&](Archive& archive, const Measurement& m) -> int {
        auto bytes = archive.copyBytes(m);
        if (!bytes)
            return fail(exitFailure, bytes.error().message);
        if (auto s = writeFileAtomically(o.output, *bytes); !s)
            return fail(exitFailure, s.error().message);
        return exitOk;
    });
}

int runRemove(const ArchiveOptionsCli& o)
{
    return withArchive(o, [&](Archive& archive) -> int {
        auto removed = archive.remove(o.id);
        if (!removed)
            return fail(exitFailure, removed.error().message);
        if (!*removed)
            return fail(exitUsage, noSuchMeasurement(o.id));
        std::cout << "removed " << o.id << '\n';
        return exitOk;
    });
}

int runWeek(const ArchiveOptionsCli& o)
{
    const auto monday = parseIsoWeek(o.week);
    if (!monday)
        return fail(exitUsage, "--week " + o.week + ": not an ISO week (YYYY-Www, e.g. 2026-W09)");
    return withArchive(o, [&](Archive& archive) -> int {
        auto rows = archive.ofPerson(o.person, *monday, *monday + std::chrono::days{6});
        if (!rows)
            return fail(exitFailure, rows.error().message);
        const WeekExposure week = weekExposure(*rows);
        if (o.json) {
            Json days = Json::array();
            for (const WeekDay& d : week.days)
                days.push_back({{"date", isoDate(d.day)}, {"lex8h", d.lex8h}, {"points", d.points}, {"ids", d.ids}});
            Json j;
            j["person"] = o.person;
            j["week"] = isoWeekOf(*monday);
            j["days"] = days;
            j["lex_w"] = number(week.lexW);
            j["points"] = week.points;
            std::cout << j.dump(2) << '\n';
            return exitOk;
        }
        std::cout << o.person << ", week " << isoWeekOf(*monday) << " (" << isoDate(*monday) << " to "
                  << isoDate(*monday + std::chrono::days{6}) << ")\n";
        if (week.days.empty()) {
            std::cout << "No measurement with a LEX,8h that week.\n";
            return exitOk;
        }
        std::printf("%-10s  %6s  %6s  %s\n", "Date", "LEX,8h", "Points", "Measurements");
        for (const WeekDay& d : week.days) {
            std::string ids;
            for (auto id : d.ids)
                ids += (ids.empty() ? "" : ", ") + std::to_string(id);
            std::printf("%-10s  %6s  %6.0f  %s\n", isoDate(d.day).c_str(), fixed1(d.lex8h).c_str(), d.points,
                        ids.c_str());
        }
        std::printf("LEX,w %s dB over 5 nominal days; %.0f points\n", fixed1(week.lexW).c_str(), week.points);
        return exitOk;
    });
}

} // namespace

void addArchiveCommands(CLI::App& app, ToolRun& run)
{
    auto o = std::make_shared<ArchiveOptionsCli>();
    auto* a = app.add_subcommand("archive", "The measurement archive: file data files, find them, add up a week");
    a->require_subcommand(1);
    a->fallthrough();
    a->add_option("--archive", o->folder,
                  "Archive folder (default: $KM740_ARCHIVE, else $XDG_DATA_HOME/km740/archive, "
                  "else ~/.local/share/km740/archive)");
    a->footer(kJsonHelp);

    auto* add = a->add_subcommand("add", "File data files (a file filed before is not filed again)");
    add->add_option("FILE", o->files, "Data files (.sonx)")->required();
    add->add_option("--person", o->labels.person, "Person measured");
    add->add_option("--sector", o->labels.sector, "Sector or place");
    add->add_option("--company", o->labels.company, "Company");
    add->add_option("--notes", o->labels.notes, "Notes");
    add->callback([&run, o] { run.action = [o] { return runAdd(*o); }; });

    auto* list = a->add_subcommand("list", "List measurements, oldest first; texts match anywhere, any case");
    list->add_option("--person", o->person, "Person contains");
    list->add_option("--sector", o->sector, "Sector contains");
    list->add_option("--company", o->company, "Company contains");
    list->add_option("--from", o->from, "Started on or after this day (YYYY-MM-DD)");
    list->add_option("--to", o->to, "Started on or before this day (YYYY-MM-DD)");
    list->add_option("--kind", o->kind, "recording, list, dbl or dbs (or the file's title)");
    list->add_flag("--json", o->json, "JSON (see archive --help)");
    list->callback([&run, o] { run.action = [o] { return runList(*o); }; });

    auto* show = a->add_subcommand("show", "One measurement with its settings and results");
    show->add_option("ID", o->id, "Measurement ID")->required();
    show->add_flag("--json", o->json, "JSON (see archive --help)");
    show->callback([&run, o] { run.action = [o] { return runShow(*o); }; });

    auto* exp = a->add_subcommand("export", "Write the archived copy of a measurement's file, byte for byte");
    exp->add_option("ID", o->id, "Measurement ID")->required();
    exp->add_option("-o,--output", o->output, "File to write")->required();
    exp->callback([&run, o] { run.action = [o] { return runExport(*o); }; });

    auto* rm = a->add_subcommand("remove", "Remove a measurement and its archived copy");
    rm->add_option("ID", o->id, "Measurement ID")->required();
    rm->callback([&run, o] { run.action = [o] { return runRemove(*o); }; });

    auto* week = a->add_subcommand("week", "A person's week: daily LEX,8h, weekly LEX,w over 5 days, points "
                                           "(measurements count on the day they started; several on one day add)");
    week->add_option("--person", o->person, "Person (the whole name, any case)")->required();
    week->add_option("--week", o->week, "ISO week, YYYY-Www")->required();
    week->add_flag("--json", o->json, "JSON (see archive --help)");
    week->callback([&run, o] { run.action = [o] { return runWeek(*o); }; });
}

} // namespace km740::cli
