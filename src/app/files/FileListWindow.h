// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/common/Regional.h"
#include "core/exposure/LevelDistribution.h"
#include "core/exposure/PlotInputs.h"
#include "app/ui/BackgroundTask.h"
#include "app/ui/ChartSink.h"
#include "core/lists/FileListTable.h"

#include <QMainWindow>
#include <QString>

#include <memory>

class QAction;
class QGroupBox;
class QLabel;
class QPushButton;
class QTableView;
class QTableWidget;
class QToolBar;

namespace km740 {

class FileListModel;
class FileWindows;
class SettingsPanel;

// Forms FileList (dose logger sets), FileListdB (level logger sets) and
// FileListReal (real-time files, with the derived columns): one window
// class, its kind chosen by the file's first line. It reads its file off the
// window thread, showing the count read in the caption, and can be
// cancelled; then shows the settings, the pause list, the summary and the
// records, and plots, counts, prints and exports them.
class FileListWindow : public QMainWindow {
    Q_OBJECT
public:
    // `caption` names the recording (the file's own name when empty): a copy
    // from the archive carries its original name.
    FileListWindow(FileWindows& windows, FileListKind kind, const QString& path, const Regional& regional,
                   const QString& caption = {});
    ~FileListWindow() override;

    // The form's name: "FileList", "FileListdB" or "FileListReal".
    static QString formName(FileListKind kind);

    void startReading();
    bool isReading() const { return reader_.running() > 0; }
    // The rows left out are being worked out after a change of the analysis.
    bool isApplyingAnalysis() const { return analysis_.running() > 0; }
    FileListKind kind() const { return kind_; }
    const FileListTable* table() const { return table_.get(); }
    const ReadCounts& readCounts() const { return counts_; }

    SettingsPanel* settingsPanel() const { return settings_; }
    QTableView* gridN() const { return gridN_; }
    QTableWidget* gridPause() const { return gridPause_; }
    QTableWidget* gridSummary() const { return gridSummary_; }
    QLabel* plPause() const { return plPause_; }
    QLabel* lblMessage() const { return lblMessage_; }
    QGroupBox* picResolution() const { return picResolution_; }
    QAction* action(const QString& key) const;

    // Handlers, named after the control and its event.
    void onToolbar1Click(const QString& key);
    void onGridNClick(int column);
    void onCmd01dBClick();
    void onCmd1dBClick();
    void onCmdCancelClick();

signals:
    // The read ended (filled, cancelled or refused).
    void readFinished();
    // The rows left out of the exposure analysis are shown anew.
    void leftOutShown();

private:
    void buildWindow();
    void showHeader();
    void onReadDone(Result<LoadedTable> result);
    void updateChartKeys();
    void showDistribution(Resolution resolution);
    void showExposure();
    void fileInArchive();
    void showReport();
    void applyAnalysis();
    void showLeftOut(std::uint64_t generation,
                     std::optional<std::pair<ExcludedRows, std::vector<FileListTable::RunningRow>>> result);
    HistogramRequest histogramRequest(Resolution resolution);
    void printList();
    void exportCsv();
    void setBusyCaption(const QString& text);

    FileWindows& windows_;
    FileListKind kind_;
    QString path_;
    QString title_;
    Regional regional_;

    QToolBar* toolbar1_ = nullptr;
    SettingsPanel* settings_ = nullptr;
    QLabel* plPause_ = nullptr;
    QTableWidget* gridPause_ = nullptr;
    QTableWidget* gridSummary_ = nullptr;
    QTableView* gridN_ = nullptr;
    FileListModel* model_ = nullptr;
    QGroupBox* picResolution_ = nullptr;
    QLabel* lblMessage_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;

    std::shared_ptr<FileListTable> table_;
    ReadCounts counts_;
    BackgroundTask reader_;
    BackgroundTask analysis_; // works out the rows left out and the running columns without them
    std::uint64_t analysisGeneration_ = 0;
    std::optional<Resolution> histogram_; // the resolution last counted for the histogram
    QString readMessage_;
    bool printing_ = false;
};

} // namespace km740
