// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/logger/LoggerListWindow.h"

namespace km740 {

// Form DataListdB ("Data List"): a level set, one row per sample with its
// level, and the set's Dose and TWA in GridSummary (a click there saves).
class DataListdBWindow : public LoggerListWindow {
    Q_OBJECT
public:
    DataListdBWindow(AppState& state, FileChooser chooser, QWidget* panel = nullptr);

    QTableView* gridSummary() const { return GridSummary; }

protected:
    void showKindExtras(const DataFile& file) override;

private:
    QTableView* GridSummary = nullptr;
    QStandardItemModel* summaryModel_ = nullptr;
};

} // namespace km740
