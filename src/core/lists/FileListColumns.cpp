// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/lists/FileListColumns.h"

#include "core/files/DataFile.h"

#include <array>
#include <cctype>
#include <string>

namespace km740 {

namespace {

constexpr std::string_view kDateTime = datafile::dateTimeHeader;

constexpr std::array<ListColumn, 12> kRealTime{{
    {"No.s", "No.s", false},
    {kDateTime, "Date Time", false},
    {"dB", "dB [dB]", true},
    {"TWA", "TWA [dB]", true},
    {"Dose", "Dose [%]", true},
    {"SEL", "SEL [dB]", true},
    {"SE", "SE [Pa2h]", true},
    {"LEP,d", "LEP,d [dB]", true},
    {"Leq", "Leq [dB]", true},
    {"PTWA", "PTWA [dB]", true},
    {"PDose", "PDose [%]", true},
    {"LAvg", "LAvg [dB]", true},
}};

constexpr std::array<ListColumn, 4> kDose{{
    {"No.s", "No.s", false},
    {kDateTime, "Date Time", false},
    {"Dose", "Dose [%]", true},
    {"TWA", "TWA [dB]", true},
}};

constexpr std::array<ListColumn, 3> kLevel{{
    {"No.s", "No.s", false},
    {kDateTime, "Date Time", false},
    {"dB", "dB [dB]", true},
}};

std::string squeezed(std::string_view text)
{
    std::string out;
    for (char c : text)
        if (std::isalnum(static_cast<unsigned char>(c)))
            out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

} // namespace

std::span<const ListColumn> listColumns(FileListKind window)
{
    switch (window) {
    case FileListKind::realTime: return kRealTime;
    case FileListKind::dose: return kDose;
    case FileListKind::level: return kLevel;
    }
    return kLevel;
}

std::optional<int> findListColumn(FileListKind window, std::string_view name)
{
    const std::string wanted = squeezed(name);
    if (wanted.empty())
        return std::nullopt;
    const auto columns = listColumns(window);
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (squeezed(columns[i].header) == wanted || squeezed(columns[i].exportName) == wanted)
            return static_cast<int>(i);
    return std::nullopt;
}

} // namespace km740
