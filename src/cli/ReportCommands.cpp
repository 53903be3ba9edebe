// SPDX-License-Identifier: GPL-3.0-or-later
// report: the exposure report of a recording as a PDF, from the command line.
#include "cli/PageApplication.h"
#include "cli/ToolCommands.h"

#include "core/exposure/ExposureAnalysis.h"
#include "core/files/HeaderText.h"
#include "core/report/ReportMaker.h"
#include "platform/PictureFile.h"
#include "platform/ReportPages.h"
#include "platform/ReportPdf.h"

#include <QDateTime>
#include <QLocale>

#include <filesystem>
#include <iostream>
#include <memory>

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
};

int exitFor(const Failure& f)
{
    return f.kind == FailureKind::data ? exitUsage : exitFailure;
}

int runReport(const ReportCommand& c)
{
    if (!c.chart.empty() && !pictureFormatOf(c.chart))
        return fail(exitUsage, "--chart " + c.chart + ": give the picture a name ending in .png or .svg");
    const PageApplication gui;

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
    const QPageSize::PageSizeId paper = c.paper.empty()       ? reportPaper(QLocale::system())
                                        : c.paper == "letter" ? QPageSize::Letter
                                                              : QPageSize::A4;
    auto pages = writeReportPdf(c.output, *report, paper);
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
                                           "head, time history, exclusions, standards judged, histogram, notes");
    r->add_option("FILE", c->file, "Data file (.sonx); its analysis file beside it is applied")
        ->required()
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
    r->callback([&run, c] { run.action = [c] { return runReport(*c); }; });
}

} // namespace km740::cli
