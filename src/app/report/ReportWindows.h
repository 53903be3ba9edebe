// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/report/ReportPreview.h"
#include "app/ui/ReportSink.h"
#include "core/files/HeaderText.h"

#include <QPointer>

#include <functional>
#include <optional>

namespace km740 {

class WindowContext;

// The report previews the "Report" keys open: one per key press, each on
// the analysis as it stood then. The context's window owner owns them.
class ReportWindows {
public:
    // `headerText` gives the report header text loaded in the program, if any.
    ReportWindows(WindowContext& context, std::function<std::optional<HeaderText>()> headerText);

    // The way in for the file lists and the exposure summary.
    ReportSink sink();
    // The way in for the Week window.
    WeekReportSink weekSink();

    void setDialogs(ReportDialogs dialogs) { dialogs_ = std::move(dialogs); }
    // The preview opened last, while it is open.
    ReportPreview* last() const { return last_.data(); }

private:
    void show(const ReportOrder& order);
    void showWeek(const WeekReportOrder& order);

    WindowContext& context_;
    std::function<std::optional<HeaderText>()> headerText_;
    ReportDialogs dialogs_ = ReportDialogs::desktop();
    QPointer<ReportPreview> last_;
};

} // namespace km740
