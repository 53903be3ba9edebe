// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string_view>

namespace km740 {

// The level of one record cell, or nothing when the cell holds no reading:
// a cell with "-" in it (a missing level, "----") or one that does not start
// with a number. "0.0" is a real reading of 0 dB. A decimal comma is read as
// the point, so "85,3" is 85.3 dB (a level cell never has thousands).
std::optional<double> readLevelCell(std::string_view cell);

} // namespace km740
