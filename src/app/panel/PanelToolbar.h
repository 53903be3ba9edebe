// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/ui/ToolKey.h"

#include <QToolBar>

#include <array>

class QAction;

namespace km740 {

// Toolbar1 of the main window: the keyed buttons of the toolKeys table, with
// their tooltips and pictures. Clicks come out as the button's key.
class PanelToolbar : public QToolBar {
    Q_OBJECT
public:
    static constexpr int buttonCount = static_cast<int>(toolKeyCount);

    explicit PanelToolbar(QWidget* parent = nullptr);

    QAction* button(ToolKey key) const;
    // Button n, counted from 1 as on the bar.
    QAction* button(int n) const;

    // Enables a key whose window exists; the others stay greyed out.
    void setAvailable(ToolKey key, bool available);

    // Lost link or no device: only the keys the table keeps in lost link stay.
    void reduceToLostLink();
    // Every button back.
    void showAll();

    // Button 1 shows whether a file recording runs.
    void setRecording(bool recording);

signals:
    void buttonClicked(ToolKey key);

private:
    std::array<QAction*, toolKeyCount> buttons_{};
};

} // namespace km740
