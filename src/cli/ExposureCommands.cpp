// SPDX-License-Identifier: GPL-3.0-or-later
// exposure: one recording judged under several standards, with spans left
// out and the shift's real length, from the command line.
#include "cli/ExposureJson.h"
#include "cli/StandardOutput.h"
#include "cli/ToolCommands.h"

#include "core/common/NoValue.h"
#include "core/exposure/ExposureAnalysis.h"
#include "core/exposure/ExposureSummary.h"
#include "core/lists/ExposureHistory.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>

namespace km740::cli {

namespace {

using json = nlohmann::ordered_json;

struct ExposureCommand {
    std::string file;
    std::vector<std::string> standards;
    std::vector<std::string> exclusions;
    std::optional<double> exposureHours;
    std::optional<double> above;
    bool json = false;
    bool noAnalysis = false;
    bool saveAnalysis = false;
};

std::string fixed(const std::optional<double>& v, int decimals)
{
    if (!v || !std::isfinite(*v))
        return kNoValueText;
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, *v);
    return text;
}

std::string duration(double seconds)
{
    const auto s = static_cast<long long>(std::llround(seconds));
    char text[48];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
    return text;
}

json summaryJson(const ExposureSummary& s, const std::string& file)
{
    json ln = json::object();
    for (std::size_t i = 0; i < kLnPercents.size(); ++i)
        ln["L" + std::to_string(kLnPercents[i])] = number(s.ln[i]);
    json standards = json::array();
    for (const StandardExposure& e : s.standards)
        standards.push_back(
            standardJson(e.standard.name, e.standard.criterion, e.standard.threshold, e.standard.exchangeRate, e));
    json exclusions = json::array();
    for (const ExclusionCount& e : s.exclusions)
        exclusions.push_back(
            {{"from", formatLocalTime(e.span.from)}, {"to", formatLocalTime(e.span.to)}, {"readings", e.readings}});
    return {
        {"file", file},
        {"records", s.records},
        {"readings", s.readings},
        {"excluded", s.excluded},
        {"used", s.used},
        {"measured_seconds", s.measuredSeconds},
        {"exposure_seconds", s.exposureSeconds},
        {"laeq", number(s.laeq)},
        {"lmax", number(s.lmax)},
        {"lmin", number(s.lmin)},
        {"sel", number(s.sel)},
        {"pa2h", s.pa2h},
        {"lex8h", number(s.lex8h)},
        {"points", number(s.points)},
        {"above", {{"level", s.aboveLevel}, {"seconds", s.aboveSeconds}}},
        {"ln", ln},
        {"standards", standards},
        {"exclusions", exclusions},
    };
}

void printText(const ExposureSummary& s, const std::string& file)
{
    std::string out;
    auto line = [&](const char* format, auto... values) {
        char text[512];
        std::snprintf(text, sizeof text, format, values...);
        out += text;
    };
    line("File             %s\n", file.c_str());
    line("Readings         %llu of %llu records; %llu left out, %llu used (%g s each)\n",
         static_cast<unsigned long long>(s.readings), static_cast<unsigned long long>(s.records),
         static_cast<unsigned long long>(s.excluded), static_cast<unsigned long long>(s.used), s.intervalSeconds);
    line("Time measured    %s\n", duration(s.measuredSeconds).c_str());
    line("Exposure time    %s\n", duration(s.exposureSeconds).c_str());
    line("LAeq             %s dB\n", fixed(s.laeq, 1).c_str());
    line("Lmax             %s dB\n", fixed(s.lmax, 1).c_str());
    line("Lmin             %s dB\n", fixed(s.lmin, 1).c_str());
    line("SEL              %s dB\n", fixed(s.sel, 1).c_str());
    line("Sound exposure   %s Pa2h\n", fixed(s.pa2h, 4).c_str());
    line("LEX,8h           %s dB\n", fixed(s.lex8h, 1).c_str());
    line("Exposure points  %s\n", fixed(s.points, 0).c_str());
    line("At or above %s dB  %s\n", fixed(s.aboveLevel, 1).c_str(), duration(s.aboveSeconds).c_str());
    out += "\n";
    for (std::size_t i = 0; i < kLnPercents.size(); ++i)
        line("%-8s", ("L" + std::to_string(kLnPercents[i])).c_str());
    out += "\n";
    for (const auto& v : s.ln)
        line("%-8s", fixed(v, 1).c_str());
    out += "\n\n";
    line("%-12s %-12s %9s %7s %10s %7s %7s %10s %7s\n", "Standard", "C/T/Q", "Dose %", "TWA", "PDose %", "PTWA", "Lavg",
         "Shift %", "ShTWA");
    for (const StandardExposure& e : s.standards)
        line("%-12s %-12s %9s %7s %10s %7s %7s %10s %7s\n", e.standard.name.c_str(), standardRule(e.standard).c_str(),
             fixed(e.dose, 2).c_str(), fixed(e.twa, 1).c_str(), fixed(e.projectedDose, 2).c_str(),
             fixed(e.projectedTwa, 1).c_str(), fixed(e.lavg, 1).c_str(), fixed(e.shiftDose, 2).c_str(),
             fixed(e.shiftTwa, 1).c_str());
    if (!s.exclusions.empty()) {
        out += "\nLeft out\n";
        for (const ExclusionCount& e : s.exclusions)
            line("%s  to  %s  %llu readings\n", formatLocalTime(e.span.from).c_str(),
                 formatLocalTime(e.span.to).c_str(), static_cast<unsigned long long>(e.readings));
    }
    writeStandardOutput(out);
}

int runExposure(const ExposureCommand& c)
{
    const auto analysisPath = analysisPathFor(c.file);
    ExposureOptions options;
    bool haveAnalysis = false;
    if (!c.noAnalysis) {
        auto saved = readAnalysisBeside(c.file);
        if (!saved)
            return fail(exitUsage, saved.error().message + " (--no-analysis leaves it aside)");
        haveAnalysis = saved->has_value();
        if (haveAnalysis)
            options = std::move(**saved);
    }
    if (!c.standards.empty())
        options.standards = c.standards;
    if (!c.exclusions.empty()) {
        options.exclusions.clear();
        for (const std::string& text : c.exclusions) {
            const auto slash = text.find('/');
            const auto from = parseLocalTime(text.substr(0, slash));
            const auto to = slash == std::string::npos ? std::nullopt : parseLocalTime(text.substr(slash + 1));
            if (!from || !to)
                return fail(exitUsage,
                            "--exclude " + text + ": write FROM/TO as YYYY-MM-DDTHH:MM:SS/YYYY-MM-DDTHH:MM:SS");
            options.exclusions.push_back({*from, *to});
        }
    }
    if (c.exposureHours) {
        if (!(*c.exposureHours > 0.0 && std::isfinite(*c.exposureHours)))
            return fail(exitUsage, "--exposure-time: give the hours of the shift as a positive number");
        options.exposureSeconds = *c.exposureHours * 3600.0;
    }
    if (c.above)
        options.aboveLevel = *c.above;

    auto summary = summarizeExposure(FileHistory(c.file), options);
    if (!summary)
        return fail(summary.error().kind == FailureKind::data ? exitUsage : exitFailure, summary.error().message);
    if (haveAnalysis)
        std::cerr << "km740-tool: applied the analysis in " << analysisPath.string() << '\n';

    if (c.json) {
        const std::string text = summaryJson(*summary, c.file).dump(-1, ' ', false, json::error_handler_t::replace);
        writeStandardOutput(text + '\n');
    } else {
        printText(*summary, c.file);
    }

    if (c.saveAnalysis) {
        if (auto written = writeAnalysis(analysisPath, options, std::filesystem::path(c.file).filename().string());
            !written)
            return fail(exitFailure, written.error().message);
        std::cerr << "km740-tool: analysis saved in " << analysisPath.string() << '\n';
    }
    return exitOk;
}

} // namespace

