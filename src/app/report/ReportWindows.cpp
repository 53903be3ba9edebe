// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/report/ReportWindows.h"

#include "app/ui/QtText.h"
#include "app/ui/WindowContext.h"
#include "core/exposure/ExposureAnalysis.h"

#include <QFile>
#include <QFileInfo>

namespace km740 {

ReportWindows::ReportWindows(WindowContext& context, std::function<std::optional<HeaderText>()> headerText)
    : context_(context), headerText_(std::move(headerText))
{
}

ReportSink ReportWindows::sink()
{
    return [this](const ReportOrder& order) { show(order); };
}

WeekReportSink ReportWindows::weekSink()
{
    return [this](const WeekReportOrder& order) { showWeek(order); };
}

void ReportWindows::showWeek(const WeekReportOrder& order)
{
    ReportDialogs dialogs = dialogs_;
    if (context_.dialogs().message)
        dialogs.message = context_.dialogs().message;
    WeekReportParts week;
    week.person = order.person;
    week.monday = order.monday;
    week.measurements = order.measurements;
    last_ = context_.windows().adopt(ReportPreview::showWeekReport(std::move(week), std::move(dialogs), order.from));
}

void ReportWindows::show(const ReportOrder& order)
{
    ReportDialogs dialogs = dialogs_;
    if (context_.dialogs().message)
        dialogs.message = context_.dialogs().message;

    const std::filesystem::path dataFile = fsPath(order.dataPath);
    ReportRequest request = requestFor(dataFile);
    if (order.options) {
        request.options = *order.options;
    } else {
        // A list window reports the analysis saved beside its file, as
        // km740-tool report does.
        auto saved = readAnalysisBeside(dataFile);
        if (saved && *saved)
            request.options = std::move(**saved);
        else if (!saved && dialogs.message)
            dialogs.message(
                order.from,
                QObject::tr("The analysis file %1 was left aside; the report shows the whole "
                            "recording: %2")
                    .arg(QFileInfo(QFile::decodeName(analysisPathFor(dataFile).string().c_str())).fileName(),
                         q(saved.error().message)),
                false);
    }
    if (headerText_)
        request.header = headerText_();

    last_ = context_.windows().adopt(ReportPreview::showReport(std::move(request), std::move(dialogs), order.from));
}

} // namespace km740
