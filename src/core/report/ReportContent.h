// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Everything an exposure report shows, as texts and numbers in the report's
// language, before any page is laid out: the preview, the printer and the
// PDF all draw this one value.

#include "core/exposure/ExposureSummary.h"
#include "core/exposure/LevelDistribution.h"
#include "core/files/DataFile.h"
#include "core/files/HeaderText.h"
#include "core/report/Judgement.h"
#include "core/report/ReportChart.h"
#include "core/report/ReportWords.h"

#include <array>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace km740 {

struct ReportField {
    std::string label;
    std::string value;
};

// A row of the standards table: name, C/T/Q, dose, TWA, projected dose,
// projected TWA, Lavg, shift dose, shift TWA; then the verdict.
struct StandardLine {
    std::array<std::string, 9> cells;
    Verdict verdict = Verdict::notJudged;
    std::string judgement;
};

struct ExclusionLine {
    std::string number; // "1", "2", ... as the chart labels the span
    std::string from;
    std::string to;
    std::string readings;
    std::string reason;
};

// The level histogram: the share of the time used in each 1 dB class, and
// the statistical levels.
struct ReportHistogram {
    std::string title;
    std::string levelAxis;
    std::string shareAxis;
    double firstLevel = 0.0;     // low edge of the first class, dB
    std::vector<double> percent; // one per 1 dB class
    std::string lnCaption;
    std::vector<ReportField> ln; // "L1" .. "L99" and their levels
};

struct ReportContent {
    Language language = Language::en;
    std::string title;
    std::vector<ReportField> who;         // name, sector, company: those given
    std::vector<ReportField> measurement; // file, start, end, duration, calibration
    std::string settingsTitle;
    std::vector<ReportField> settings; // the nine settings of the file

    ReportChart chart;

    std::string summaryTitle;
    std::vector<ReportField> overall;
    std::array<std::string, 10> standardsHeader;
    std::vector<StandardLine> standards;
    std::vector<std::string> legend; // how each regulation is judged

    ReportHistogram histogram;

    std::string exclusionsTitle;
    std::array<std::string, 5> exclusionsHeader;
    std::vector<ExclusionLine> exclusions;
    std::string nothingExcluded;

    std::string notesTitle;
    std::string notes;
    std::string signature;
    std::string date;

    std::string pagePattern; // "Page %1 of %2"
    std::string made;        // "Made 2026-12-07 14:05"
    std::string program;     // "km740 0.1.0"
};

// What a report is made of, once the recording has been read: the language
// and the notes may change and the report be composed again without a read.
struct ReportParts {
    Language language = Language::en;
    std::string fileName; // without its folder
    DataFileKind kind = DataFileKind::realTimeData;
    SettingsBlock settings;
    std::optional<HeaderText> header;
    ExposureSummary summary;
    bool exposureTimeSet = false;                                         // Te given, not the time measured
    std::map<std::pair<LocalSeconds, LocalSeconds>, std::string> reasons; // why spans were left out
    ChartCollector readings;                                              // every dated reading, for the chart
    LevelDistribution used;                                               // the readings used, for the histogram
    std::string notes;
    std::string madeAt; // date and time the report is made
    std::string program;
};

// Columns of the chart across a page.
inline constexpr std::size_t kChartColumns = 1600;

ReportContent composeReport(const ReportParts& parts);

// A number as km740-tool prints it ("%.*f"), with the language's decimal
// separator; "----" for no value.
std::string reportNumber(std::optional<double> value, int decimals, const Regional& regional);
// "h:mm:ss".
std::string reportDuration(double seconds);
// "YYYY-MM-DD HH:MM:SS".
std::string reportTime(LocalSeconds t);

} // namespace km740
