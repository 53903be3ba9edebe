// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/ui/BackgroundTask.h"
#include "app/ui/ExposureSink.h"
#include "app/ui/ReportSink.h"
#include "core/common/Regional.h"
#include "core/exposure/ExposureSummary.h"

#include <QPointer>
#include <QWidget>

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <optional>

class QCheckBox;
class QDateTimeEdit;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableWidget;

namespace km740 {

class AnalysisHub;

// The desktop dialogs of the window; tests replace them so nothing blocks.
struct ExposureDialogs {
    // A message over the window.
    std::function<void(QWidget*, const QString&, bool critical)> message;
    // Another place for the analysis file, suggested path given; empty when cancelled.
    std::function<QString(QWidget*, const QString& suggested)> saveAs;

    static ExposureDialogs desktop();
};

// "Exposure Summary": one recording judged under several standards at once,
// with spans left out and the exposure time of the shift. Every change is
// worked out again off the window thread; a newer change cancels the
// older work, and the window shows the newest result.
class ExposureSummaryWindow : public QWidget {
    Q_OBJECT
public:
    ExposureSummaryWindow(ExposureRequest request, ExposureDialogs dialogs, const Regional& regional,
                          QWidget* parent = nullptr);
    ~ExposureSummaryWindow() override;

    // Shares the spans left out of a data file with the Plot and the file
    // lists: a span added or removed is saved beside the data file at once,
    // a change made in another window shows here, and "From Plot cursors"
    // takes a span from a Plot of the same file.
    void setAnalysisHub(AnalysisHub* hub);

    // What the controls say now.
    ExposureOptions options() const;
    // Puts options into the controls and works the summary out again.
    void setOptions(const ExposureOptions& options);
    // The last summary shown; empty before the first or after a failure.
    const std::optional<ExposureSummary>& summary() const { return summary_; }
    bool isWorking() const { return working_; }
    QString analysisPath() const;
    // Where "Report" goes; without it, or without a data file, it is disabled.
    void setReportSink(ReportSink sink);

    // Named controls, for the tests and the screen reader.
    QLabel* lblAnalysis() const { return lblAnalysis_; }
    QTableWidget* gridValues() const { return gridValues_; }
    QTableWidget* gridStandards() const { return gridStandards_; }
    QTableWidget* gridExclusions() const { return gridExclusions_; }
    QDateTimeEdit* txtFrom() const { return txtFrom_; }
    QDateTimeEdit* txtTo() const { return txtTo_; }
    QLineEdit* txtReason() const { return txtReason_; }
    QPushButton* cmdReport() const { return cmdReport_; }
    QPushButton* cmdFromPlot() const { return cmdFromPlot_; }

    // Handlers, named after the control and its event.
    void onCmdAddClick();
    void onCmdRemoveClick();
    void onCmdAddStandardClick();
    void onCmdFromPlotClick();
    void onCmdSaveClick();
    void onCmdReportClick();

signals:
    // A summary (or the reason there is none) is on show.
    void summaryShown();

private:
    void buildWindow();
    void loadAnalysis();
    void recompute();
    void showSummary(std::uint64_t generation, Result<ExposureSummary> result);
    void showExclusions(const std::vector<TimeSpan>& spans);
    void changeExclusions(std::vector<TimeSpan> spans);
    void followHub();
    void updateFromPlotKey();
    void addStandardItem(const QString& name, bool checked);
    QString dataFileName() const;
    // Tells how the analysis file was written; a failure offers another place.
    void analysisSaved(const ExposureOptions& options, Status written);
    QString number(const std::optional<double>& v, int decimals) const;

    ExposureRequest request_;
    ExposureDialogs dialogs_;
    Regional regional_;

    QLabel* lblAnalysis_ = nullptr;
    QLabel* lblWorking_ = nullptr;
    QTableWidget* gridValues_ = nullptr;
    QTableWidget* gridStandards_ = nullptr;
    QListWidget* lstStandards_ = nullptr;
    QLineEdit* txtCustom_ = nullptr;
    QCheckBox* chkExposureTime_ = nullptr;
    QDoubleSpinBox* txtExposureHours_ = nullptr;
    QDoubleSpinBox* txtAbove_ = nullptr;
    QTableWidget* gridExclusions_ = nullptr;
    QDateTimeEdit* txtFrom_ = nullptr;
    QDateTimeEdit* txtTo_ = nullptr;
    QLineEdit* txtReason_ = nullptr;
    QPushButton* cmdReport_ = nullptr;
    ReportSink reportSink_;
    QPushButton* cmdFromPlot_ = nullptr;

    QPointer<AnalysisHub> hub_;
    std::vector<TimeSpan> exclusions_;
    std::map<std::pair<LocalSeconds, LocalSeconds>, std::string> reasons_; // why spans were left out
    std::optional<ExposureSummary> summary_;
    bool filling_ = false; // controls being set from options: no recompute per control
    bool working_ = false;
    std::uint64_t generation_ = 0;
    BackgroundTask task_;
};

} // namespace km740
