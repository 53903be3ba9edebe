// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The JSON pieces `exposure --json` and `archive show --json` share; later
// tools read these keys, so both commands write them from here.

#include <nlohmann/json.hpp>

#include <cmath>
#include <optional>
#include <string>

namespace km740::cli {

// A value that may be missing (a TWA while the dose is 0): null then.
inline nlohmann::ordered_json number(const std::optional<double>& v)
{
    return v && std::isfinite(*v) ? nlohmann::ordered_json(*v) : nlohmann::ordered_json(nullptr);
}

// One standard judged. Figures is the summary's result or the archived one:
// both carry dose, twa, projectedDose, projectedTwa, lavg, shiftDose, shiftTwa.
template <typename Figures>
nlohmann::ordered_json standardJson(const std::string& name, double criterion, const std::optional<double>& threshold,
                                    double exchangeRate, const Figures& f)
{
    return {
        {"name", name},
        {"criterion", criterion},
        {"threshold", number(threshold)},
        {"exchange_rate", exchangeRate},
        {"dose", f.dose},
        {"twa", number(f.twa)},
        {"projected_dose", number(f.projectedDose)},
        {"projected_twa", number(f.projectedTwa)},
        {"lavg", number(f.lavg)},
        {"shift_dose", number(f.shiftDose)},
        {"shift_twa", number(f.shiftTwa)},
    };
}

} // namespace km740::cli
