// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// One filed measurement: the facts read from its file, the labels a person
// gives it, its exposure results, and where its bytes came from.

#include "core/archive/ArchiveDates.h"
#include "core/archive/MeasurementFacts.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace km740 {

// What the user says about a measurement; all may be empty.
struct MeasurementLabels {
    std::string person;
    std::string sector;
    std::string company;
    std::string notes;
    bool operator==(const MeasurementLabels&) const = default;
};

// A measurement judged under one standard (criterion, threshold, exchange rate).
struct StandardResult {
    std::string name{};
    double criterion = 90.0;
    std::optional<double> threshold{}; // empty: no threshold
    double exchangeRate = 5.0;
    double dose = 0.0;           // %
    std::optional<double> twa{}; // empty while the dose is 0
    std::optional<double> projectedDose{};
    std::optional<double> projectedTwa{};
    std::optional<double> lavg{};
    std::optional<double> shiftDose{};
    std::optional<double> shiftTwa{};
};

// What the exposure analysis adds when a measurement is filed.
struct MeasurementAnalysis {
    std::vector<StandardResult> standards{};
    std::string analysisText{}; // the analysis file's text; empty when there is none
    // Replace the facts' figures (exclusions and the exposure time change them).
    std::optional<double> laeq{};
    std::optional<double> lmax{};
    std::optional<double> lmin{};
    std::optional<double> lex8h{};
};

struct Measurement {
    std::int64_t id = 0;
    std::string hash; // SHA-256 of the file's bytes, hex
    MeasurementFacts facts;
    MeasurementLabels labels;
    std::string fileName;   // the original file's name
    std::string sourcePath; // where it was filed from
    std::string filedAt;    // local time, ISO 8601
    std::int64_t bytes = 0;
    // The standard with the highest dose, and that dose; empty without results.
    std::string worstStandard;
    std::optional<double> worstDose;
    std::string analysisText;
    std::vector<StandardResult> standards; // filled by Archive::find only
};

// "Real Time Data" and the other file titles; the short names "recording",
// "list", "dbl" and "dbs" too (any case).
std::optional<DataFileKind> kindFromName(std::string_view name);

// What to list: every condition given must hold. Texts match anywhere in
// the field, ignoring the case of A-Z; dates are inclusive.
struct MeasurementFilter {
    std::string text{}; // person, sector, company or notes
    std::string person{};
    std::string sector{};
    std::string company{};
    std::optional<Day> from{};
    std::optional<Day> to{};
    std::optional<DataFileKind> kind{};
};

} // namespace km740
