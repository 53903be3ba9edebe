// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/config/PresetRows.h"

#include <QPointer>
#include <QWidget>

#include <array>

class QButtonGroup;
class QLabel;
class QPushButton;
class QRadioButton;

namespace km740 {

struct AppState;
class WindowContext;
class PickCombo;

// Form Setup, "Recording Setup": picks the meter's dose preset and edits the
// nine user presets. Holds the meter (MeterInUse) from opening until it
// closes; OK writes the preset number and the whole user table.
class SetupWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int userRows = 9;
    static constexpr int editRow = 9;    // the edit row's combo index
    static constexpr int uniformRow = 8; // the Uniform row's label index

    // The toolbar key: reads "R" and "C", then shows the window filled.
    static void openFromMeter(WindowContext& context);

    SetupWindow(WindowContext& context, QWidget* parent = nullptr);
    ~SetupWindow() override;

    // Fills the window from the preset number and the user table.
    void fill(int presetIndex, const UserPresetTable& table);

    // Handlers, named after the controls.
    void onOptClick(int index);
    void onNewOptClick(int index);
    void onComboUniformClick();
    void onComboUserClick();
    void onCellClick(int row, PresetColumn column);
    void onCmdOKClick();

    // Controls, for the tests and the accessibility tree.
    QRadioButton* opt(int i) const { return opt_[static_cast<std::size_t>(i)]; }
    QRadioButton* newOpt(int i) const { return newOpt_[static_cast<std::size_t>(i)]; }
    PickCombo* combo(int row, PresetColumn c) const;
    QLabel* label(int row, PresetColumn c) const;
    PickCombo* comboUniform() const { return comboUniform_; }
    PickCombo* comboUser() const { return comboUser_; }
    QPushButton* cmdOK() const { return cmdOK_; }
    // The texts of user row k (0..8), averaging label included.
    PresetRow userRow(int k) const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildWindow();
    void setRow(int row, const PresetRow& texts);
    void showUniformRow(int preset);
    void setStandardMode(bool standard);
    void copyUserRowToEditRow(int k);

    WindowContext& context_;
    AppState& state_; // the context's
    std::array<QRadioButton*, presetCount> opt_{};
    std::array<QRadioButton*, 2> newOpt_{};
    QButtonGroup* optGroup_ = nullptr;
    QButtonGroup* newOptGroup_ = nullptr;
    PickCombo* comboUniform_ = nullptr;
    PickCombo* comboUser_ = nullptr;
    // [row][column]: rows 0..8 user rows, 9 the edit row.
    std::array<std::array<PickCombo*, presetColumnCount>, userRows + 1> combos_{};
    std::array<QString, userRows> average_{}; // CombomL(0..8)
    // [row][column]: rows 0..7 the standard table, 8 the Uniform row.
    std::array<std::array<QLabel*, presetColumnCount>, 9> labels_{};
    QPushButton* cmdOK_ = nullptr;
    bool writing_ = false;
};

} // namespace km740
