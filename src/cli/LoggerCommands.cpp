// SPDX-License-Identifier: GPL-3.0-or-later
// Offline commands over downloaded logger images and data files.
#include "cli/ToolCommands.h"

#include "core/common/SameFile.h"
#include "core/files/DataFileReader.h"
#include "core/files/DataFileWriter.h"
#include "core/logger/LoggerImageFile.h"
#include "core/logger/LoggerSetTable.h"
#include "core/logger/SetDecoder.h"

#include <cstdio>
#include <iostream>
#include <iterator>
#include <memory>

namespace km740::cli {

namespace {

int runSets(const std::string& path)
{
    auto image = readLoggerImageFile(path);
    if (!image)
        return fail(exitFailure, image.error().message);
    const LoggerSetTable table = splitSets(image.value());
    if (table.sets.empty())
        return fail(exitFailure, "no logger set found in " + path);
    for (const auto& set : table.sets) {
        const auto cells = directoryCells(set);
        std::cout << cells[0] << '\t' << cells[1] << '\t' << cells[2] << '\t' << cells[3];
        if (set.incomplete)
            std::cout << "\tcut short";
        if (set.summaryMissing)
            std::cout << "\tsummary missing";
        std::cout << '\n';
    }
    if (table.setLimitReached)
        std::cerr << "km740-tool: " << path << " holds more than " << LoggerSetTable::maxSets
                  << " sets; the rest are not listed\n";
    return exitOk;
}

struct ExportOptions {
    std::string image;
    int set = 0;
    std::string output;
    bool decimalComma = false;
};

int runExport(const ExportOptions& o)
{
    const std::filesystem::path input = o.image;
    if (auto s = checkOutputIsNoInput(o.output, {&input, 1}); !s)
        return fail(exitUsage, s.error().message);
    auto image = readLoggerImageFile(o.image);
    if (!image)
        return fail(exitFailure, image.error().message);
    const LoggerSetTable table = splitSets(image.value());
    const LoggerSet* set = table.find(o.set);
    if (!set)
        return fail(exitFailure, "there is no set " + std::to_string(o.set) + " in " + o.image + " (it holds " +
                                     std::to_string(table.sets.size()) + ")");
    auto decoded = decodeSet(*set, o.decimalComma ? Regional::comma() : Regional::point());
    if (!decoded)
        return fail(exitFailure, decoded.error().message);
    if (auto s = writeDataFile(o.output, decoded.value()); !s)
        return fail(exitFailure, s.error().message);
    if (set->incomplete)
        std::cerr << "km740-tool: set " << o.set << " is cut short; its whole records were written\n";
    if (set->summaryMissing)
        std::cerr << "km740-tool: set " << o.set << " has no closing summary; Dose and TWA are \"----\"\n";
    return exitOk;
}

std::string jsonString(std::string_view s)
{
    std::string out = "\"";
    for (char c : s) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\t': out += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            } else {
                out += c;
            }
        }
    }
    out += '"';
    return out;
}

// Prints the rows as they are read, so a large file is never held whole.
class ShowSink : public DataFileSink {
public:
    explicit ShowSink(bool json) : json_(json) {}

    bool header(const DataFileHeader& h) override
    {
        kind_ = h.kind;
        headerSeen_ = true;
        const auto& titles = settingsTitles(h.kind);
        const auto values = h.settings.fields();
        if (json_) {
            std::cout << "{\n  \"kind\": " << jsonString(dataFileTitle(h.kind))
                      << ",\n  \"title\": " << jsonString(h.title) << ",\n  \"settings\": {";
            for (std::size_t i = 0; i < titles.size(); ++i)
                std::cout << (i ? ", " : "") << jsonString(titles[i]) << ": " << jsonString(*values[i]);
            std::cout << "},\n";
            if (!isRealTime(h.kind)) {
                std::cout << "  \"pauses\": [";
                for (std::size_t i = 0; i < h.pauses.size(); ++i) {
                    const auto& p = h.pauses[i];
                    std::cout << (i ? ", " : "") << "[" << jsonString(p.times) << ", " << jsonString(p.pause) << ", "
                              << jsonString(p.release) << ", " << jsonString(p.period) << "]";
                }
                std::cout << "],\n";
            }
            if (h.kind == DataFileKind::levelLogger)
                std::cout << "  \"summary\": {\"Dose\": " << jsonString(h.summary.dose)
                          << ", \"TWA\": " << jsonString(h.summary.twa) << "},\n";
            std::cout << "  \"records\": [";
            return true;
        }
        std::cout << "Kind\t" << dataFileTitle(h.kind) << '\n';
        for (std::size_t i = 0; i < titles.size(); ++i)
            std::cout << titles[i] << '\t' << *values[i] << '\n';
        if (!isRealTime(h.kind)) {
            std::cout << "Pauses\t" << h.pauses.size() << '\n';
            for (const auto& p : h.pauses)
                std::cout << p.times << '\t' << p.pause << '\t' << p.release << '\t' << p.period << '\n';
        }
        if (h.kind == DataFileKind::levelLogger)
            std::cout << "Summary\t" << h.summary.dose << '\t' << h.summary.twa << '\n';
        std::cout << (h.kind == DataFileKind::doseLogger ? "No.s\tDate Time\tDose\tTWA\n" : "No.s\tDate Time\tdB\n");
        return true;
    }

