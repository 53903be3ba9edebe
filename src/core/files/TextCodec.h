// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The files are Windows-1252; the program's texts are UTF-8.

#include <string>
#include <string_view>

namespace km740 {

// UTF-8 to Windows-1252; characters the code page lacks become '?'.
std::string toWindows1252(std::string_view utf8);

// A line read from a file to UTF-8: valid UTF-8 is kept, anything else is
// taken as Windows-1252.
std::string fromFileText(std::string_view bytes);

bool isAscii(std::string_view text);

} // namespace km740
