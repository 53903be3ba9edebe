// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/charts/PlotPoint.h"

#include "core/common/Regional.h"

#include <cmath>
#include <limits>

namespace km740 {

double plotPointOf(std::string_view cell)
{
    // List cells carry no thousands separator, so a comma can only be the
    // decimal one.
    if (!hasNumericPrefix(cell, true))
        return std::numeric_limits<double>::quiet_NaN();
    const double v = numericPrefix(cell, true);
    return std::isfinite(v) ? v : std::numeric_limits<double>::quiet_NaN();
}

} // namespace km740
