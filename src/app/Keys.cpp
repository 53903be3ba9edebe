// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Keys.h"

#include "app/archive/FileInArchive.h"
#include "app/archive/MeasurementsWindow.h"
#include "app/charts/ChartWindows.h"
#include "app/config/ButtonsWindow.h"
#include "app/config/MeterSetupWindow.h"
#include "app/config/RecWindow.h"
#include "app/config/RtcWindow.h"
#include "app/config/SetupWindow.h"
#include "app/exposure/ExposureWindows.h"
#include "app/files/FileWindows.h"
#include "app/logger/AddTextWindow.h"
#include "app/logger/LoggerWindows.h"
#include "app/report/ReportWindows.h"
#include "app/ui/AnalysisHub.h"
#include "app/ui/WindowContext.h"

namespace km740 {

Keys::Keys(WindowContext& context)
    : context_(context), analyses_(std::make_unique<AnalysisHub>()), logger_(std::make_unique<LoggerWindows>(context)),
      files_(std::make_unique<FileWindows>(context)), charts_(std::make_unique<ChartWindows>(context)),
      exposure_(std::make_unique<ExposureWindows>(context)),
      fileInArchive_(std::make_unique<FileInArchive>(context.filing()))
{
    // A report carries the header text of the Add Text window while it is open.
    report_ = std::make_unique<ReportWindows>(context, [this]() -> std::optional<HeaderText> {
        const AddTextWindow* header = logger_->addText();
        if (!header || header->text() == HeaderText{})
            return std::nullopt;
        return header->text();
    });
    files_->setChartSink(charts_->sink());
    files_->setExposureSink(exposure_->sink());
    files_->setReportSink(report_->sink());
    exposure_->setReportSink(report_->sink());
    logger_->setExposureSink(exposure_->sink());
    files_->setArchiveSink(fileInArchive_->sink());
    // A measurement is filed under the report header text the user has loaded.
    context.filing().setHeaderText([this]() -> std::optional<HeaderText> {
        if (const AddTextWindow* text = logger_->addText())
            return text->text();
        return std::nullopt;
    });
    // The Plot, the file lists, the histogram and the Exposure Summary agree
    // on the spans a file's analysis leaves out.
    charts_->setAnalysisHub(analyses_.get());
    files_->setAnalysisHub(analyses_.get());
    exposure_->setAnalysisHub(analyses_.get());
}

Keys::~Keys()
{
    context_.filing().setHeaderText({});
}

ToolKeyHandlers Keys::handlers()
{
    WindowContext& c = context_;
    ToolKeyHandlers h;
    h.set(ToolKey::Open, [this] { files_->onOpenClick(); });
    h.set(ToolKey::RecOption, [&c] { RecWindow::openFromMeter(c); });
    h.set(ToolKey::Graph, [this] { charts_->onGraphKey(); });
    h.set(ToolKey::RecSetup, [&c] { SetupWindow::openFromMeter(c); });
    h.set(ToolKey::RTC, [&c] { RtcWindow::open(c); });
    h.set(ToolKey::Logger, [this] { logger_->onLoggerKey(); });
    h.set(ToolKey::Btn, [&c] { ButtonsWindow::open(c); });
    h.set(ToolKey::Setup, [&c] { MeterSetupWindow::open(c); });
    h.set(ToolKey::AddText, [this] { logger_->onAddTextKey(); });
    h.set(ToolKey::Measurements, [this] { openMeasurements(); });
    return h;
}

MeasurementsWindow* Keys::openMeasurements()
{
    if (auto* shown = context_.windows().shown<MeasurementsWindow>()) {
        shown->raise();
        shown->activateWindow();
        return shown;
    }
    MeasurementsWindow::Setup setup;
    setup.folder = context_.archiveFolder();
    setup.regional = context_.regional();
    setup.filing = &context_.filing();
    setup.weekReport = report_->weekSink();
    // A measurement opens from the archive's copy in its file list window.
    setup.openFile = [this](const Measurement& m, const std::filesystem::path& copy) {
        files_->open(QString::fromStdString(copy.string()), QString::fromStdString(m.fileName));
    };
    auto* window = context_.windows().adopt(new MeasurementsWindow(std::move(setup)));
    window->show();
    return window;
}

} // namespace km740
