// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/common/Result.h"
#include "core/files/DataFile.h"

#include <cstdint>
#include <filesystem>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace km740 {

// What comes before the records: the kind (by line 1), the settings block,
// the pause rows and, for a level logger file, the summary.
struct DataFileHeader {
    DataFileKind kind = DataFileKind::doseLogger;
    std::string title;            // line 1 as it stands
    SettingsBlock settings;       // the text after the first ':' of lines 5 to 13
    std::vector<PauseRow> pauses; // logger kinds; empty: the pause list is hidden
    DoseSummary summary;          // level logger only
};

// Receives a file as it is read, in one pass. Any call may return false to
// stop the read (it then ends as cancelled).
class DataFileSink {
public:
    virtual ~DataFileSink() = default;
    // Once, when the last header line has been read.
    virtual bool header(const DataFileHeader& header) = 0;
    // Real-time kinds and level logger files. The number is the file's own
    // (a record left out leaves a gap); where the file's number field is no
    // number, the one after the record before.
    virtual bool levelRecord(const LevelRecord& record) = 0;
    // Dose logger files: the four fields as they stand.
    virtual bool doseRecord(const DoseRow& /*record*/) { return true; }
    // A record line holding "Max. dB": a caption note, not a record.
    virtual bool note(std::string_view /*line*/) { return true; }
};

// Something odd the reader passed over, for the user: "line 17: ...".
struct ReadNote {
    std::int64_t line = 0;
    std::string what;
    std::string text() const;
};

struct ReadCounts {
    DataFileKind kind = DataFileKind::doseLogger;
    std::int64_t records = 0;
    std::int64_t lines = 0;
    // The file ended inside its last record (a recording cut off by a crash
    // or power loss): that record was left out (and noted).
    bool lastRecordCut = false;
    // The first notes in line order; further ones are only counted.
    std::vector<ReadNote> notes;
    std::int64_t moreNotes = 0;
    static constexpr std::size_t maxNotes = 100;
};

// Reads a data file of any kind, as leniently as a damaged recording needs:
// a line that is not what its place in the file says (missing Tabs, no ':',
// a pause count that is no number, a header cut short, binary data among the
// records) is noted and read as far as it goes, and the read goes on; a file
// that ends inside its header still gives the header read so far. A record
// cut off at the very end of the file is left out. Only a file that is no
// text at all (no line, or binary data in its first 13 lines) is refused.
// Lines may end in LF or CR LF and be Windows-1252 or UTF-8; the sink gets
// UTF-8.
Result<ReadCounts> readDataFile(std::istream& in, DataFileSink& sink);
Result<ReadCounts> readDataFile(const std::filesystem::path& path, DataFileSink& sink);

// The kind a file's first line selects, read before the whole file is:
// fails for a file that cannot be opened, is empty or starts with binary data.
Result<DataFileKind> peekDataFileKind(const std::filesystem::path& path);

// The whole file as a value (for small files and tests; large files are
// better streamed through a sink).
Result<DataFile> loadDataFile(std::istream& in);
Result<DataFile> loadDataFile(const std::filesystem::path& path);

// A number field of a file: its numeric prefix, with "." or "," as the
// decimal point; no number reads as 0.
double readNumber(std::string_view field);

// The kind a first line selects: "Real Time" first, then "dBS", anything
// else a dose logger file.
DataFileKind kindFromTitle(std::string_view firstLine);

} // namespace km740
