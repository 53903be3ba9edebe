// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/DataFileReader.h"

#include "common/Regional.h"
#include "files/LineReader.h"
#include "files/TextCodec.h"

#include <array>
#include <cmath>
#include <fstream>
#include <string>

namespace km740 {

namespace {

constexpr std::int64_t kMaxPauses = 1000000;

// Splits at Tabs into at most N cells; the count says how many were found.
template <std::size_t N>
std::size_t splitCells(std::string_view line, std::array<std::string_view, N>& cells)
{
    std::size_t count = 0;
    while (count < N) {
        std::size_t tab = line.find('\t');
        cells[count++] = line.substr(0, tab);
        if (tab == std::string_view::npos)
            break;
        line.remove_prefix(tab + 1);
    }
    return count;
}

bool isBinary(std::string_view line)
{
    for (char c : line) {
        auto b = static_cast<unsigned char>(c);
        if ((b < 0x20 && b != '\t') || b == 0x7F)
            return true;
    }
    return false;
}

// An empty line among the records is no record; a line of Tabs is one with
// empty fields.
bool isBlank(std::string_view line)
{
    return line.find_first_not_of(' ') == std::string_view::npos;
}

Failure lineFailure(std::int64_t n, const std::string& what)
{
    return failure(FailureKind::data, "line " + std::to_string(n) + ": " + what);
}

bool startsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

// Walks the lines of one file. Header line numbers depend on the kind and on
// the pause count P of line 14.
class Reading {
public:
    explicit Reading(DataFileSink& sink) : sink_(sink) {}

    Result<ReadCounts> run(std::istream& in)
    {
        LineReader lines(in);
        std::string_view raw;
        for (;;) {
            auto next = lines.next(raw);
            if (next == LineReader::Next::end)
                break;
            const std::int64_t n = lines.lineNumber() + (next == LineReader::Next::line ? 0 : 1);
            if (next == LineReader::Next::tooLong)
                return lineFailure(n, "too long for a data file line (binary data?)");
            if (next == LineReader::Next::ioError)
                return failure(FailureKind::io, "read error after line " + std::to_string(n - 1));
            if (n == 1 && startsWith(raw, "\xEF\xBB\xBF"))
                raw.remove_prefix(3);
            if (isBinary(raw))
                return lineFailure(n, "binary data where text was expected");
            std::string text;
            std::string_view line = raw;
            if (!isAscii(raw)) {
                text = fromFileText(raw);
                line = text;
            }
            if (auto s = take(n, line); !s) {
                if (headerDone_ && !lines.lineTerminated() && s.error().kind == FailureKind::data) {
                    counts_.lastRecordCut = true;
                    counts_.lines = n;
                    break;
                }
                return s.error();
            }
            counts_.lines = n;
        }
        if (counts_.lines == 0)
            return failure(FailureKind::data, "the file is empty");
        if (!headerDone_)
            return failure(FailureKind::data,
                           "the file ends at line " + std::to_string(counts_.lines) +
                               ", before its header is complete (expected " +
                               std::to_string(recordHeaderLine()) + " header lines)");
        return counts_;
    }

private:
    Status cancelled() { return failure(FailureKind::cancelled, "reading stopped"); }

    bool logger() const { return !isRealTime(header_.kind); }

    // The line of the record grids' header row; records follow it.
    std::int64_t recordHeaderLine() const
    {
        if (!logger())
            return 14;
        return header_.kind == DataFileKind::levelLogger ? 18 + pauses_ : 16 + pauses_;
    }

    Status take(std::int64_t n, std::string_view line)
    {
        if (n == 1) {
            header_.title = std::string(line);
            header_.kind = kindFromTitle(line);
            counts_.kind = header_.kind;
            return success();
        }
        if (n <= 4)
            return success();
        if (n <= 13)
            return settingsLine(n, line);
        if (!headerDone_)
            return headerLine(n, line);
        return recordLine(n, line);
    }

    Status settingsLine(std::int64_t n, std::string_view line)
    {
        std::size_t colon = line.find(':');
        if (colon == std::string_view::npos)
            return lineFailure(n, "a settings line needs a title, ':' and a value");
        *header_.settings.fields()[static_cast<std::size_t>(n - 5)] = std::string(line.substr(colon + 1));
        return success();
    }

