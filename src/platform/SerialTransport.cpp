// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SerialTransport.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QSerialPort>

namespace km740 {

namespace {

// Off unless asked for: QT_LOGGING_RULES="km740.link.debug=true".
Q_LOGGING_CATEGORY(lcLink, "km740.link", QtInfoMsg)

// How long a write may take to leave the computer: the longest parameter
// block (96 bytes) needs 50 ms at 19200 baud.
constexpr int writeTimeoutMs = 2000;

void logBytes(char direction, const char* data, qsizetype size)
{
    if (lcLink().isDebugEnabled() && size > 0)
        qCDebug(lcLink).noquote() << direction << QByteArray(data, size).toHex(' ');
}

} // namespace

void SerialTransport::ensureQtCore()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "km740";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

SerialTransport::SerialTransport(std::string device) : device_(std::move(device)) {}

SerialTransport::~SerialTransport()
{
    close();
}

Status SerialTransport::open()
{
    close();
    port_ = std::make_unique<QSerialPort>();
    port_->setPortName(QString::fromStdString(device_));
    if (!port_->open(QIODevice::ReadWrite)) {
        auto f = portFailure("cannot open " + device_);
        port_.reset();
        return f;
    }
    const bool configured = port_->setBaudRate(QSerialPort::Baud19200) && port_->setDataBits(QSerialPort::Data8) &&
                            port_->setParity(QSerialPort::NoParity) && port_->setStopBits(QSerialPort::OneStop) &&
                            port_->setFlowControl(QSerialPort::NoFlowControl);
    if (!configured) {
        auto f = portFailure("cannot set 19200 8N1 on " + device_);
        close();
        return f;
    }
    return success();
}

void SerialTransport::close()
{
    if (port_) {
        if (port_->isOpen())
            port_->close();
        port_.reset();
    }
}

bool SerialTransport::isOpen() const
{
    return port_ && port_->isOpen() && !portGone();
}

bool SerialTransport::portGone() const
{
    switch (port_->error()) {
    case QSerialPort::ResourceError:
    case QSerialPort::DeviceNotFoundError:
    case QSerialPort::PermissionError:
    case QSerialPort::NotOpenError: return true;
    default: return false;
    }
}

Failure SerialTransport::portFailure(const std::string& what) const
{
    std::string reason = port_ ? port_->errorString().toStdString() : std::string("no port");
    return failure(FailureKind::io, what + ": " + reason);
}

Status SerialTransport::write(std::span<const std::uint8_t> bytes)
{
    if (!port_ || !port_->isOpen() || portGone())
        return portFailure("the port " + device_ + " is gone");
    const auto* data = reinterpret_cast<const char*>(bytes.data());
    const auto size = static_cast<qint64>(bytes.size());
    logBytes('>', data, size);
    if (port_->write(data, size) != size)
        return portFailure("cannot write to " + device_);
    // Push the bytes out now: the caller's pacing wait starts after this.
    while (port_->bytesToWrite() > 0) {
        if (!port_->waitForBytesWritten(writeTimeoutMs))
            return portFailure("cannot write to " + device_);
    }
    return success();
}

Result<Bytes> SerialTransport::takeReceived()
{
    if (!port_ || !port_->isOpen() || portGone())
        return portFailure("the port " + device_ + " is gone");
    // Let the port read what the driver holds, without waiting.
    port_->waitForReadyRead(0);
    if (portGone())
        return portFailure("the port " + device_ + " is gone");
    const QByteArray got = port_->readAll();
    logBytes('<', got.constData(), got.size());
    return Bytes(got.begin(), got.end());
}

} // namespace km740
