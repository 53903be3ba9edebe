// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The ".nse" / ".cna" report header text files: name, sector and company,
// one line each.

#include "core/common/Result.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace km740 {

struct HeaderText {
    std::string name;
    std::string sector;
    std::string company;
    bool operator==(const HeaderText&) const = default;
};

// The three lines as written (Windows-1252, CR LF). A text holding a comma,
// a double quote or blanks at its ends is put in double quotes (inner quotes
// doubled), so that it reads back as typed instead of splitting.
std::string headerTextBytes(const HeaderText& text);

// Reads fields as a comma-separated reader does (a field ends at a comma or
// a line end, blanks around it are dropped, double quotes are removed) and
// takes them three at a time; the last complete triple wins. A file without
// one complete triple is a data failure.
Result<HeaderText> parseHeaderText(std::string_view bytes);

Status writeHeaderText(const std::filesystem::path& target, const HeaderText& text);
Result<HeaderText> readHeaderText(const std::filesystem::path& path);

} // namespace km740
