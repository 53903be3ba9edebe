// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Result.h"
#include "files/DataFile.h"

#include <cstdint>
#include <filesystem>
#include <istream>
#include <string_view>

namespace km740 {

// What comes before the records: the kind (by line 1), the settings block,
// the pause rows and, for a level logger file, the summary.
struct DataFileHeader {
    DataFileKind kind = DataFileKind::doseLogger;
    std::string title;             // line 1 as it stands
    SettingsBlock settings;        // the text after the first ':' of lines 5 to 13
    std::vector<PauseRow> pauses;  // logger kinds; empty: the pause list is hidden
    DoseSummary summary;           // level logger only
};

// Receives a file as it is read, in one pass. Any call may return false to
// stop the read (it then ends as cancelled).
class DataFileSink {
public:
    virtual ~DataFileSink() = default;
    // Once, when the last header line has been read.
    virtual bool header(const DataFileHeader& header) = 0;
    // Real-time kinds and level logger files. The number is the reader's own
    // count (1 for the first record), not the file's.
    virtual bool levelRecord(const LevelRecord& record) = 0;
    // Dose logger files: the four fields as they stand.
    virtual bool doseRecord(const DoseRow& /*record*/) { return true; }
    // A record line holding "Max. dB": a caption note, not a record.
    virtual bool note(std::string_view /*line*/) { return true; }
};

struct ReadCounts {
    DataFileKind kind = DataFileKind::doseLogger;
    std::int64_t records = 0;
    std::int64_t lines = 0;
    // The file ended inside its last record (a recording cut off by a crash
    // or power loss): that record was left out.
    bool lastRecordCut = false;
};

// Reads a data file of any kind. A line that cannot be what its place in the
// file says (missing Tabs, a header cut short, binary data) ends the read with
// a data failure naming the line, except a record cut off at the very end of
// the file, which is left out and reported in ReadCounts. Lines may end in LF or CR LF and be
// Windows-1252 or UTF-8; the sink gets UTF-8.
Result<ReadCounts> readDataFile(std::istream& in, DataFileSink& sink);
Result<ReadCounts> readDataFile(const std::filesystem::path& path, DataFileSink& sink);

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
