// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace km740 {

// A short run of decimal digits ("3", "255") as its value: nothing when the
// text is empty, longer than `most` digits or holds anything but 0-9.
inline std::optional<int> decimalDigits(std::string_view text, std::size_t most)
{
    if (text.empty() || text.size() > most)
        return std::nullopt;
    int n = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        n = n * 10 + (c - '0');
    }
    return n;
}

} // namespace km740
