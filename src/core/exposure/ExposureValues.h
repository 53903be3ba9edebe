// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/common/Regional.h"
#include "core/common/Result.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace km740 {

// The dose parameters of a real-time file (its threshold, criterion and
// exchange rate lines), in dB.
struct DoseParameters {
    double threshold = 80.0;
    double criterion = 90.0;
    double exchangeRate = 5.0;
};

// The running values after one record, at full precision. Values that have
// no meaning yet (no reading counted, or no dose for TWA) are empty.
struct Exposure {
    std::uint64_t count = 0;     // readings counted so far (n)
    std::optional<double> leq;   // dB
    std::optional<double> sel;   // dB
    double dose = 0.0;           // %
    double soundExposure = 0.0;  // Pa²h
    std::optional<double> lepd;  // dB
    std::optional<double> twa;   // dB, empty while the dose is 0
    std::optional<double> ptwa;  // dB, empty while the dose is 0
    std::optional<double> pdose; // %
    std::optional<double> lavg;  // dB, empty while the dose is 0
};

// The derived cells of one row of the real-time file list, in column order:
// TWA, Dose, SEL, SE, LEP,d, Leq, PTWA, PDose, LAvg.
using ExposureCells = std::array<std::string, 9>;

// Headers of the twelve columns of the real-time file list.
const std::array<std::string_view, 12>& realTimeListHeaders();

// The dose and exposure figures of a per-second level recording, computed
// record by record in one pass: each record adds to the sums and the row's
// values come from the sums alone, so no earlier row is read again.
class ExposureValues {
public:
    // Fails for an exchange rate outside 1 to 10 dB, a criterion that is no
    // level or a threshold that is not a number.
    static Result<ExposureValues> create(const DoseParameters& parameters);

    // Adds one record of one second. A cell without a reading (see
    // readLevelCell) or a level no meter reports adds nothing and is counted
    // as skipped; the values stay those of the previous record.
    const Exposure& addCell(std::string_view levelCell);
    const Exposure& addLevel(double level);

    const Exposure& current() const { return current_; }
    std::uint64_t skipped() const { return skipped_; }
    const DoseParameters& parameters() const { return parameters_; }

private:
    explicit ExposureValues(const DoseParameters& parameters);

    DoseParameters parameters_;
    double q_ = 0.0;         // exchange rate / log10 2
    double energySum_ = 0.0; // sum of 10^(L/10)
    double doseSum_ = 0.0;   // sum of 2^((L - Lc) / Q)
    std::uint64_t skipped_ = 0;
    Exposure current_;
};

// The texts of the derived cells: "0.0" for Leq and SEL, cut to one decimal
// for LEP,d, TWA, PTWA and LAvg, the 7-character rule for Dose, SE and PDose;
// kNoValueText where a value is empty.
ExposureCells exposureCells(const Exposure& exposure, const Regional& regional);

} // namespace km740
