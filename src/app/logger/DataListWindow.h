// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/files/HeaderText.h"
#include "app/logger/LoggerListWindow.h"

#include <array>

namespace km740 {

// Form DataList ("Data List "): a dose set, one row per record with its
// Dose and TWA; the report header texts above the list. Its load and unload
// set and clear DataListOpen.
class DataListWindow : public LoggerListWindow {
    Q_OBJECT
public:
    DataListWindow(AppState& state, FileChooser chooser, QWidget* panel = nullptr);
    ~DataListWindow() override;

    // LblMessage(0..2): name, sector, company.
    void setHeaderText(const HeaderText& text);
    QLabel* lblMessage(int i) const { return LblMessage[static_cast<std::size_t>(i)]; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    AppState& state_;
    std::array<QLabel*, 3> LblMessage{};
};

} // namespace km740
