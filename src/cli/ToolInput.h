// SPDX-License-Identifier: GPL-3.0-or-later
// What km740-tool takes from its user, read strictly: whole numbers in
// range, JSON files of bounded size and depth. Refused input never reaches
// the meter.
#pragma once

#include "core/common/Result.h"

#include <nlohmann/json.hpp>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace km740::cli {

// The number when the text is only decimal digits (no sign, no blank) and
// its value lies in min..max; "0123" is 123, never 12.
std::optional<long long> wholeNumber(std::string_view text, long long min, long long max);

// The largest JSON file a command reads, and the deepest nesting.
inline constexpr std::size_t maxJsonBytes = 256 * 1024;

// Reads and parses a JSON file of at most maxJsonBytes whose arrays and
// objects nest at most `maxDepth` deep. Unreadable file: io; anything else
// wrong: data, with a message naming the file.
Result<nlohmann::json> readJsonFile(const std::string& path, int maxDepth);

} // namespace km740::cli
