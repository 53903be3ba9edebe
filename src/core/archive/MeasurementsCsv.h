// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Measurements as CSV for spreadsheets: RFC 4180, UTF-8, "." decimals,
// ISO 8601 times, one header row; cells without a value are empty.

#include "core/archive/Measurement.h"

#include <span>
#include <string>

namespace km740 {

std::string measurementsCsv(std::span<const Measurement> rows);

} // namespace km740
