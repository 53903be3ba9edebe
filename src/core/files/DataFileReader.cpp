// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/files/DataFileReader.h"

#include "core/common/Regional.h"
#include "core/files/InputFile.h"
#include "core/files/LineReader.h"
#include "core/files/TextCodec.h"

#include <array>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>

namespace km740 {

namespace {

constexpr std::int64_t kMaxPauses = 1000000;
// Pause rows kept for the pause list, and the characters kept of each cell;
// the meter logs at most 254 pauses of "hh:nn:ss" times, so only a damaged
// or made-up file passes these, and the rest is counted and said.
constexpr std::size_t kKeptPauseRows = 1000;
constexpr std::size_t kPauseCellChars = 32;

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

// Carriage returns inside a line: its lines end in CR alone, not CR LF.
bool hasBareCr(std::string_view line)
{
    for (char c : line) {
        auto b = static_cast<unsigned char>(c);
        if ((b < 0x20 && b != '\t' && b != '\r') || b == 0x7F)
            return false;
    }
    return line.find('\r') != std::string_view::npos;
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

// A record's number field: a whole number from 1, blanks around it allowed.
std::optional<std::int64_t> recordNumber(std::string_view field)
{
    const auto first = field.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return std::nullopt;
    field.remove_prefix(first);
    field = field.substr(0, field.find_last_not_of(' ') + 1);
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (error != std::errc() || end != field.data() + field.size() || value < 1)
        return std::nullopt;
    return value;
}

bool startsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

// Lines 1 to 13 are the title and the settings: binary data there means the
// file is no data file at all.
constexpr std::int64_t kLastSettingsLine = 13;

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
            if (next == LineReader::Next::ioError)
                return failure(FailureKind::io, "read error after line " + std::to_string(counts_.lines));
            const std::int64_t n = lines.lineNumber();
            counts_.lines = n;
            if (next == LineReader::Next::tooLong || isBinary(raw)) {
                const Unreadable why = unreadable(lines, next, raw);
                if (n <= kLastSettingsLine)
                    return failure(FailureKind::data, notDataFile(why, n, lines.maxLine()));
                note(n, leftOut(why, lines.maxLine()));
                continue;
            }
            if (n == 1 && startsWith(raw, "\xEF\xBB\xBF"))
                raw.remove_prefix(3);
            std::string text;
            std::string_view line = raw;
            if (!isAscii(raw)) {
                text = fromFileText(raw);
                line = text;
            }
            const bool cutAtEnd = !lines.lineTerminated();
            if (!take(n, line, cutAtEnd))
                return failure(FailureKind::cancelled, "reading stopped");
        }
        if (counts_.lines == 0)
            return failure(FailureKind::data, "not a data file (it is empty)");
        if (!headerDone_) {
            note(counts_.lines, "the file ends before its header is complete (" + std::to_string(recordHeaderLine()) +
                                    " header lines); no records");
            if (!finishHeader())
                return failure(FailureKind::cancelled, "reading stopped");
        }
        return std::move(counts_);
    }

    enum class Unreadable { binary, bareCr, tooLong };
    static Unreadable unreadable(const LineReader& lines, LineReader::Next next, std::string_view raw)
    {
        if (next == LineReader::Next::tooLong)
            return lines.tooLongHadBareCr() ? Unreadable::bareCr : Unreadable::tooLong;
        return hasBareCr(raw) ? Unreadable::bareCr : Unreadable::binary;
    }
    // Why the file is no data file, the line n being in its header.
    static std::string notDataFile(Unreadable why, std::int64_t n, std::size_t maxLine)
    {
        const std::string line = std::to_string(n);
        switch (why) {
        case Unreadable::bareCr:
            return "not a data file (line " + line + " ends in a carriage return alone (CR), not CR LF)";
        case Unreadable::tooLong:
            return "not a data file (line " + line + " is longer than " + std::to_string(maxLine / 1024) + " KiB)";
        case Unreadable::binary: break;
        }
        return "not a data file (binary data on line " + line + ")";
    }
    static std::string leftOut(Unreadable why, std::size_t maxLine)
    {
        switch (why) {
        case Unreadable::bareCr: return "a line ending in a carriage return alone (CR, not CR LF) was left out";
        case Unreadable::tooLong: return "a line longer than " + std::to_string(maxLine / 1024) + " KiB was left out";
        case Unreadable::binary: break;
        }
        return "binary data was left out";
    }

private:
    void note(std::int64_t n, std::string what)
    {
        if (counts_.notes.size() < ReadCounts::maxNotes)
            counts_.notes.push_back({n, std::move(what)});
        else
            ++counts_.moreNotes;
    }

