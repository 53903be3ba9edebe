// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What a list window hands to the exposure summary: the recording, either
// as its data file on the disk or as the records it holds in memory. The
// exposure windows register a sink (Keys.cpp); until then the lists'
// "Exposure" key stays disabled.

#include "core/files/DataFile.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QWidget;

namespace km740 {

struct ExposureRequest {
    QWidget* from = nullptr; // the list window
    QString caption;         // the recording's name, for the window title
    // The data file, when the recording is one; its analysis file lies beside it.
    QString dataPath;
    // Otherwise the records in memory, of a file of this kind and settings.
    DataFileKind kind = DataFileKind::realTimeData;
    SettingsBlock settings;
    std::shared_ptr<const std::vector<LevelRecord>> records;
};

using ExposureSink = std::function<void(const ExposureRequest&)>;

} // namespace km740
