// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace km740 {

// The three file list windows.
enum class FileListKind {
    dose,     // FileList: a "Data Logger dBL" set
    level,    // FileListdB: a "Data Logger dBS" set
    realTime, // FileListReal: "Real Time Data" / "Real Time List"
};

// What the graph needs to show one column of a file list.
struct PlotInputs {
    int plotKind = 0; // the column index
    int plotXMax = 0; // data rows; the X range is 1 .. plotXMax
    double plotYMin = 0.0;
    double plotYMax = 0.0;
    std::string axisCaption; // Y axis: "dB", "%", "SE"
    std::string label;       // cursor label: "dB ( Y ) :", "% ( Y ) :", "Pa2h ( Y ) :"
    int decimals = 1;        // cursor value: 1 for "0.0", 4 for "0.0000"
};

// The top of the measuring range from the range panel's text: the number in
// its last three characters ("70-140" -> 140, "60-130" -> 130); 140 when
// there is none.
int rangeTopOf(std::string_view rangeText);

// The plot inputs of column `column` of a window holding `dataRows` records.
// `lastValue` is the column's last data cell read as a number (used by the
// dose and exposure columns, whose range is 0 .. last + 1). Empty for the
// number and date columns and for columns the window does not have.
std::optional<PlotInputs> plotInputs(FileListKind window, int column, int dataRows, std::string_view rangeText,
                                     double lastValue);

} // namespace km740
