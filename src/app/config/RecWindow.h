// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/config/RecordingTexts.h"

#include <QDialog>

#include <array>
#include <functional>

class QCheckBox;
class QGroupBox;
class QPushButton;
class QTimer;

namespace km740 {

class MeterLink;
struct AppState;
class WindowContext;
class PickCombo;

// Form REC, "Recording Option": the logging interval, the single recording
// period and the schedule of 16 timed recordings, with the three ways to
// start the meter recording. Modal; holds the meter while open.
class RecWindow : public QDialog {
    Q_OBJECT
public:
    static constexpr int rows = static_cast<int>(TimedTable::count);

    // The toolbar key: the five reads, then the window.
    static void openFromMeter(WindowContext& context);

    RecWindow(WindowContext& context, const RecordingRead& read, QWidget* parent = nullptr);
    ~RecWindow() override;

    // What the controls show now.
    RecordingTexts texts() const;

    void onTimer1Timer();
    void onComboSingleClick();
    void onCmdSetupClick();
    void onCmd16Click();
    void onCmdLimitClick();
    void onCmdStartRecClick();

    PickCombo* comboIntv() const { return comboIntv_; }
    PickCombo* comboSingle() const { return comboSingle_; }
    PickCombo* comboRepeat() const { return comboRepeat_; }
    PickCombo* field(int row, ScheduleField f) const;
    QCheckBox* ckEnable(int row) const { return ckEnable_[static_cast<std::size_t>(row)]; }
    QGroupBox* frameSchedule() const { return frameSchedule_; }
    QPushButton* cmdSetup() const { return cmdSetup_; }
    QPushButton* cmd16() const { return cmd16_; }
    QPushButton* cmdLimit() const { return cmdLimit_; }
    QPushButton* cmdStartRec() const { return cmdStartRec_; }
    QTimer* timer1() const { return timer1_; }

    // Escape and close both end here: the window lets go of the meter.
    void done(int result) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildWindow();
    void applyScheduleMode();
    // Runs a write on the meter with the buttons held; closes after it when asked.
    void write(std::function<Status(MeterLink&)> work, bool closeAfter);
    void refuse(const Failure& why);

    WindowContext& context_;
    AppState& state_; // the context's
    RecordingRead read_;
    PickCombo* comboIntv_ = nullptr;
    PickCombo* comboSingle_ = nullptr;
    PickCombo* comboRepeat_ = nullptr;
    std::array<std::array<PickCombo*, scheduleFieldCount>, TimedTable::count> fields_{};
    std::array<QCheckBox*, TimedTable::count> ckEnable_{};
    QGroupBox* frameSchedule_ = nullptr;
    QPushButton* cmdSetup_ = nullptr;
    QPushButton* cmd16_ = nullptr;
    QPushButton* cmdLimit_ = nullptr;
    QPushButton* cmdStartRec_ = nullptr;
    QTimer* timer1_ = nullptr;
    bool writing_ = false;
};

} // namespace km740
