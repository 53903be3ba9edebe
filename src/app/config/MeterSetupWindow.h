// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/config/PresetRows.h"

#include <QWidget>

#include <array>

class QPushButton;

namespace km740 {

class WindowContext;
class PickCombo;

// Form MeterSetup, "Current Meter Setup": the meter's measurement settings as
// the last poll decoded them, with the panel's threshold and criterion. OK
// writes the settings byte with "_" and sets the panel's two levels.
class MeterSetupWindow : public QWidget {
    Q_OBJECT
public:
    // The toolbar key: one window, filled anew at every click.
    static void open(WindowContext& context);

    explicit MeterSetupWindow(WindowContext& context, QWidget* parent = nullptr);

    // Sets the combos from the last poll and the panel's levels.
    void fill();

    void onComboClick(PresetColumn column);
    void onCmdOKClick();

    PickCombo* combo(PresetColumn c) const { return combos_[static_cast<std::size_t>(c)]; }
    QPushButton* cmdOK() const { return cmdOK_; }

private:
    WindowContext& context_;
    std::array<PickCombo*, presetColumnCount> combos_{};
    QPushButton* cmdOK_ = nullptr;
    bool writing_ = false;
};

} // namespace km740
