// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The analysis file of a recording, "NAME.sonx.km740a" beside it: the
// standards chosen, the spans left out, the exposure time and the level of
// "time above", so that the windows and km740-tool come back to the same
// analysis. The data file itself is never changed. JSON:
//
//   {"format": "km740-exposure-analysis", "version": 1,
//    "data_file": "shift.sonx",
//    "standards": ["File", "OSHA-90", "90/80/5"],
//    "exclusions": [{"from": "2026-12-01T12:00:00", "to": "2026-12-01T12:30:00",
//                    "reason": "badge left on the compressor"}],    (reason optional)
//    "exposure_seconds": 36000,          (null: the time measured)
//    "above": 85}

#include "core/common/Result.h"
#include "core/exposure/ExposureSummary.h"

#include <filesystem>
#include <optional>
#include <string>

namespace km740 {

// "shift.sonx" -> "shift.sonx.km740a".
std::filesystem::path analysisPathFor(const std::filesystem::path& dataFile);

// The options kept in an analysis file. Fails (io) when it cannot be read
// and (data), naming what is wrong, when it is not an analysis file, a value
// has the wrong type, a time cannot be read or a span is bad.
Result<ExposureOptions> readAnalysis(const std::filesystem::path& path);

// The analysis file beside `dataFile`: empty when there is none, the options
// when it reads, else a failure naming the file and what is wrong with it.
Result<std::optional<ExposureOptions>> readAnalysisBeside(const std::filesystem::path& dataFile);

// Writes the options whole or not at all. `dataFileName` is recorded for
// the reader's sake.
Status writeAnalysis(const std::filesystem::path& path, const ExposureOptions& options,
                     const std::string& dataFileName);

// The text of an analysis file, and the options of such a text.
std::string analysisText(const ExposureOptions& options, const std::string& dataFileName);
Result<ExposureOptions> parseAnalysis(const std::string& text);

} // namespace km740
