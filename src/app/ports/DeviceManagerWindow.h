// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/link/PortMap.h"
#include "platform/SerialPortList.h"

#include <QDialog>

#include <filesystem>

class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace km740 {

// The serial ports the system has, with the COM number each one is, and a
// way to bind a port to a COM number. A binding is saved to ports.ini at
// once; a failed save is shown and the map stays as it was.
class DeviceManagerWindow : public QDialog {
    Q_OBJECT
public:
    DeviceManagerWindow(PortMap map, std::filesystem::path mapFile, SerialPortLister lister, QWidget* parent = nullptr);

    const PortMap& portMap() const { return map_; }
    // Binds the device of the selected row to COM n and saves the map.
    bool bindSelected(int com);

private:
    void refresh();
    void onRowChanged();

    PortMap map_;
    std::filesystem::path mapFile_;
    SerialPortLister lister_;
    QList<SerialPortEntry> ports_;

    QTableWidget* GridPorts = nullptr;
    QComboBox* ComboCOM = nullptr;
    QPushButton* CmdBind = nullptr;
    QPushButton* CmdRefresh = nullptr;
    QPushButton* CmdClose = nullptr;
    QLabel* LblStatus = nullptr;
};

} // namespace km740
