// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

namespace km740 {

// The value a list cell gives a plotted series: its number ("85.3", "85,3",
// "-12.5", "0.0012"), or NaN for a cell without one (kNoValueText, empty, text),
// which the graph leaves as a gap in the line rather than a drop to 0.
double plotPointOf(std::string_view cell);

} // namespace km740
