// SPDX-License-Identifier: GPL-3.0-or-later
// report: the exposure report of a recording, or of a person's week in the
// archive, as a PDF from the command line.
#include "cli/ToolCommands.h"

#include "cli/PageApplication.h"
#include "cli/ToolArchive.h"

#include "core/exposure/ExposureAnalysis.h"
#include "core/files/HeaderText.h"
#include "core/report/ReportMaker.h"
#include "core/report/WeekReport.h"
#include "platform/PictureFile.h"
#include "platform/ReportPages.h"
#include "platform/ReportPdf.h"

#include <QDateTime>
#include <QLocale>

#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>

namespace km740::cli {

namespace {

struct ReportCommand {
    std::string file;
    std::string output;
    std::string header;
    std::vector<std::string> standards;
    std::string language = "en";
    std::string notes;
    std::string paper;
    std::string chart;
    bool noAnalysis = false;
    std::string week; // a person's week instead of FILE
    std::string person;
    std::string archive; // the archive's folder
};

constexpr const char* kReportHelp = R"(
With --week and --person the report is the person's week from the archive:
the days worked with their LEX,8h, points and measurements, LEX,w over 5
nominal days, the week's points and its judgement. A week without a
measurement of the person gives a page that says so (a week not worked is a
record too); a person the archive does not know is refused.
Exit codes: 0 written, 1 failed (a file or the archive could not be read or
written), 2 refused input (a bad option or week, an unknown person, a file
that is not a data file).
)";

int exitFor(const Failure& f)
{
    return f.kind == FailureKind::data ? exitUsage : exitFailure;
}

QPageSize::PageSizeId paperOf(const ReportCommand& c)
{
    return c.paper.empty() ? reportPaper(QLocale::system()) : c.paper == "letter" ? QPageSize::Letter : QPageSize::A4;
}

int runWeekReport(const ReportCommand& c, Day monday)
{
    // Reading a report does not start an archive where there was none.
    const std::filesystem::path folder = toolArchiveFolder(c.archive);
    std::error_code ec;
    if (!std::filesystem::exists(folder / Archive::databaseName, ec))
        return fail(exitUsage, "there is no archive in " + folder.string());
    auto archive = openToolArchive(c.archive);
    if (!archive)
        return fail(exitFailure, archive.error().message);
    auto known = archive->hasPerson(c.person);
    if (!known)
        return fail(exitFailure, known.error().message);
    if (!*known)
        return fail(exitUsage, "no measurement of " + c.person + " is filed in " + folder.string());
    auto measurements = archive->ofPerson(c.person, monday, monday + std::chrono::days{6});
    if (!measurements)
        return fail(exitFailure, measurements.error().message);

    WeekReportParts parts;
    parts.language = *languageNamed(c.language);
    parts.person = c.person;
    parts.monday = monday;
    parts.measurements = std::move(*measurements);
    if (!c.header.empty()) {
        auto header = readHeaderText(c.header);
        if (!header)
            return fail(exitFor(header.error()), c.header + ": " + header.error().message);
        parts.header = std::move(*header);
    }
    parts.notes = c.notes;
    parts.madeAt = reportMadeAt(QDateTime::currentDateTime());
    parts.program = programAndVersion();
    const WeekReportContent content = composeWeekReport(parts);
    auto pages = writeReportPdf(c.output, content, paperOf(c));
    if (!pages)
        return fail(exitFailure, pages.error().message);
    if (content.days.empty())
        std::cerr << "km740-tool: " << content.noDays << '\n';
    std::cerr << "km740-tool: " << *pages << " pages\n";
    return exitOk;
}

int runReport(const ReportCommand& c)
{
    std::optional<Day> monday;
    if (!c.week.empty() || !c.person.empty()) {
        if (!c.file.empty())
            return fail(exitUsage, "give a data file or --week and --person, not both");
        if (c.week.empty() || c.person.empty())
            return fail(exitUsage, "--week and --person go together");
        monday = parseIsoWeek(c.week);
        if (!monday)
            return fail(exitUsage, "--week " + c.week + ": not an ISO week (YYYY-Www, e.g. 2026-W09)");
        if (!c.standards.empty() || !c.chart.empty() || c.noAnalysis)
            return fail(exitUsage, "--standard, --chart and --no-analysis are for the report of a data file");
    } else if (c.file.empty()) {
        return fail(exitUsage, "give a data file, or --week and --person (see report --help)");
    } else if (!c.archive.empty()) {
        return fail(exitUsage, "--archive is for the report of a week");
    }
    if (!c.chart.empty() && !pictureFormatOf(c.chart))
        return fail(exitUsage, "--chart " + c.chart + ": give the picture a name ending in .png or .svg");
    const PageApplication gui;
    if (monday)
        return runWeekReport(c, *monday);

    ReportRequest request;
    request.dataFile = c.file;
    if (!c.noAnalysis) {
        auto saved = readAnalysisBeside(c.file);
        if (!saved)
            return fail(exitUsage, saved.error().message + " (--no-analysis leaves it aside)");
        if (*saved) {
            request.options = std::move(**saved);
            std::cerr << "km740-tool: applied the analysis in " << analysisPathFor(c.file).string() << '\n';
        }
    }
    if (!c.standards.empty())
        request.options.standards = c.standards;
    if (!c.header.empty()) {
        auto header = readHeaderText(c.header);
        if (!header)
            return fail(exitFor(header.error()), c.header + ": " + header.error().message);
        request.header = std::move(*header);
    }
    request.language = *languageNamed(c.language);
    request.notes = c.notes;
    request.madeAt = reportMadeAt(QDateTime::currentDateTime());
    request.program = programAndVersion();

    auto report = makeReport(request);
    if (!report)
        return fail(exitFor(report.error()), report.error().message);
    auto pages = writeReportPdf(c.output, *report, paperOf(c));
    if (!pages)
        return fail(exitFailure, pages.error().message);
    if (!c.chart.empty())
        if (auto saved = writeReportChart(c.chart, report->chart); !saved)
            return fail(exitFor(saved.error()), saved.error().message);
    std::cerr << "km740-tool: " << *pages << " pages\n";
    return exitOk;
}

} // namespace

