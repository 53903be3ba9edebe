// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A file list written out as CSV, the same way from a window's table and from
// a data file streamed off the disk.

#include "core/common/Result.h"
#include "core/exposure/PlotInputs.h"
#include "core/files/DataFileReader.h"

#include <filesystem>
#include <functional>
#include <vector>

namespace km740 {

class FileListTable;

// The table as the window shows it, every column, "." decimals. The target is
// written whole or left as it was ("-" is standard output).
Status writeCsv(const FileListTable& table, const std::filesystem::path& target);

// Picks the columns once the file's kind is known (empty: every column); a
// failure stops the export with its message and nothing is written.
using CsvColumnChoice = std::function<Result<std::vector<int>>(FileListKind window)>;

// A data file read and written row by row, so any size streams in flat
// memory. Returns what the reader counted and noted.
Result<ReadCounts> writeCsv(const std::filesystem::path& dataFile, const std::filesystem::path& target,
                            const CsvColumnChoice& choose);

} // namespace km740