void addExposureCommands(CLI::App& app, ToolRun& run)
{
    auto c = std::make_shared<ExposureCommand>();
    auto* e = app.add_subcommand("exposure", "Exposure summary of a real-time file or level logger set under "
                                             "several standards, with spans left out");
    e->add_option("FILE", c->file, "Data file (.sonx)")->required()->check(CLI::ExistingFile);
    e->add_option("--standard", c->standards,
                  "Standard to judge by: File, OSHA-80, OSHA-90, MSHA-80, MSHA-90, DOD, ACGIH, ISO85, ISO90 or "
                  "C/T/Q (90/80/5, 85/none/3); repeatable; default File and the eight presets");
    e->add_option("--exclude", c->exclusions,
                  "Leave out FROM/TO (YYYY-MM-DDTHH:MM:SS/YYYY-MM-DDTHH:MM:SS, the file's local time; "
                  "FROM included, TO not); repeatable");
    e->add_option("--exposure-time", c->exposureHours, "Hours of the shift (default: the time measured)");
    e->add_option("--above", c->above, "Level for the time at or above it, dB (default 85)")
        ->check(CLI::Range(0.0, 200.0));
    e->add_flag("--json", c->json, "Write JSON with full-precision numbers");
    e->add_flag("--no-analysis", c->noAnalysis, "Leave aside the analysis file beside FILE");
    e->add_flag("--save-analysis", c->saveAnalysis,
                "Keep the standards, exclusions, exposure time and level in the analysis file beside FILE");
    e->callback([&run, c] { run.action = [c] { return runExposure(*c); }; });
}

} // namespace km740::cli
