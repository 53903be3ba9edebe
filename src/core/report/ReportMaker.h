// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The exposure report of a data file: its summary worked out in one read of
// the file, with the readings the chart and the histogram need gathered on
// the way.

#include "core/common/Result.h"
#include "core/exposure/ExposureSummary.h"
#include "core/files/HeaderText.h"
#include "core/report/ReportContent.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace km740 {

struct ReportRequest {
    std::filesystem::path dataFile;
    ExposureOptions options; // as the analysis file keeps them, reasons included
    std::optional<HeaderText> header;
    std::string notes;
    Language language = Language::en;
    std::string madeAt;  // "2026-12-07 14:05"
    std::string program; // "km740 0.1.0"
};

// A request for the file with nothing else given.
ReportRequest requestFor(const std::filesystem::path& dataFile);

// Reads the file once. Fails as the exposure summary does: a file that
// cannot be read, a dose logger set (no levels), a bad standard or span.
// `progress` hears the records read so far; `cancel` set stops the read.
Result<ReportParts> readReport(const ReportRequest& request, const std::function<void(std::int64_t)>& progress = {},
                               const std::atomic<bool>* cancel = nullptr);

// readReport, then composeReport.
Result<ReportContent> makeReport(const ReportRequest& request, const std::function<void(std::int64_t)>& progress = {},
                                 const std::atomic<bool>* cancel = nullptr);

} // namespace km740
