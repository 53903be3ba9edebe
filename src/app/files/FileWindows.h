// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/common/Regional.h"
#include "core/exposure/PlotInputs.h"
#include "app/ui/ArchiveSink.h"
#include "app/ui/AnalysisHub.h"
#include "app/ui/ChartSink.h"
#include "app/ui/ExposureSink.h"
#include "app/ui/ListPrint.h"
#include "app/ui/ReportSink.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <optional>

class QWidget;

namespace km740 {

class AnalysisHub;
class FileListWindow;
class WindowContext;

// The desktop dialogs of the file list windows: the printout's and
// "Export CSV". Tests replace them so nothing blocks.
struct FileListDialogs : PrintDialogs {
    // Where "Export CSV" writes, suggested name given: empty when cancelled.
    std::function<std::optional<QString>(QWidget*, const QString& suggested)> saveCsv;

    static FileListDialogs desktop();
};

// The file list windows of the program: "Open" reads a data file into the
// window of its kind, closing one of that kind first. The context's window
// owner owns the windows.
class FileWindows : public QObject {
    Q_OBJECT
public:
    explicit FileWindows(WindowContext& context);
    ~FileWindows() override;

    // "Open": asks for a file and opens it.
    void onOpenClick();
    // Opens `path` in the window of its kind, captioned with `caption` (the
    // file's own name when empty); false (and a message naming the file)
    // when it is no data file.
    bool open(const QString& path, const QString& caption = {});

    FileListWindow* window(FileListKind kind) const;

    void setDialogs(FileListDialogs dialogs) { dialogs_ = std::move(dialogs); }
    const FileListDialogs& dialogs() const { return dialogs_; }

    // The chart windows' way in; "Plot" and "Ln" stay disabled without it.
    void setChartSink(ChartSink sink);
    const ChartSink& chartSink() const { return chartSink_; }
    bool hasCharts() const { return chartSink_.showPlot || chartSink_.showHistogram; }

    // The exposure summary's way in; "Exposure" stays disabled without it.
    void setExposureSink(ExposureSink sink);
    const ExposureSink& exposureSink() const { return exposureSink_; }

    // The archive's way in; "File in archive" stays disabled without it.
    void setArchiveSink(ArchiveSink sink);
    const ArchiveSink& archiveSink() const { return archiveSink_; }
    // Where the lists find the spans their file's exposure analysis leaves
    // out; without it nothing is greyed.
    void setAnalysisHub(AnalysisHub* hub) { hub_ = hub; }
    AnalysisHub* analysisHub() const { return hub_.data(); }

    // The exposure report's way in; "Report" stays disabled without it.
    void setReportSink(ReportSink sink);
    const ReportSink& reportSink() const { return reportSink_; }

    WindowContext& context() const { return context_; }

signals:
    void chartsChanged();

private:
    WindowContext& context_;
    FileListDialogs dialogs_ = FileListDialogs::desktop();
    ChartSink chartSink_;
    ExposureSink exposureSink_;
    ArchiveSink archiveSink_;
    ReportSink reportSink_;
    QPointer<AnalysisHub> hub_;
    std::map<FileListKind, QPointer<FileListWindow>> windows_;
};

} // namespace km740
