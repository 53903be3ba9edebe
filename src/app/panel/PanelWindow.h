// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/common/Regional.h"
#include "app/panel/ListWindow.h"
#include "core/recording/RealTimeRecorder.h"

#include <QLocale>
#include <QMainWindow>
#include <QPointer>
#include <QString>

#include <functional>
#include <map>
#include <optional>

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

// The desktop dialogs the panel asks. Tests replace them so nothing blocks.
struct PanelDialogs {
    // The save dialog of the recording, opened in a folder: the full path,
    // or empty when cancelled.
    std::function<std::optional<QString>(QWidget*, const QString& folder)> saveFile;
    // "All the automatically recorded data in memory will be deleted!": OK?
    std::function<bool(QWidget*)> confirmErase;
    // The service code input box: the answer, or empty when cancelled.
    std::function<std::optional<QString>(QWidget*)> serviceCode;
    // A message the user must see (critical: "No Device Found!").
    std::function<void(QWidget*, const QString& text, bool critical)> message;
    // The open dialog of "Open": the full path, or empty when cancelled.
    std::function<std::optional<QString>(QWidget*)> openDataFile;
    // Opens a help file with the desktop's viewer.
    std::function<bool(const QString& path)> openFile;
    // The regional settings, read at every poll tick.
    std::function<QLocale()> locale;

    static PanelDialogs desktop();
};

// Form Panel: the live level and settings of the meter, the toolbar, the
// recording labels and the service controls.
class PanelWindow : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int timer1Interval = 250;  // live poll, ms
    static constexpr int timer2Interval = 1000; // sampling, ms
    static constexpr const char* serviceCode = "7395";

    // worker may be null: the port could not be set up, "No Device Found!".
    // The worker, recorder and state outlive the window.
    PanelWindow(AppState& state, MeterWorker* worker, RealTimeRecorder& recorder,
                PanelDialogs dialogs, QWidget* parent = nullptr);
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

    const Regional& regional() const { return regional_; }

    // What the windows opened from the toolbar share with the panel.
    AppState& state() const { return state_; }
    MeterWorker* worker() const { return worker_; }
    const PanelDialogs& dialogs() const { return dialogs_; }

    // A toolbar key whose window lives in its own folder: the key is enabled
    // and runs `handler` on a click while no window holds the meter.
    void setKeyHandler(const QString& key, std::function<void()> handler);

    // Handlers, named after the control and its event.
    void onToolbarButtonClick(const QString& key);
    void onTimer1Timer();
    void onTimer2Timer();
    void onLblCOMClick();
    void onLblCOMDblClick();
    void onCmdDelAnyClick();
    void onCombo6162Click();
    void onOptManualClick(int index);
    // "Erase" (the toolbar key and the Memory window's LblRemain): asks over
    // parent whether to delete the logger memory; on OK sends "S" and calls
    // sent. Cancel sends nothing.
    void eraseLogger(QWidget* parent = nullptr, const std::function<void()>& sent = {});

signals:
    // The window was closed: the program ends.
    void closed();
    // A live poll was shown; state().live holds what it read.
    void polled();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
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

    AppState& state_;
    QPointer<MeterWorker> worker_;
    RealTimeRecorder& recorder_;
    PanelDialogs dialogs_;
    Regional regional_;

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
    std::map<QString, std::function<void()>> keyHandlers_;

    bool saveStarting_ = false;  // "R"/"C" of a recording start on their way
    bool serviceSending_ = false;
};

} // namespace km740
