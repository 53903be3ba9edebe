// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The fixed words of the exposure report in the six languages of the
// manuals. Levels and units (LAeq, dB, Pa²h) are the same in every language.

#include "core/common/Regional.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace km740 {

enum class Language { en, fr, de, it, pt, es };

inline constexpr std::array<Language, 6> kLanguages = {Language::en, Language::fr, Language::de,
                                                       Language::it, Language::pt, Language::es};

// "en", "fr", ... and back (any letter case); empty for anything else.
std::string_view languageCode(Language language);
std::optional<Language> languageNamed(std::string_view code);
// The language's own name ("Deutsch").
std::string_view languageName(Language language);

// Numbers in an English report take a decimal point, in the others a comma.
Regional regionalOf(Language language);

enum class Word {
    title,
    // head
    name,
    sector,
    company,
    dataFile,
    start,
    end,
    duration,
    calibration,
    instrument,
    // the nine settings of a data file, in file order
    calibratedDb,
    timeWeight,
    freqWeight,
    thresholdLevel,
    criterionLevel,
    exchangeRate,
    peak,
    range,
    calibratedTime,
    // chart
    timeHistory,
    clockTime,
    criterionLine,
    actionLine,
    upperActionLine,
    limitLine,
    excluded,
    // summary
    summary,
    readings,
    readingsValue, // "%1 used, %2 left out"
    measuredTime,
    exposureTime,
    exposureTimeMeasured,
    exposureTimeSet,
    soundExposure,
    exposurePoints,
    timeAbove, // "%1" is the level
    standard,
    dosePercent,
    twa,
    projectedDose,
    projectedTwa,
    lavg,
    shiftDose,
    shiftTwa,
    judgement,
    // judgements
    notJudged,
    belowAction,
    belowLimit,
    aboveAction,
    aboveLowerAction,
    aboveUpperAction,
    aboveLimit,
    // how each regulation is judged: "%1" the standards, then the values
    legendDose,  // %1: action at %2, limit above %3; on the shift dose
    legendLimit, // %1: limit above %2; on the shift dose
    legendLex,   // %1: actions at %2 and %3, limit above %4; on LEX,8h
    // histogram
    distribution,
    percentOfTime,
    lnCaption,
    // exclusions
    exclusions,
    from,
    to,
    reason,
    nothingExcluded,
    // notes and foot
    notes,
    signature,
    date,
    page, // "%1 of %2"
    made, // "%1" the date
    // a person's week
    weekTitle,
    isoWeek,
    period,
    periodValue, // "%1 to %2"
    daysWorked,
    points,
    measurements,
    weeklyExposure,
    weekPoints,
    noDayWorked, // "%1" the person, "%2" the week
    notCounted,  // "%1" the measurements
    legendWeek,  // lower action %1, upper action %2, limit above %3
    weekFormula,
    count_
};

std::string_view word(Language language, Word w);

// Puts the arguments in place of "%1", "%2", ... of a pattern.
std::string fillIn(std::string_view pattern, std::initializer_list<std::string_view> arguments);

} // namespace km740
