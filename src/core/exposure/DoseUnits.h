// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The units the file lists' running values and the exposure summary share,
// so both judge a reading the same way.

namespace km740 {

inline constexpr double kLog10Of2 = 0.30102999566398119521;
// The working day dose and TWA are referred to.
inline constexpr double kEightHourSeconds = 28800.0;
// Dose of one second at the criterion level, in %: 28800 of them are 100 %.
inline constexpr double kDoseDivisor = 288.0;
// (20 µPa)² in Pa², spread over an hour: one second's exposure at 0 dB in Pa²h.
inline constexpr double kReferenceSecondPa2h = 4e-10 / 3600.0;

} // namespace km740
