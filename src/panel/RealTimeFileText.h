// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "panel/RealTimeList.h"

#include <string>
#include <string_view>
#include <vector>

namespace km740 {

struct RecordingHeader;

inline constexpr std::string_view kRealTimeDataTitle = "Real Time Data";
inline constexpr std::string_view kRealTimeListTitle = "Real Time List";
// The column line of a recording file (six blanks before "Date Time").
inline constexpr std::string_view kRealTimeDataColumns = "No.s\t      Date Time    \tdB";

// Lines 1 to 13 of a real-time file: title, three empty lines, the settings block.
std::vector<std::string> realTimeHeaderLines(std::string_view title, const RecordingHeader& header);

// "7\t2024/01/05 09:03:00\t61.2\t"
std::string realTimeRecordLine(long long number, std::string_view time, std::string_view level);

// A row of the list's three columns, each cell followed by a tab; the
// heading row is "No.s", "     Date Time    ", "dB".
std::string realTimeListHeadingLine();

} // namespace km740
