// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The exposure results a data file is filed with: its summary under the
// analysis file beside it (standards, spans left out, exposure time) or,
// without one, under "File" and the eight presets.

#include "core/archive/Measurement.h"

#include <filesystem>

namespace km740 {

// Empty results for a file without levels (a dose logger set) or one the
// summary cannot read; filing goes on without them.
MeasurementAnalysis analyseForArchive(const std::filesystem::path& dataFile);

} // namespace km740
