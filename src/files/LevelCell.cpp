// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/LevelCell.h"

#include "common/Regional.h"

#include <cmath>

namespace km740 {

std::optional<double> readLevelCell(std::string_view cell)
{
    if (cell.find('-') != std::string_view::npos)
        return std::nullopt;
    if (!hasNumericPrefix(cell, true))
        return std::nullopt;
    double level = numericPrefix(cell, true);
    if (!std::isfinite(level))
        return std::nullopt;
    return level;
}

} // namespace km740
