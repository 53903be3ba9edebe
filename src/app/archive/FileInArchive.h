// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/ui/ArchiveSink.h"
#include "core/archive/Measurement.h"

#include <functional>
#include <optional>

class QWidget;

namespace km740 {

class ArchiveFiling;

// "File in archive" of the file list windows: asks for the person, sector,
// company and notes, with the loaded header text filled in, then files the
// file with its analysis and tells the list window how it went.
class FileInArchive {
public:
    // The labels as edited; empty when cancelled. Tests answer it.
    using AskLabels = std::function<std::optional<MeasurementLabels>(QWidget*, const MeasurementLabels&)>;

    explicit FileInArchive(ArchiveFiling& filing);

    void setAskLabels(AskLabels ask) { ask_ = std::move(ask); }
    ArchiveSink sink();

private:
    void file(const ArchiveRequest& request);

    ArchiveFiling& filing_;
    AskLabels ask_;
};

} // namespace km740
