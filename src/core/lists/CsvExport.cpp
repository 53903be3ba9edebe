// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/lists/CsvExport.h"

#include "core/lists/FileListColumns.h"

namespace km740 {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// A shown number with "." as its point; empty when the cell holds none.
void appendNumber(std::string& out, std::string_view cell)
{
    while (!cell.empty() && cell.front() == ' ')
        cell.remove_prefix(1);
    while (!cell.empty() && cell.back() == ' ')
        cell.remove_suffix(1);
    // Sign, digits, one point or comma, digits: nothing else is a number here
    // (kNoValueText and texts leave the cell empty).
    std::size_t i = !cell.empty() && (cell[0] == '-' || cell[0] == '+') ? 1 : 0;
    bool digits = false, point = false;
    for (; i < cell.size(); ++i) {
        if (isDigit(cell[i]))
            digits = true;
        else if ((cell[i] == '.' || cell[i] == ',') && !point)
            point = true;
        else
            return;
    }
    if (!digits)
        return;
    for (char c : cell)
        out += c == ',' ? '.' : c;
}

} // namespace

void appendCsvField(std::string& out, std::string_view field)
{
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
        out += field;
        return;
    }
    out += '"';
    for (char c : field) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

std::string isoDateTime(std::string_view shown)
{
    std::string_view t = shown;
    while (!t.empty() && t.front() == ' ')
        t.remove_prefix(1);
    while (!t.empty() && t.back() == ' ')
        t.remove_suffix(1);
    // yyyy?mm?dd hh?mm?ss
    static constexpr std::string_view pattern = "dddd?dd?dd dd?dd?dd";
    if (t.size() != pattern.size())
        return std::string(shown);
    for (std::size_t i = 0; i < t.size(); ++i) {
        const bool digit = isDigit(t[i]);
        if ((pattern[i] == 'd') != digit || (pattern[i] == ' ' && t[i] != ' '))
            return std::string(shown);
    }
    std::string iso(t);
    iso[4] = iso[7] = '-';
    iso[10] = 'T';
    iso[13] = iso[16] = ':';
    return iso;
}

CsvExport::CsvExport(FileListKind window, std::vector<int> columns) : window_(window), columns_(std::move(columns))
{
    if (columns_.empty())
        for (int i = 0; i < static_cast<int>(listColumns(window_).size()); ++i)
            columns_.push_back(i);
}

void CsvExport::appendHeader(std::string& out) const
{
    const auto all = listColumns(window_);
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        if (i > 0)
            out += ',';
        appendCsvField(out, all[static_cast<std::size_t>(columns_[i])].exportName);
    }
    out += "\r\n";
}

void CsvExport::appendRow(std::string& out, std::span<const std::string_view> cells) const
{
    const auto all = listColumns(window_);
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        if (i > 0)
            out += ',';
        const auto c = static_cast<std::size_t>(columns_[i]);
        const std::string_view cell = c < cells.size() ? cells[c] : std::string_view();
        if (c == 1)
            appendCsvField(out, isoDateTime(cell));
        else if (all[c].numeric)
            appendNumber(out, cell);
        else
            appendCsvField(out, cell);
    }
    out += "\r\n";
}

} // namespace km740
