// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A person's week on the report: the days worked with their LEX,8h, points
// and measurements, the weekly LEX,w over five nominal days and the week's
// points, judged as the report judges LEX,8h. Composed from the archived
// measurements, so the preview, the printer and the PDF draw the same page.

#include "core/archive/ArchiveDates.h"
#include "core/archive/Measurement.h"
#include "core/files/HeaderText.h"
#include "core/report/Judgement.h"
#include "core/report/ReportContent.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace km740 {

struct WeekReportParts {
    Language language = Language::en;
    std::string person;                    // as asked for
    Day monday;                            // of the ISO week
    std::vector<Measurement> measurements; // the person's, started that week
    std::optional<HeaderText> header;      // empty: weekLabels()
    std::string notes;
    std::string madeAt;
    std::string program;
};

// A row of the days table: date, LEX,8h, points, the measurements (one line
// each: id, start, file), then the day's verdict.
struct WeekDayLine {
    std::array<std::string, 4> cells;
    Verdict verdict = Verdict::notJudged;
    std::string judgement;
};

struct WeekReportContent {
    Language language = Language::en;
    std::string title;
    std::vector<ReportField> who;  // name, sector, company: those known
    std::vector<ReportField> when; // ISO week, its seven days

    std::string daysTitle;
    std::array<std::string, 5> daysHeader;
    std::vector<WeekDayLine> days;
    std::string noDays;     // said instead of the table when no day was worked
    std::string notCounted; // measurements that week without a LEX,8h; empty when none

    std::string weekTitle;
    std::array<std::string, 4> weekHeader; // LEX,w, days worked, points, judgement
    std::array<std::string, 3> weekCells;
    Verdict verdict = Verdict::notJudged;
    std::string judgement;
    std::vector<std::string> legend; // how LEX,w is judged and worked out

    std::string notesTitle;
    std::string notes;
    std::string signature;
    std::string date;

    std::string pagePattern;
    std::string made;
    std::string program;
};

// The name, sector and company a week's page shows when none are given:
// the person as filed, and the sectors and companies of the measurements,
// each once.
HeaderText weekLabels(const std::string& person, const std::vector<Measurement>& measurements);

WeekReportContent composeWeekReport(const WeekReportParts& parts);

} // namespace km740
