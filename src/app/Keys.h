// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/ui/ToolKey.h"

#include <memory>

namespace km740 {

class AnalysisHub;
class ChartWindows;
class ExposureWindows;
class FileInArchive;
class FileWindows;
class LoggerWindows;
class MeasurementsWindow;
class ReportWindows;
class WindowContext;

// The one place that hands each toolbar key to the window folder that
// serves it, and wires what the folders pass to each other (the file lists
// plot into the chart windows, the level lists open their exposure summary
// and file into the archive, the lists and the summary open the report).
// Made before the main window, outlives it.
class Keys {
public:
    explicit Keys(WindowContext& context);
    ~Keys();
    Keys(const Keys&) = delete;
    Keys& operator=(const Keys&) = delete;

    // What the main window runs on the keys it does not serve itself.
    ToolKeyHandlers handlers();

    // "Measurements": the archive's window, raised when it is open already.
    MeasurementsWindow* openMeasurements();

    LoggerWindows& logger() const { return *logger_; }
    FileWindows& files() const { return *files_; }
    ExposureWindows& exposure() const { return *exposure_; }
    FileInArchive& fileInArchive() const { return *fileInArchive_; }
    ReportWindows& report() const { return *report_; }
    AnalysisHub& analyses() const { return *analyses_; }

private:
    WindowContext& context_;
    // Before the folders: their windows may still call it as they close.
    std::unique_ptr<AnalysisHub> analyses_;
    std::unique_ptr<LoggerWindows> logger_;
    std::unique_ptr<FileWindows> files_;
    std::unique_ptr<ChartWindows> charts_;
    std::unique_ptr<ExposureWindows> exposure_;
    std::unique_ptr<FileInArchive> fileInArchive_;
    std::unique_ptr<ReportWindows> report_;
};

} // namespace km740
