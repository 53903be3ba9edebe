// SPDX-License-Identifier: GPL-3.0-or-later
// The meter reads nothing back after a write; these make the read that shows
// the write was heard, so a write to a meter that is not there never passes
// for a success.
#pragma once

#include "core/common/Result.h"
#include "core/link/MeterLink.h"

#include <string_view>

namespace km740 {

// One framed status frame ("F") from the meter after a write: proof that it
// is there and listening. The failure says what was written ("the preset").
Status confirmMeterAnswers(MeterLink& link, std::string_view written);

// How far the clock read back may stand from the time set, beyond the time
// the exchange took: the meter counts whole seconds.
inline constexpr double kClockTolerance = 2.0;

// Sets the meter clock ("L") and reads it back ("D"). Fails when the meter
// does not answer, or when its clock is not the time that was set.
Status setClockChecked(MeterLink& link, const DateTime& when);

} // namespace km740