void addReportCommands(CLI::App& app, ToolRun& run)
{
    auto c = std::make_shared<ReportCommand>();
    auto* r = app.add_subcommand("report", "The exposure report of a real-time file or level logger set as a PDF: "
                                           "head, time history, exclusions, standards judged, histogram, notes; "
                                           "or of a person's week in the archive (--week, --person)");
    r->footer(kReportHelp);
    r->add_option("FILE", c->file, "Data file (.sonx); its analysis file beside it is applied")
        ->check(CLI::ExistingFile);
    r->add_option("-o,--output", c->output, "PDF file to write")->required();
    r->add_option("--header", c->header, "Report header text file (.nse or .cna): name, sector, company")
        ->check(CLI::ExistingFile);
    r->add_option("--standard", c->standards,
                  "Standard to judge by: File, OSHA-80, OSHA-90, MSHA-80, MSHA-90, DOD, ACGIH, ISO85, ISO90 or "
                  "C/T/Q; repeatable; default those of the analysis file, else File and the eight presets");
    r->add_option("--language", c->language, "Language of the report: en, fr, de, it, pt or es")
        ->transform(CLI::IsMember({"en", "fr", "de", "it", "pt", "es"}, CLI::ignore_case));
    r->add_option("--notes", c->notes, "Text for the notes box");
    r->add_option("--paper", c->paper, "a4 or letter (default: the locale's paper)")
        ->transform(CLI::IsMember({"a4", "letter"}, CLI::ignore_case));
    r->add_option("--chart", c->chart, "Also save the time-history chart alone (.png or .svg)");
    r->add_flag("--no-analysis", c->noAnalysis, "Leave aside the analysis file beside FILE");
    r->add_option("--week", c->week, "ISO week, YYYY-Www: the report of a person's week instead of FILE");
    r->add_option("--person", c->person, "Whose week (the whole name as filed, any case)");
    r->add_option("--archive", c->archive,
                  "Archive folder for --week (default: $KM740_ARCHIVE, else $XDG_DATA_HOME/km740/archive, "
                  "else ~/.local/share/km740/archive)");
    r->callback([&run, c] { run.action = [c] { return runReport(*c); }; });
}

} // namespace km740::cli
