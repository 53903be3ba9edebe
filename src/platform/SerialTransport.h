// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/link/Transport.h"

#include <memory>
#include <string>

class QSerialPort;

namespace km740 {

// The meter's serial port: 19200 baud, 8 data bits, no parity, 1 stop bit, no
// flow control. Received bytes are pulled from the port on every
// takeReceived(), so no event loop is needed. open(), close() and every call
// between them must come from one thread: the port object lives there, so a
// worker closes the port on its own thread before it ends.
class SerialTransport final : public Transport {
public:
    explicit SerialTransport(std::string device);
    ~SerialTransport() override;
    SerialTransport(const SerialTransport&) = delete;
    SerialTransport& operator=(const SerialTransport&) = delete;

    Status open() override;
    void close() override;
    bool isOpen() const override;
    Status write(std::span<const std::uint8_t> bytes) override;
    Result<Bytes> takeReceived() override;

    const std::string& device() const { return device_; }

    // Programs without a Qt application object (command-line tools, plain
    // tests) call this once on their main thread before using a port.
    static void ensureQtCore();

private:
    Failure portFailure(const std::string& what) const;
    bool portGone() const;

    std::string device_;
    std::unique_ptr<QSerialPort> port_;
};

} // namespace km740
