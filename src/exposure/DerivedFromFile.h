// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The derived values and the printout of an opened data file: the glue
// between the file models and the derived-value core.

#include "common/Regional.h"
#include "common/Result.h"
#include "files/DataFile.h"
#include "exposure/ExposureValues.h"
#include "exposure/LevelDistribution.h"
#include "exposure/PlotInputs.h"
#include "files/PrintLayout.h"

#include <functional>

namespace km740 {

// The threshold, criterion and exchange rate of a file, read as numbers.
DoseParameters doseParametersOf(const SettingsBlock& settings);

FileListKind fileListKindOf(DataFileKind kind);
PrintKind printKindOf(DataFileKind kind);

// The nine settings lines of a printout: the file list window's titles
// and the file's values.
std::array<PrintSetting, 9> printSettingsOf(const SettingsBlock& settings);

// The level column of a file (real-time and level logger kinds) counted
// into a distribution; a dose logger file has no level column.
Result<LevelDistribution> levelDistributionOf(const DataFile& file);

// Calls `row` with each record of a real-time file and its derived cells,
// in one pass, and gives the number of level cells without a reading. Fails
// for a file whose exchange rate is not positive.
Result<std::uint64_t> deriveRealTime(const RealTimeFile& file, const Regional& regional,
                      const std::function<void(const LevelRecord&, const ExposureCells&)>& row);

// The printout source of a file list window showing `file`. The grids read
// `file`, which must outlive the returned source.
Result<PrintSource> printSourceOf(const DataFile& file, const Regional& regional);

} // namespace km740
