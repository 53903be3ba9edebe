// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/link/PortMap.h"

#include <QList>
#include <QString>

#include <filesystem>
#include <functional>

namespace km740 {

// A serial port the system has.
struct SerialPortEntry {
    QString device;      // "/dev/ttyUSB0"
    QString description; // "FT232R USB UART"
    QString manufacturer;
    QString usbIds; // "0403:6001", empty for a port that is not on USB
};
using SerialPortLister = std::function<QList<SerialPortEntry>()>;

// The ports QSerialPortInfo finds.
QList<SerialPortEntry> listSerialPorts();

// Opens the device at 9600 8N1 and closes it again: present when it opens or
// when it is held by another program; absent when it does not exist or fails
// for another reason.
ProbeResult probeSerialDevice(const std::string& device);

// ports.ini in the program's configuration folder.
std::filesystem::path defaultPortMapFile();

} // namespace km740