    Status headerLine(std::int64_t n, std::string_view line)
    {
        if (logger()) {
            if (n == 14) {
                if (!hasNumericPrefix(line))
                    return lineFailure(n, "the pause count is not a number");
                double p = numericPrefix(line);
                if (p < 0 || p > kMaxPauses || p != std::floor(p))
                    return lineFailure(n, "the pause count is not a whole number of pauses");
                pauses_ = static_cast<std::int64_t>(p);
                return success();
            }
            if (n == 15) {
                if (!startsWith(line, "Times"))
                    return lineFailure(n, "expected the pause header row");
                return success();
            }
            if (n <= 15 + pauses_) {
                std::array<std::string_view, 4> c;
                if (splitCells(line, c) < 4)
                    return lineFailure(n, "a pause row needs 4 Tab-separated cells");
                header_.pauses.push_back({std::string(c[0]), std::string(c[1]), std::string(c[2]),
                                          std::string(c[3])});
                return success();
            }
            if (header_.kind == DataFileKind::levelLogger && n == 16 + pauses_) {
                if (!startsWith(line, "Dose"))
                    return lineFailure(n, "expected the summary header row");
                return success();
            }
            if (header_.kind == DataFileKind::levelLogger && n == 17 + pauses_) {
                std::array<std::string_view, 2> c;
                if (splitCells(line, c) < 2)
                    return lineFailure(n, "the summary row needs 2 Tab-separated cells");
                header_.summary = {std::string(c[0]), std::string(c[1])};
                return success();
            }
        }
        // The record grids' header row.
        if (!startsWith(line, datafile::numberHeader))
            return lineFailure(n, "expected the record header row (\"No.s\" ...)");
        headerDone_ = true;
        if (!sink_.header(header_))
            return cancelled();
        header_.pauses.clear();
        header_.pauses.shrink_to_fit();
        return success();
    }

    Status recordLine(std::int64_t n, std::string_view line)
    {
        if (line.find(datafile::maxLevelNote) != std::string_view::npos)
            return sink_.note(line) ? success() : cancelled();
        if (isBlank(line))
            return success();
        if (header_.kind == DataFileKind::doseLogger) {
            std::array<std::string_view, 4> c;
            if (splitCells(line, c) < 4)
                return lineFailure(n, "a record needs 4 Tab-separated fields");
            ++counts_.records;
            dose_.number.assign(c[0]);
            dose_.dateTime.assign(c[1]);
            dose_.dose.assign(c[2]);
            dose_.twa.assign(c[3]);
            return sink_.doseRecord(dose_) ? success() : cancelled();
        }
        std::array<std::string_view, 3> c;
        if (splitCells(line, c) < 3)
            return lineFailure(n, "a record needs 3 Tab-separated fields");
        ++counts_.records;
        level_.number = counts_.records;
        level_.dateTime.assign(c[1]);
        level_.level.assign(c[2]);
        return sink_.levelRecord(level_) ? success() : cancelled();
    }

    DataFileSink& sink_;
    DataFileHeader header_;
    ReadCounts counts_;
    std::int64_t pauses_ = 0;
    bool headerDone_ = false;
    LevelRecord level_;
    DoseRow dose_;
};

class Collector : public DataFileSink {
public:
    bool header(const DataFileHeader& h) override
    {
        switch (h.kind) {
        case DataFileKind::realTimeData:
        case DataFileKind::realTimeList:
            file = RealTimeFile{h.kind, h.settings, {}};
            break;
        case DataFileKind::doseLogger:
            file = DoseLoggerFile{h.settings, h.pauses, {}};
            break;
        case DataFileKind::levelLogger:
            file = LevelLoggerFile{h.settings, h.pauses, h.summary, {}};
            break;
        }
        return true;
    }
    bool levelRecord(const LevelRecord& r) override
    {
        if (auto* rt = std::get_if<RealTimeFile>(&file))
            rt->records.push_back(r);
        else
            std::get<LevelLoggerFile>(file).records.push_back(r);
        return true;
    }
    bool doseRecord(const DoseRow& r) override
    {
        std::get<DoseLoggerFile>(file).records.push_back(r);
        return true;
    }
    DataFile file;
};

Failure withPath(const std::filesystem::path& path, Failure f)
{
    f.message = path.filename().string() + ": " + f.message;
    return f;
}

} // namespace

DataFileKind kindFromTitle(std::string_view firstLine)
{
    if (firstLine.find("Real Time") != std::string_view::npos)
        return firstLine.find("List") != std::string_view::npos ? DataFileKind::realTimeList
                                                                : DataFileKind::realTimeData;
    if (firstLine.find("dBS") != std::string_view::npos)
        return DataFileKind::levelLogger;
    return DataFileKind::doseLogger;
}

double readNumber(std::string_view field)
{
    return numericPrefix(field, true);
}

Result<ReadCounts> readDataFile(std::istream& in, DataFileSink& sink)
{
    Reading reading(sink);
    return reading.run(in);
}

Result<ReadCounts> readDataFile(const std::filesystem::path& path, DataFileSink& sink)
{
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        return failure(FailureKind::io, "cannot read " + path.string() + ": it is a folder");
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return failure(FailureKind::io, "cannot open " + path.string());
    auto r = readDataFile(in, sink);
    if (!r)
        return withPath(path, r.error());
    return r;
}

Result<DataFile> loadDataFile(std::istream& in)
{
    Collector c;
    auto r = readDataFile(in, c);
    if (!r)
        return r.error();
    return std::move(c.file);
}

Result<DataFile> loadDataFile(const std::filesystem::path& path)
{
    Collector c;
    auto r = readDataFile(path, c);
    if (!r)
        return r.error();
    return std::move(c.file);
}

} // namespace km740
