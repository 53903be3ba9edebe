// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/panel/ListWindow.h"
#include "app/ui/ToolKey.h"
#include "core/recording/RealTimeRecorder.h"

#include <QMainWindow>
#include <QPointer>
#include <QString>

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QTimer;

namespace km740 {

struct AppState;
struct LivePoll;
class MeterWorker;
class PanelToolbar;
class SettingsPanel;
class WindowContext;

// Form Panel: the live level and settings of the meter, the toolbar, the
// recording labels and the service controls.
class PanelWindow : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int timer1Interval = 250;  // live poll, ms
    static constexpr int timer2Interval = 1000; // sampling, ms
    static constexpr const char* serviceCode = "7395";

    // The context (its worker may be null: "No Device Found!") and the
    // recorder outlive the window. `keys` runs the keys whose windows live
    // elsewhere; "Save", "List" and "User" are the panel's own.
    PanelWindow(WindowContext& context, RealTimeRecorder& recorder, ToolKeyHandlers keys = {},
                QWidget* parent = nullptr);
    ~PanelWindow() override;

    // The caption texts of the window.
    static QString shortCaption(bool decimalComma);
    static QString longCaption(bool decimalComma);

    // The help files by OptManual index 0..5 (English, French, German,
    // Italian, Portuguese, Spanish).
    static QString helpFileName(int index);
    // The folder the manuals are looked for in: help/ beside the program,
    // else the installed share/km740/help.
    static QString helpFolder();

    // Window pieces, named as the controls they are.
    QLabel* lbldB() const { return lbldB_; }
    QLabel* lblCOM() const { return lblCOM_; }
    QLabel* lblRecording() const { return lblRecording_; }
    QLabel* lblCount() const { return lblCount_; }
    QLabel* lblFileName() const { return lblFileName_; }
    SettingsPanel* settingsPanel() const { return settings_; }
    PanelToolbar* toolbar() const { return toolbar_; }
    QGroupBox* picManual() const { return picManual_; }
    QPushButton* cmdDelAny() const { return cmdDelAny_; }
    QComboBox* combo6162() const { return combo6162_; }
    QTimer* timer1() const { return timer1_; }
    QTimer* timer2() const { return timer2_; }
    ListWindow* listWindow() const;

    // Handlers, named after the control and its event.
    void onToolbarButtonClick(ToolKey key);
    void onTimer1Timer();
    void onTimer2Timer();
    void onLblCOMClick();
    void onLblCOMDblClick();
    void onCmdDelAnyClick();
    void onCombo6162Click();
    void onOptManualClick(int index);

signals:
    // The window was closed: the program ends.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A recording file just closed, holding records: it goes into the archive.
    void fileClosedRecording(const std::string& path);
    void buildWindow();
    void load();
    void applyPoll(const LivePoll& poll);
    void onPortOpened();
    void onLinkLost();
    void onLinkRestored();
    void onDeviceGone(const QString& reason);
    void showNoDevice();
    void startFileRecording();
    void stopFileRecording();
    void showRecordingStopped(const QString& file, const QString& reason);
    void openListWindow();
    RecordingHeader recordingHeader() const;
    void restorePortLabel();
    void refreshRegional();

    WindowContext& context_;
    AppState& state_;
    RealTimeRecorder& recorder_;
    ToolKeyHandlers keys_;

    QLabel* lbldB_ = nullptr;
    QLabel* unitdB_ = nullptr;
    QLabel* lblCOM_ = nullptr;
    SettingsPanel* settings_ = nullptr;
    QLabel* lblRecording_ = nullptr;
    QLabel* lblCount_ = nullptr;
    QLabel* lblFileName_ = nullptr;
    QGroupBox* picManual_ = nullptr;
    QButtonGroup* optManual_ = nullptr;
    QPushButton* cmdDelAny_ = nullptr;
    QComboBox* combo6162_ = nullptr;
    QTimer* timer1_ = nullptr;
    QTimer* timer2_ = nullptr;
    PanelToolbar* toolbar_ = nullptr;
    QPointer<ListWindow> listWindow_; // the List window while it is open

    bool saveStarting_ = false; // "R"/"C" of a recording start on their way
    bool serviceSending_ = false;
};

} // namespace km740
