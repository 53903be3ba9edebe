// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What an opened data file means to the derived-value core and to the
// printout: its dose parameters, its window and print kinds, its settings
// lines.

#include "core/files/DataFile.h"
#include "core/exposure/ExposureValues.h"
#include "core/exposure/PlotInputs.h"
#include "core/lists/PrintLayout.h"

namespace km740 {

// The threshold, criterion and exchange rate of a file, read as numbers.
DoseParameters doseParametersOf(const SettingsBlock& settings);

FileListKind fileListKindOf(DataFileKind kind);
PrintKind printKindOf(DataFileKind kind);

// The nine settings lines of a printout: the file list window's titles
// and the file's values.
std::array<PrintSetting, 9> printSettingsOf(const SettingsBlock& settings);

} // namespace km740
