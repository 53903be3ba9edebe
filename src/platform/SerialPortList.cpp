// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SerialPortList.h"

#include <QSerialPort>
#include <QSerialPortInfo>
#include <QStandardPaths>

namespace km740 {

QList<SerialPortEntry> listSerialPorts()
{
    QList<SerialPortEntry> out;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        SerialPortEntry e;
        e.device = info.systemLocation();
        e.description = info.description();
        e.manufacturer = info.manufacturer();
        if (info.hasVendorIdentifier() && info.hasProductIdentifier())
            e.usbIds = QStringLiteral("%1:%2")
                           .arg(info.vendorIdentifier(), 4, 16, QLatin1Char('0'))
                           .arg(info.productIdentifier(), 4, 16, QLatin1Char('0'));
        out.push_back(e);
    }
    return out;
}

ProbeResult probeSerialDevice(const std::string& device)
{
    QSerialPort port;
    port.setPortName(QString::fromStdString(device));
    port.setBaudRate(QSerialPort::Baud9600);
    port.setDataBits(QSerialPort::Data8);
    port.setParity(QSerialPort::NoParity);
    port.setStopBits(QSerialPort::OneStop);
    if (port.open(QIODevice::ReadWrite)) {
        port.close();
        return ProbeResult::present;
    }
    switch (port.error()) {
    case QSerialPort::PermissionError: // held by another program (or not ours to open)
    case QSerialPort::OpenError:       // already open
        return ProbeResult::present;
    default: return ProbeResult::absent;
    }
}

std::filesystem::path defaultPortMapFile()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/km740");
    return std::filesystem::path(folder.toStdString()) / "ports.ini";
}

} // namespace km740
