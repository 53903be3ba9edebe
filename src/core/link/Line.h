// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace km740 {

// The meter's serial line: 19200 baud, 8 data bits, no parity, 1 stop bit,
// so a byte takes 10 bit times.
inline constexpr int kLineBaud = 19200;
inline constexpr double kLineBytesPerSecond = kLineBaud / 10.0;
inline constexpr double kLineByteSeconds = 1.0 / kLineBytesPerSecond;

} // namespace km740
