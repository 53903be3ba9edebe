// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace km740 {

// What a panel, a list cell or a printed field shows where there is no value
// (no reading, not known, not computable).
inline constexpr char kNoValueText[] = "----";

} // namespace km740
