// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/logger/LoggerListWindow.h"
#include "app/ui/ExposureSink.h"

namespace km740 {

// Form DataListdB ("Data List"): a level set, one row per sample with its
// level, and the set's Dose and TWA in GridSummary (a click there saves).
class DataListdBWindow : public LoggerListWindow {
    Q_OBJECT
public:
    DataListdBWindow(AppState& state, FileChooser chooser, QWidget* panel = nullptr);

    QTableView* gridSummary() const { return GridSummary; }
    QAction* exposureAction() const { return ExposureAction; }

    // Where the "Exposure" key goes; the key stays disabled without it.
    void setExposureSink(ExposureSink sink);
    // Toolbar key "Exposure": the set's exposure summary.
    void onExposureClicked();

protected:
    void showKindExtras(const DataFile& file) override;

private:
    QTableView* GridSummary = nullptr;
    QAction* ExposureAction = nullptr;
    ExposureSink exposureSink_;
    QStandardItemModel* summaryModel_ = nullptr;
};

} // namespace km740
