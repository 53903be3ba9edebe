// SPDX-License-Identifier: GPL-3.0-or-later
// derive and print-text: the derived columns, level distributions and the
// printout of a data file, computed as the file list windows show them.
#include "cli/StandardOutput.h"
#include "cli/ToolCommands.h"

#include "core/common/Regional.h"
#include "core/files/DataFileReader.h"
#include "core/lists/DerivedFromFile.h"
#include "core/exposure/ExposureValues.h"
#include "core/exposure/LevelDistribution.h"
#include "core/exposure/LnTable.h"
#include "core/lists/FilePrintout.h"
#include "core/lists/FileRows.h"
#include "core/lists/PrintLayout.h"

#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace km740::cli {

namespace {

// Standard output through one large buffer: a four-day recording is
// 345 600 lines.
class Out {
public:
    ~Out() { flush(); }
    Out& operator<<(std::string_view text)
    {
        buffer_ += text;
        if (buffer_.size() >= kChunk)
            flush();
        return *this;
    }
    Out& operator<<(char c)
    {
        buffer_ += c;
        return *this;
    }
    std::string& buffer() { return buffer_; }
    void flushIfFull()
    {
        if (buffer_.size() >= kChunk)
            flush();
    }
    void flush()
    {
        writeStandardOutput(buffer_);
        buffer_.clear();
    }

private:
    static constexpr std::size_t kChunk = 1 << 20;
    std::string buffer_;
};

void appendJsonString(std::string& s, std::string_view text)
{
    s += '"';
    for (unsigned char c : text) {
        switch (c) {
        case '"': s += "\\\""; break;
        case '\\': s += "\\\\"; break;
        case '\t': s += "\\t"; break;
        case '\n': s += "\\n"; break;
        case '\r': s += "\\r"; break;
        default:
            if (c < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                s += buf;
            } else {
                s += static_cast<char>(c);
            }
        }
    }
    s += '"';
}

std::string jsonString(std::string_view text)
{
    std::string s;
    appendJsonString(s, text);
    return s;
}

bool needsJsonEscape(std::string_view text)
{
    for (unsigned char c : text)
        if (c < 0x20 || c == '"' || c == '\\')
            return true;
    return false;
}

// Writes one row of cells: tab-separated, or as a JSON array. The cells of
// a data file rarely need escaping; those go out as they stand.
template <typename Cells>
void writeRow(Out& out, const Cells& cells, bool json)
{
    std::string& b = out.buffer();
    bool first = true;
    if (json)
        b += '[';
    for (const auto& cell : cells) {
        const std::string_view text(cell);
        if (!first)
            b += json ? ',' : '\t';
        first = false;
        if (!json) {
            b += text;
        } else if (needsJsonEscape(text)) {
            appendJsonString(b, text);
        } else {
            b += '"';
            b += text;
            b += '"';
        }
    }
    b += json ? "]" : "\n";
    out.flushIfFull();
}

// The real-time file list table, one row per record as the file is read.
class TableOut {
public:
    TableOut(Out& out, bool json) : out_(out), json_(json) {}

    bool header(const DataFileHeader& header)
    {
        if (!isRealTime(header.kind)) {
            error_ = "the derived columns exist for real-time files only; "
                     "use --distribution for the levels of a logger set";
            return false;
        }
        if (auto values = ExposureValues::create(doseParametersOf(header.settings)); !values) {
            error_ = values.error().message;
            return false;
        }
        if (json_)
            out_ << "{\"columns\":";
        writeRow(out_, realTimeListHeaders(), json_);
        if (json_)
            out_ << ",\"rows\":[";
        return true;
    }

    bool row(std::span<const std::string_view> cells)
    {
        if (json_ && rows_ > 0)
            out_ << ',';
        writeRow(out_, cells, json_);
        ++rows_;
        return true;
    }

    void finish(std::uint64_t skipped)
    {
        if (json_)
            out_ << "],\"skipped\":" << std::to_string(skipped) << "}\n";
    }

    const std::string& error() const { return error_; }

private:
    Out& out_;
    bool json_;
    std::uint64_t rows_ = 0;
    std::string error_;
};

// Counts the level column of a real-time or level logger file.
class DistributionSink : public DataFileSink {
public:
    bool header(const DataFileHeader& header) override
    {
        if (header.kind == DataFileKind::doseLogger) {
            error_ = "a dose logger set has no level column";
            return false;
        }
        return true;
    }
    bool levelRecord(const LevelRecord& record) override
    {
        distribution.addCell(record.level);
        return true;
    }
    const std::string& error() const { return error_; }

