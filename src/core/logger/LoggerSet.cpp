// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/logger/LoggerSet.h"

#include "core/common/NoValue.h"

namespace km740 {

std::array<std::string, 4> directoryCells(const LoggerSet& set)
{
    return {std::to_string(set.number), set.startText,
            set.intervalSeconds ? std::to_string(*set.intervalSeconds) : kNoValueText,
            set.recordsKnown() ? std::to_string(set.recordCount) : kNoValueText};
}

std::optional<std::string> presetName(int number)
{
    static constexpr std::array<const char*, 8> names = {"OSHA-80", "OSHA-90", "MSHA-80", "MSHA-90",
                                                         "DOD",     "ACGIH",   "ISO85",   "ISO90"};
    if (number >= 0 && number <= 7)
        return std::string(names[static_cast<std::size_t>(number)]);
    if (number >= 8 && number <= 16)
        return "User" + std::to_string(number - 7);
    return std::nullopt;
}

} // namespace km740
