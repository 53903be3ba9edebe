// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/common/Regional.h"
#include "core/common/Result.h"
#include "core/files/DataFileReader.h"
#include "core/lists/PrintLayout.h"

#include <filesystem>

namespace km740 {

// The printout of a file list before its records: settings, pause list,
// summary and the record header row (records.rowCount is 1).
PrintSource printHead(const DataFileHeader& header);

// Prints a data file's list straight from the file, record by record, in
// flat memory whatever its size: the printout its file list window gives.
Result<ReadCounts> printDataFile(const std::filesystem::path& path, const Regional& regional, int recordsPerRow,
                                 const PrintSink& sink);

} // namespace km740
