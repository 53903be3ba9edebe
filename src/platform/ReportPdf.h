// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/common/Result.h"
#include "core/report/ReportContent.h"
#include "core/report/WeekReport.h"

#include <QPageSize>

#include <filesystem>

namespace km740 {

// Writes the report as a PDF on `paper`, whole or not at all; gives the
// number of pages.
Result<int> writeReportPdf(const std::filesystem::path& target, const ReportContent& content,
                           QPageSize::PageSizeId paper);
Result<int> writeReportPdf(const std::filesystem::path& target, const WeekReportContent& content,
                           QPageSize::PageSizeId paper);

// The time-history chart alone as a PNG or SVG picture (by the extension).
Status writeReportChart(const std::filesystem::path& target, const ReportChart& chart);

} // namespace km740
