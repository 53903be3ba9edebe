// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/common/Result.h"
#include "core/files/DataFile.h"

#include <cstdint>
#include <filesystem>
#include <functional>

namespace km740 {

// Told the list-grid row just written (0 is the header row of the records,
// then 1, 2, ...), for the " Records Completed" caption. Returning false
// cancels the save.
using WriteProgress = std::function<bool(std::int64_t row)>;

// Writes a whole data file in Windows-1252 with CR LF line ends. The file
// appears complete under its name or not at all: a failure leaves an earlier
// file of that name as it was and says why.
Status writeDataFile(const std::filesystem::path& target, const DataFile& file, const WriteProgress& progress = {});

// The bytes writeDataFile writes.
std::string dataFileBytes(const DataFile& file);

} // namespace km740
