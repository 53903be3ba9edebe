// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/common/Result.h"

#include <filesystem>
#include <fstream>

namespace km740 {

// Opens a file the user chose for reading, as bytes. A folder or a file that
// cannot be opened gives a failure naming it.
Result<std::ifstream> openInputFile(const std::filesystem::path& path);

// "name: message", for failures about a file's content.
Failure namingFile(const std::filesystem::path& path, Failure failure);

} // namespace km740
