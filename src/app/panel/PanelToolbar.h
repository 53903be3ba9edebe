// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QToolBar>

#include <array>

class QAction;

namespace km740 {

// Toolbar1 of the main window: keyed buttons with tooltips and pictures, the
// twelve of the meter's program and "AddText" (the report header) after
// them. Clicks come out as the button's key.
class PanelToolbar : public QToolBar {
    Q_OBJECT
public:
    static constexpr int buttonCount = 13;

    explicit PanelToolbar(QWidget* parent = nullptr);

    // Button by key ("Save", "Open", ...), or nullptr.
    QAction* button(const QString& key) const;
    // Button n, counted from 1 as on the bar.
    QAction* button(int n) const;

    // Enables a key whose window exists; the others stay greyed out.
    void setAvailable(const QString& key, bool available);

    // Lost link or no device: of the meter's buttons 1 to 11 only "Open" is
    // left; the keys after them (help) need no meter and stay.
    void reduceToOpen();
    // Every button back.
    void showAll();

    // Button 1 shows whether a file recording runs.
    void setRecording(bool recording);

signals:
    void buttonClicked(const QString& key);

private:
    std::array<QAction*, buttonCount> buttons_{};
};

} // namespace km740