    bool levelRecord(const LevelRecord& r) override
    {
        if (json_)
            std::cout << (first() ? "\n    " : ",\n    ") << "[" << r.number << ", " << jsonString(r.dateTime) << ", "
                      << jsonString(r.level) << "]";
        else
            std::cout << r.number << '\t' << r.dateTime << '\t' << r.level << '\n';
        return bool(std::cout);
    }

    bool doseRecord(const DoseRow& r) override
    {
        if (json_)
            std::cout << (first() ? "\n    " : ",\n    ") << "[" << jsonString(r.number) << ", "
                      << jsonString(r.dateTime) << ", " << jsonString(r.dose) << ", " << jsonString(r.twa) << "]";
        else
            std::cout << r.number << '\t' << r.dateTime << '\t' << r.dose << '\t' << r.twa << '\n';
        return bool(std::cout);
    }

    bool note(std::string_view line) override
    {
        captions_.emplace_back(line);
        if (!json_)
            std::cout << "Note\t" << line << '\n';
        return true;
    }

    // The reader's notes close the JSON ("notes", with "more_notes" beyond
    // those kept); the "Max. dB" lines of the file are its "captions".
    void finish(const ReadCounts& counts)
    {
        if (!json_)
            return;
        if (!headerSeen_)
            return;
        std::cout << (records_ ? "\n  ]" : "]") << ",\n  \"captions\": [";
        for (std::size_t i = 0; i < captions_.size(); ++i)
            std::cout << (i ? ", " : "") << jsonString(captions_[i]);
        std::cout << "],\n  \"notes\": [";
        for (std::size_t i = 0; i < counts.notes.size(); ++i)
            std::cout << (i ? ", " : "") << jsonString(counts.notes[i].text());
        std::cout << "],\n  \"more_notes\": " << counts.moreNotes << "\n}\n";
    }

private:
    bool first() { return records_++ == 0; }

    bool json_;
    DataFileKind kind_ = DataFileKind::doseLogger;
    std::size_t records_ = 0;
    std::vector<std::string> captions_;
    bool headerSeen_ = false;
};

int runShow(const std::string& path, bool json)
{
    ShowSink sink(json);
    auto r = readDataFile(std::filesystem::path(path), sink);
    if (!r) {
        std::cout.flush();
        return fail(exitFailure, r.error().message);
    }
    sink.finish(*r);
    printReadNotes(path, *r);
    return exitOk;
}

} // namespace

void addLoggerCommands(CLI::App& app, ToolRun& run)
{
    auto setsPath = std::make_shared<std::string>();
    auto* sets =
        app.add_subcommand("sets", "List the logger sets of a downloaded image: number, start, interval (s), records");
    sets->add_option("IMAGE", *setsPath, "Image file written by download")->required();
    sets->callback([&run, setsPath] { run.action = [setsPath] { return runSets(*setsPath); }; });

    auto ex = std::make_shared<ExportOptions>();
    auto* exportCmd = app.add_subcommand("export", "Write one logger set as the data file its list window saves");
    exportCmd->add_option("IMAGE", ex->image, "Image file written by download")->required();
    exportCmd->add_option("--set", ex->set, "Set number, from 1")->required()->check(CLI::PositiveNumber);
    exportCmd->add_option("-o,--output", ex->output, "Data file to write (.sonx)")->required();
    exportCmd->add_flag("--decimal-comma", ex->decimalComma, "Write numbers with a decimal comma");
    exportCmd->callback([&run, ex] { run.action = [ex] { return runExport(*ex); }; });

    auto showPath = std::make_shared<std::string>();
    auto showJson = std::make_shared<bool>(false);
    auto* show = app.add_subcommand("show", "Print a data file: kind, settings, pauses, summary and records");
    show->add_option("FILE", *showPath, "Data file (.sonx)")->required();
    show->add_flag("--json", *showJson, "Print JSON");
    show->callback(
        [&run, showPath, showJson] { run.action = [showPath, showJson] { return runShow(*showPath, *showJson); }; });
}

} // namespace km740::cli
