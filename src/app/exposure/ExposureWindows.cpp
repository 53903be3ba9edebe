// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/exposure/ExposureWindows.h"

#include "app/ui/AnalysisHub.h"
#include "app/ui/WindowContext.h"

namespace km740 {

ExposureWindows::ExposureWindows(WindowContext& context) : context_(context) {}

ExposureSink ExposureWindows::sink()
{
    return [this](const ExposureRequest& r) { show(r); };
}

ExposureSummaryWindow* ExposureWindows::window(const QString& dataPath) const
{
    const auto it = windows_.find(dataPath);
    return it == windows_.end() ? nullptr : it->second.data();
}

void ExposureWindows::show(const ExposureRequest& request)
{
    QPointer<ExposureSummaryWindow>& slot = windows_[request.dataPath];
    // A list in memory may hold other records now: its window starts anew.
    if (slot && request.dataPath.isEmpty())
        slot->close();
    if (slot && !request.dataPath.isEmpty()) {
        slot->raise();
        slot->activateWindow();
        return;
    }
    ExposureDialogs dialogs = dialogs_;
    if (context_.dialogs().message)
        dialogs.message = context_.dialogs().message;
    slot = context_.windows().adopt(new ExposureSummaryWindow(request, dialogs, context_.regional()));
    slot->setReportSink(reportSink_);
    slot->setAnalysisHub(hub_);
    slot->show();
}

} // namespace km740
