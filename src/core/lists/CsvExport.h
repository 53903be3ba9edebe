// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A file list as CSV for spreadsheets and data tools: RFC 4180 (CR LF, quotes
// only where needed), UTF-8, "." decimals, ISO 8601 time stamps, one header
// row naming each column with its unit. Cells without a number are empty.

#include "core/exposure/PlotInputs.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace km740 {

// One field, quoted when it holds a comma, quote, CR or LF.
void appendCsvField(std::string& out, std::string_view field);

// A date and time as the lists show it ("2026/12/07 03:04:05", any one-char
// separators) as ISO 8601 ("2026-12-07T03:04:05"); other texts unchanged.
std::string isoDateTime(std::string_view shown);

class CsvExport {
public:
    // `columns` are column indexes of the window; empty means every column.
    CsvExport(FileListKind window, std::vector<int> columns);

    // The header row, CR LF ended.
    void appendHeader(std::string& out) const;
    // One row from the window's cell texts (all its columns, in order).
    void appendRow(std::string& out, std::span<const std::string_view> cells) const;

    const std::vector<int>& columns() const { return columns_; }

private:
    FileListKind window_;
    std::vector<int> columns_;
};

} // namespace km740
