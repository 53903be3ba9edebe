// SPDX-License-Identifier: GPL-3.0-or-later
// A pseudo-terminal that stands in for a serial port: the program opens
// device(), the test holds the far end, where the meter would be.
#pragma once

#include "core/link/Transport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace km740::test {

class PtyPeer {
public:
    PtyPeer()
    {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
            return;
        device_ = ::ptsname(master_);
        termios t{};
        ::tcgetattr(master_, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(master_, TCSANOW, &t);
    }
    ~PtyPeer() { vanish(); }
    PtyPeer(const PtyPeer&) = delete;
    PtyPeer& operator=(const PtyPeer&) = delete;

    // Empty when no pseudo-terminal could be made.
    const std::string& device() const { return device_; }

    void send(const Bytes& bytes)
    {
        ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    // Up to `count` bytes, waiting at most 10 s for them.
    Bytes receive(std::size_t count)
    {
        Bytes got;
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (got.size() < count && std::chrono::steady_clock::now() < until) {
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, 50) > 0 && (p.revents & POLLIN)) {
                std::uint8_t buf[512];
                const ssize_t n = ::read(master_, buf, sizeof buf);
                if (n > 0)
                    got.insert(got.end(), buf, buf + n);
            }
        }
        return got;
    }
    termios lineSettings() const
    {
        termios t{};
        ::tcgetattr(master_, &t);
        return t;
    }
    // The device goes away, as an unplugged adapter does.
    void vanish()
    {
        if (master_ >= 0)
            ::close(master_);
        master_ = -1;
    }

private:
    int master_ = -1;
    std::string device_;
};

} // namespace km740::test
