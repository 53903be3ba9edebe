// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The exact lines of the data files, as UTF-8 text ended by CR LF. Writers
// turn them into Windows-1252 on the way to the disk.

#include "core/files/DataFile.h"

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

namespace km740::datafile {

inline constexpr std::string_view lineEnd = "\r\n";

// Lines 1 to 13: the title, three empty lines and the nine settings lines.
std::string headerLines(DataFileKind kind, const SettingsBlock& settings);

// Line 14 of "Real Time Data" (no Tab after the last cell).
std::string recordingColumnsLine();

// A list line: every cell followed by one Tab.
std::string listLine(std::initializer_list<std::string_view> cells);

// Header rows of the list sections.
std::string levelColumnsLine();   // "No.s", date time, "dB"
std::string doseColumnsLine();    // "No.s", date time, "Dose", "TWA"
std::string pauseColumnsLine();   // "Times" .. "Period"
std::string noPauseLine();        // "Times", Tab, "Pause", Tab, "Release Period"
std::string summaryColumnsLine(); // "Dose", "TWA"

// Record lines.
std::string levelRecordLine(const LevelRecord& record);
std::string doseRowLine(const DoseRow& record);
std::string pauseRowLine(const PauseRow& row);
std::string summaryLine(const DoseSummary& summary);

// Line 14 of the logger kinds: "0" without pauses, else the count with a
// blank before and after (" 3 ").
std::string pauseCountLine(std::size_t count);

// Calls emit for every line of the file, in order. row is the list-grid row
// the line belongs to (0 for the header row of the record grids, 1.. for the
// records) or -1 for lines before it. emit returns false to stop; the
// function returns false when it was stopped.
using LineEmitter = std::function<bool(std::string_view line, std::int64_t row)>;
bool emitLines(const DataFile& file, const LineEmitter& emit);

} // namespace km740::datafile
