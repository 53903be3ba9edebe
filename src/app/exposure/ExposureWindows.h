// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/exposure/ExposureSummaryWindow.h"
#include "app/ui/ExposureSink.h"
#include "app/ui/ReportSink.h"

#include <QPointer>
#include <QString>

#include <map>

namespace km740 {

class AnalysisHub;
class WindowContext;

// The "Exposure Summary" windows the lists open: one per data file (its
// "Exposure" key again brings that window forward), and one for a list held
// only in memory. The context's window owner owns them.
class ExposureWindows {
public:
    explicit ExposureWindows(WindowContext& context);

    // The way in for the list windows.
    ExposureSink sink();

    void setDialogs(ExposureDialogs dialogs) { dialogs_ = std::move(dialogs); }
    // Where the windows' "Report" goes.
    void setReportSink(ReportSink sink) { reportSink_ = std::move(sink); }
    // Where the windows share the spans left out with the Plot and the lists.
    void setAnalysisHub(AnalysisHub* hub) { hub_ = hub; }
    // The window open on `dataPath` (empty: the one of a list in memory).
    ExposureSummaryWindow* window(const QString& dataPath) const;

private:
    void show(const ExposureRequest& request);

    WindowContext& context_;
    ExposureDialogs dialogs_ = ExposureDialogs::desktop();
    ReportSink reportSink_;
    std::map<QString, QPointer<ExposureSummaryWindow>> windows_;
    QPointer<AnalysisHub> hub_;
};

} // namespace km740
