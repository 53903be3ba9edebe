// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What a window hands to the exposure report: the data file, and the
// analysis it shows. The report windows register a sink (Keys.cpp); until
// then the "Report" keys stay disabled.

#include "core/exposure/ExposureSummary.h"

#include <QString>

#include <functional>
#include <optional>

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

} // namespace km740
