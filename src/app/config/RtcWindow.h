// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/link/Replies.h"

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;
class QTimer;

namespace km740 {

struct AppState;
class WindowContext;

// Form RTC: the meter's clock beside the computer's, and a button that sets
// the meter to the computer's time. Modal; holds the meter while open.
class RtcWindow : public QDialog {
    Q_OBJECT
public:
    static constexpr int timer1Interval = 500; // ms

    // The computer's local date and time; the desktop clock by default.
    using Now = std::function<DateTime()>;

    // The toolbar key.
    static void open(WindowContext& context);

    RtcWindow(WindowContext& context, Now now = {}, QWidget* parent = nullptr);
    ~RtcWindow() override;

    void onTimer1Timer();
    void onLblMeterTimeClick();
    void onLblPCTimeClick();
    void onCmdSetTimeClick();
    void onCmdExitClick();

    QPushButton* lblMeterTime() const { return lblMeterTime_; }
    QPushButton* lblPCTime() const { return lblPCTime_; }
    QLabel* lblNote() const { return lblNote_; }
    QPushButton* cmdSetTime() const { return cmdSetTime_; }
    QPushButton* cmdExit() const { return cmdExit_; }
    QTimer* timer1() const { return timer1_; }
    bool showsMeterTime() const { return meterShown_; }

    // Escape and close both end here: the window lets go of the meter.
    void done(int result) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    WindowContext& context_;
    AppState& state_; // the context's
    Now now_;
    QPushButton* lblMeterTime_ = nullptr;
    QPushButton* lblPCTime_ = nullptr;
    QLabel* lblNote_ = nullptr;
    QPushButton* cmdSetTime_ = nullptr;
    QPushButton* cmdExit_ = nullptr;
    QTimer* timer1_ = nullptr;
    bool meterShown_ = false; // the two display switches, off at opening
    bool pcShown_ = false;
    bool reading_ = false; // a "D" read is on its way
};

} // namespace km740
