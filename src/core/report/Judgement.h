// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Each standard's result judged against the values of the regulation it
// belongs to:
//   OSHA-80, OSHA-90, MSHA-80, MSHA-90: action 50 % (85 dB TWA), limit 100 % (90 dB TWA);
//   DOD, ACGIH: limit 100 % (85 dB TWA);
//   ISO85, ISO90: lower action 80, upper action 85, limit 87 dB LEX,8h;
//   "File" and custom rules: action 50 %, limit 100 % of their own criterion.
// A dose is judged as the shift dose (the dose scaled to the exposure time).
// An action value is reached at or above it, a limit only above it.

#include "core/exposure/ExposureSummary.h"
#include "core/exposure/Standards.h"
#include "core/report/ReportWords.h"

#include <optional>
#include <vector>

namespace km740 {

enum class Verdict {
    notJudged, // no reading: nothing to judge
    belowAction,
    belowLimit, // a regulation with a limit only
    aboveAction,
    aboveLowerAction, // ISO/EU
    aboveUpperAction, // ISO/EU
    aboveLimit,
};

// What a regulation compares: the shift dose (%) or LEX,8h (dB).
enum class Basis { shiftDose, lex8h };

struct Regulation {
    Basis basis = Basis::shiftDose;
    std::optional<double> action;      // the (lower) action value
    std::optional<double> upperAction; // ISO/EU only
    double limit = 100.0;
    bool operator==(const Regulation&) const = default;
};

Regulation regulationOf(const Standard& standard);

Verdict judge(const Regulation& regulation, const StandardExposure& result, std::optional<double> lex8h);
// The value the regulation compares (a shift dose or a level) judged alone.
Verdict judgeValue(const Regulation& regulation, std::optional<double> value);

// A person's week: LEX,w judged against the ISO/EU values of LEX,8h
// (lower action 80, upper action 85, limit 87 dB), which the weekly value
// stands in for where the daily exposure varies from day to day.
Regulation weeklyRegulation();

// 0 below every value (or not judged), 1 an action value, 2 the upper action
// value, 3 the limit: the strength of the mark the report gives the verdict.
int severityOf(Verdict verdict);
Word wordOf(Verdict verdict);

// The level in dB a value of the regulation stands for under the standard:
// a dose of 50 % under a 90 dB criterion and a 5 dB exchange rate is 85 dB;
// an LEX,8h value is its own level.
double levelOf(const Standard& standard, Basis basis, double value);

// A horizontal line of the time-history chart.
struct LevelLine {
    double level = 0.0;
    bool criterion = false;
    bool action = false;
    bool limit = false;
    bool operator==(const LevelLine&) const = default;
};

// The criteria of the standards and the levels their action and limit
// values stand for, one line per level (to 0.1 dB), lowest first.
std::vector<LevelLine> levelLines(const std::vector<Standard>& standards);

} // namespace km740