    LevelDistribution distribution;

private:
    std::string error_;
};

int failedRead(const Failure& failure, const std::string& sinkError, const std::string& path)
{
    if (failure.kind == FailureKind::cancelled && !sinkError.empty())
        return fail(exitFailure, path + ": " + sinkError);
    return fail(exitFailure, failure.message);
}

void writeDistribution(Out& out, const LevelDistribution& d, Resolution resolution, const Regional& regional, bool json)
{
    const auto& counts = d.counts(resolution);
    const auto rows = gridLnRows(computeLnTable(d, resolution, regional));
    auto levelText = [&](std::size_t bin) {
        return formatFixed(LevelDistribution::binLevel(resolution, bin), 1, regional);
    };
    if (json) {
        out << "{\"resolution\":" << (resolution == Resolution::tenth ? "0.1" : "1")
            << ",\"counted\":" << std::to_string(d.counted()) << ",\"skipped\":" << std::to_string(d.skipped())
            << ",\"outOfRange\":" << std::to_string(d.outOfRange());
        auto lowest = d.lowestBin(resolution);
        auto highest = d.highestBin(resolution);
        out << ",\"lowest\":" << (lowest ? jsonString(levelText(*lowest)) : "null")
            << ",\"highest\":" << (highest ? jsonString(levelText(*highest)) : "null") << ",\"bins\":[";
        bool first = true;
        for (std::size_t bin = 0; bin < counts.size(); ++bin) {
            if (counts[bin] == 0)
                continue;
            out << (first ? "" : ",") << "{\"level\":" << jsonString(levelText(bin))
                << ",\"count\":" << std::to_string(counts[bin]) << '}';
            first = false;
        }
        out << "],\"gridLn\":[";
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (i > 0)
                out << ',';
            std::vector<std::string> cells;
            std::string_view row = rows[i];
            for (std::size_t start = 0;;) {
                std::size_t tab = row.find('\t', start);
                cells.emplace_back(row.substr(start, tab - start));
                if (tab == std::string_view::npos)
                    break;
                start = tab + 1;
            }
            writeRow(out, cells, true);
        }
        out << "]}\n";
        return;
    }
    out << "dB\tCount\n";
    for (std::size_t bin = 0; bin < counts.size(); ++bin)
        if (counts[bin] != 0)
            out << levelText(bin) << '\t' << std::to_string(counts[bin]) << '\n';
    out << '\n' << gridLnHeader() << '\n';
    for (const auto& row : rows)
        out << row << '\n';
}

struct DeriveOptions {
    std::string file;
    bool json = false;
    bool decimalComma = false;
    std::string distribution;
};

int runDerive(const DeriveOptions& o)
{
    const Regional regional = o.decimalComma ? Regional::comma() : Regional::point();
    Out out;
    if (!o.distribution.empty()) {
        const Resolution resolution = o.distribution == "1" ? Resolution::whole : Resolution::tenth;
        DistributionSink sink;
        auto read = readDataFile(o.file, sink);
        if (!read)
            return failedRead(read.error(), sink.error(), o.file);
        writeDistribution(out, sink.distribution, resolution, regional, o.json);
        out.flush();
        if (auto note = leftOutNote(sink.distribution); !note.empty())
            std::cerr << "km740-tool: " << note << '\n';
        return exitOk;
    }
    TableOut table(out, o.json);
    FileRows rows(
        regional, [&](const DataFileHeader& header, FileListKind) { return table.header(header); },
        [&](std::span<const std::string_view> cells) { return table.row(cells); });
    auto read = readDataFile(o.file, rows);
    if (!read) {
        out.flush();
        return failedRead(read.error(), table.error(), o.file);
    }
    table.finish(rows.skipped());
    out.flush();
    printReadNotes(o.file, *read);
    if (rows.skipped() > 0)
        std::cerr << "km740-tool: " << rows.skipped() << " level cells without a reading were left out of the sums\n";
    return exitOk;
}

struct PrintOptions {
    std::string file;
    int perRow = 1;
    bool decimalComma = false;
};

int runPrintText(const PrintOptions& o)
{
    const Regional regional = o.decimalComma ? Regional::comma() : Regional::point();
    Out out;
    auto read = printDataFile(o.file, regional, o.perRow,
                              [&](std::string_view line, std::optional<std::size_t>) { out << line << '\n'; });
    out.flush();
    if (!read)
        return fail(exitFailure, read.error().message);
    printReadNotes(o.file, *read);
    return exitOk;
}

} // namespace

void addDeriveCommands(CLI::App& app, ToolRun& run)
{
    auto derive = std::make_shared<DeriveOptions>();
    auto* d = app.add_subcommand("derive", "Derived columns of a real-time file, or the level distribution of a file");
    d->add_option("FILE", derive->file, "Data file (.sonx)")->required()->check(CLI::ExistingFile);
    d->add_flag("--json", derive->json, "Write JSON instead of tab-separated text");
    d->add_flag("--decimal-comma", derive->decimalComma, "Show numbers with a decimal comma");
    d->add_option("--distribution", derive->distribution, "Level distribution at 0.1 or 1 dB and its L(n) table")
        ->check(CLI::IsMember({"0.1", "1"}));
    d->callback([&run, derive] { run.action = [derive] { return runDerive(*derive); }; });

    auto print = std::make_shared<PrintOptions>();
    auto* p = app.add_subcommand("print-text", "The lines the printer gets for a data file's list");
    p->add_option("FILE", print->file, "Data file (.sonx)")->required()->check(CLI::ExistingFile);
    p->add_option("--per-row", print->perRow, "Level records per printed line (1-5), level logger sets")
        ->check(CLI::Range(1, 5));
    p->add_flag("--decimal-comma", print->decimalComma, "Show numbers with a decimal comma");
    p->callback([&run, print] { run.action = [print] { return runPrintText(*print); }; });
}

} // namespace km740::cli
