// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/recording/RecordingState.h"

namespace km740 {

bool LiveReading::fresh(double now, double maxAge) const
{
    return valid && polledAt >= 0.0 && now - polledAt <= maxAge;
}

} // namespace km740
