// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/common/Result.h"
#include "core/exposure/ExposureValues.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace km740 {

// A rule a dose is figured by: criterion level C (100 % for eight hours at
// it), threshold T (readings below it add no dose; none: every reading
// counts) and exchange rate Q (the dose doubles every Q dB).
struct Standard {
    std::string name;
    double criterion = 90.0;
    std::optional<double> threshold;
    double exchangeRate = 5.0;
    bool operator==(const Standard&) const = default;
};

// The meter's eight named presets, in the meter's order: "OSHA-80",
// "OSHA-90", "MSHA-80", "MSHA-90", "DOD", "ACGIH", "ISO85", "ISO90".
const std::array<Standard, 8>& presetStandards();

// The name that stands for the recording's own threshold, criterion and
// exchange rate.
inline constexpr std::string_view kFileStandard = "File";

// The standard a name stands for: a preset name (any letter case), "File"
// (the recording's own parameters, given as `file`), or a custom rule
// written "C/T/Q" ("90/80/5"; "85/none/3" for no threshold). A custom
// rule is named in that form with its numbers as read ("90/80/5").
// Fails with a message for anything else, for a criterion that is no level,
// a threshold that is no number and an exchange rate outside 1 to 10 dB.
Result<Standard> standardNamed(std::string_view name, const DoseParameters& file);

// The "C/T/Q" text of a standard ("90/80/5", "85/none/3").
std::string standardRule(const Standard& standard);

} // namespace km740
