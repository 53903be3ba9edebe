// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Raw logger captures (".km740img"): the bytes the "I" dump sent, nothing
// added, so an old download or a customer's capture decodes again.

#include "core/common/Result.h"
#include "core/logger/LoggerImage.h"

#include <cstdint>
#include <filesystem>
#include <span>

namespace km740 {

// Larger than anything the 24-bit memory end can state.
inline constexpr std::uintmax_t maxLoggerImageFileSize = 1u << 24;

Result<LoggerImage> readLoggerImageFile(const std::filesystem::path& path);
// Whole or not at all: an earlier file of the name stays as it was on failure.
Status writeLoggerImageFile(const std::filesystem::path& target, std::span<const std::uint8_t> downloaded);

} // namespace km740