    bool logger() const { return !isRealTime(header_.kind); }

    // The line of the record grids' header row; records follow it.
    std::int64_t recordHeaderLine() const
    {
        if (!logger())
            return 14;
        return header_.kind == DataFileKind::levelLogger ? 18 + pauses_ : 16 + pauses_;
    }

    // False: the sink stopped the read.
    bool take(std::int64_t n, std::string_view line, bool cutAtEnd)
    {
        if (n == 1) {
            header_.title = std::string(line);
            header_.kind = kindFromTitle(line);
            counts_.kind = header_.kind;
            return true;
        }
        if (n <= 4)
            return true;
        if (n <= kLastSettingsLine) {
            settingsLine(n, line);
            return true;
        }
        if (!headerDone_)
            return headerLine(n, line);
        return recordLine(n, line, cutAtEnd);
    }

    void settingsLine(std::int64_t n, std::string_view line)
    {
        std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) {
            note(n, "a settings line without ':' left its value empty");
            return;
        }
        *header_.settings.fields()[static_cast<std::size_t>(n - 5)] = std::string(line.substr(colon + 1));
    }

    bool headerLine(std::int64_t n, std::string_view line)
    {
        if (logger()) {
            if (n == 14) {
                const double p = hasNumericPrefix(line) ? numericPrefix(line) : 0.0;
                if (!hasNumericPrefix(line))
                    note(n, "the pause count is not a number; read as no pauses");
                else if (p < 0 || p > kMaxPauses || p != std::floor(p))
                    note(n, "the pause count is not a whole number of pauses; read as no pauses");
                else
                    pauses_ = static_cast<std::int64_t>(p);
                return true;
            }
            if (n == 15) {
                if (!startsWith(line, "Times"))
                    note(n, "expected the pause header row; passed over");
                return true;
            }
            if (n <= 15 + pauses_) {
                std::array<std::string_view, 4> c;
                if (splitCells(line, c) < 4)
                    note(n, "a pause row with fewer than 4 cells; the missing ones are empty");
                if (header_.pauses.size() == kKeptPauseRows) {
                    ++droppedPauses_;
                    return true;
                }
                bool cut = false;
                auto cell = [&](std::string_view text) {
                    cut = cut || text.size() > kPauseCellChars;
                    return std::string(text.substr(0, kPauseCellChars));
                };
                header_.pauses.push_back({cell(c[0]), cell(c[1]), cell(c[2]), cell(c[3])});
                if (cut && !pauseCellCut_) {
                    pauseCellCut_ = true;
                    note(n, "a pause cell longer than " + std::to_string(kPauseCellChars) +
                                " characters was cut (and any after it)");
                }
                return true;
            }
            if (header_.kind == DataFileKind::levelLogger && n == 16 + pauses_) {
                if (!startsWith(line, "Dose"))
                    note(n, "expected the summary header row; passed over");
                return true;
            }
            if (header_.kind == DataFileKind::levelLogger && n == 17 + pauses_) {
                std::array<std::string_view, 2> c;
                if (splitCells(line, c) < 2)
                    note(n, "the summary row has fewer than 2 cells");
                header_.summary = {std::string(c[0]), std::string(c[1])};
                return true;
            }
        }
        // The record grids' header row: the windows make their own.
        if (!startsWith(line, datafile::numberHeader))
            note(n, "expected the record header row (\"No.s\" ...); passed over");
        return finishHeader();
    }

    // False: the sink stopped the read.
    bool finishHeader()
    {
        headerDone_ = true;
        if (droppedPauses_ > 0)
            note(15 + pauses_, std::to_string(droppedPauses_) + " more pause rows were left out (the list keeps " +
                                   std::to_string(kKeptPauseRows) + ")");
        if (!sink_.header(header_))
            return false;
        header_.pauses.clear();
        header_.pauses.shrink_to_fit();
        return true;
    }

    bool recordLine(std::int64_t n, std::string_view line, bool cutAtEnd)
    {
        if (line.find(datafile::maxLevelNote) != std::string_view::npos)
            return sink_.note(line);
        if (isBlank(line))
            return true;
        // Every record line ends with a Tab and a line end: a last line
        // without them was cut off inside its last field (a crash or power
        // loss while recording), and its level or dose may be a cut number.
        if (cutAtEnd && line.back() != '\t') {
            counts_.lastRecordCut = true;
            note(n, "the last record is cut off (no Tab and line end after it); left out");
            return true;
        }
        const bool dose = header_.kind == DataFileKind::doseLogger;
        std::array<std::string_view, 4> c;
        const std::size_t need = dose ? 4 : 3;
        if (splitCells(line, c) < need)
            note(n, "a record with fewer than " + std::to_string(need) +
                        " Tab-separated fields; the missing ones are empty");
        ++counts_.records;
        if (dose) {
            dose_.number.assign(c[0]);
            dose_.dateTime.assign(c[1]);
            dose_.dose.assign(c[2]);
            dose_.twa.assign(c[3]);
            return sink_.doseRecord(dose_);
        }
        // Numbered as the file numbers it, so a line left out leaves a gap
        // instead of renumbering the records after it; a number field that
        // is no number follows the record before.
        level_.number = recordNumber(c[0]).value_or(level_.number + 1);
        level_.dateTime.assign(c[1]);
        level_.level.assign(c[2]);
        return sink_.levelRecord(level_);
    }

    DataFileSink& sink_;
    DataFileHeader header_;
    ReadCounts counts_;
    std::int64_t pauses_ = 0;
    std::int64_t droppedPauses_ = 0;
    bool pauseCellCut_ = false;
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
        case DataFileKind::realTimeList: file = RealTimeFile{h.kind, h.settings, {}}; break;
        case DataFileKind::doseLogger: file = DoseLoggerFile{h.settings, h.pauses, {}}; break;
        case DataFileKind::levelLogger: file = LevelLoggerFile{h.settings, h.pauses, h.summary, {}}; break;
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

} // namespace

