// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/archive/Archive.h"
#include "core/common/Result.h"

#include <filesystem>
#include <string>

namespace km740::cli {

// The archive's folder: the one `--archive` names, else KM740_ARCHIVE, else
// the user's data folder.
std::filesystem::path toolArchiveFolder(const std::string& folderOption);
// Opens (or starts) the archive in that folder.
Result<Archive> openToolArchive(const std::string& folderOption);

} // namespace km740::cli
