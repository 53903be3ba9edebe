// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/exposure/PlotInputs.h"

#include <span>
#include <string_view>

namespace km740 {

// A record column of a file list window: its grid header and what a
// spreadsheet gets as the column's name (with the unit).
struct ListColumn {
    std::string_view header;
    std::string_view exportName;
    bool numeric; // a measured or derived value ("." decimals in CSV)
};

// The record columns of a window, in grid order (GridN(0), GridN(1), ...).
std::span<const ListColumn> listColumns(FileListKind window);

// The column an export names: its header or export name, compared without
// case, blanks and punctuation ("LEP,d", "lepd" and "LEP,d [dB]" are one).
// Empty when the window has no such column.
std::optional<int> findListColumn(FileListKind window, std::string_view name);

} // namespace km740
