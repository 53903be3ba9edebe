// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/link/PortMap.h"
#include "platform/SerialPortList.h"

#include <QWidget>

#include <filesystem>

class QComboBox;
class QProgressBar;
class QPushButton;

namespace km740 {

// The start window (form Port, "COM Port"): the user picks "COM  1".."COM  16",
// lets AutoScan list the ports that open, or binds a device to a COM number
// in the Device Manager window. OK reports the chosen number and its device.
class PortWindow : public QWidget {
    Q_OBJECT
public:
    struct Options {
        std::filesystem::path mapFile; // ports.ini; defaultPortMapFile() when empty
        PortProber prober;             // probeSerialDevice when empty
        SerialPortLister lister;       // listSerialPorts when empty
        int simulatedPort = 0;         // this COM number is the in-process meter: always present
    };

    explicit PortWindow(int portNumber, QWidget* parent = nullptr);
    PortWindow(int portNumber, Options options, QWidget* parent = nullptr);

    int portNumber() const { return portNumber_; }
    const PortMap& portMap() const { return map_; }
    bool scanning() const { return scanNext_ > 0; }

signals:
    // OK: the chosen number (unchanged when the text names no port) and the
    // device it maps to (empty for 0).
    void accepted(int portNumber, const QString& device);

private:
    void onBtnResetClicked();
    void onBtnAutoScanClicked();
    void onBtnDeviceManagerClicked();
    void onCmdOKClicked();
    void scanStep();
    void finishScan();

    Options options_;
    PortMap map_;
    int portNumber_ = 0;
    int scanNext_ = 0; // COM number the scan tries next; 0 when idle
    std::vector<int> found_;

    QComboBox* TxtCOM = nullptr;
    QPushButton* BtnAutoScan = nullptr;
    QPushButton* BtnReset = nullptr;
    QPushButton* BtnDeviceManager = nullptr;
    QPushButton* CmdOK = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
};

} // namespace km740
