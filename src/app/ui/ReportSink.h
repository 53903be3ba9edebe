// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What a window hands to the exposure report: the data file, and the
// analysis it shows. The report windows register a sink (Keys.cpp); until
// then the "Report" keys stay disabled.

#include "core/archive/ArchiveDates.h"
#include "core/archive/Measurement.h"
#include "core/exposure/ExposureSummary.h"

#include <QString>

#include <functional>
#include <optional>
#include <vector>

class QWidget;

namespace km740 {

struct ReportOrder {
    QWidget* from = nullptr; // the window the key is on
    QString dataPath;
    // The analysis as the window shows it; empty: the analysis file beside
    // the data file, when there is one.
    std::optional<ExposureOptions> options;
};

using ReportSink = std::function<void(const ReportOrder&)>;

// A person's week, as the Week window shows it, for the report.
struct WeekReportOrder {
    QWidget* from = nullptr;
    std::string person;
    Day monday;
    std::vector<Measurement> measurements; // the person's, started that week
};

using WeekReportSink = std::function<void(const WeekReportOrder&)>;

} // namespace km740