std::string ReadNote::text() const
{
    return "line " + std::to_string(line) + ": " + what;
}

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
    auto in = openInputFile(path);
    if (!in)
        return in.error();
    auto r = readDataFile(**in, sink);
    if (!r)
        return namingFile(path, r.error());
    if ((*in)->limitPassed())
        return namingFile(path, failure(FailureKind::data, "reading stopped: " + InputFile::limitText()));
    return r;
}

Result<DataFileKind> peekDataFileKind(const std::filesystem::path& path)
{
    auto in = openInputFile(path);
    if (!in)
        return in.error();
    LineReader lines(**in);
    std::string_view line;
    std::optional<DataFileKind> kind;
    while (lines.lineNumber() < kLastSettingsLine) {
        const auto next = lines.next(line);
        if (next == LineReader::Next::end)
            break;
        if (next == LineReader::Next::ioError)
            return namingFile(path, failure(FailureKind::io, "read error"));
        if (next == LineReader::Next::tooLong || isBinary(line))
            return namingFile(path,
                              failure(FailureKind::data, Reading::notDataFile(Reading::unreadable(lines, next, line),
                                                                              lines.lineNumber(), lines.maxLine())));
        if (!kind)
            kind = kindFromTitle(line);
    }
    if (!kind)
        return namingFile(path, failure(FailureKind::data, "not a data file (it is empty)"));
    return *kind;
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
