// SPDX-License-Identifier: GPL-3.0-or-later
// SerialTransport on a pseudo-terminal whose other end this test holds.
#include "link/MeterLink.h"
#include "link/SerialTransport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

using namespace km740;

namespace {

// The far end of a pty: what the meter would see.
class PtyPeer {
public:
    PtyPeer()
    {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0)
            return;
        device_ = ptsname(master_);
        termios t{};
        tcgetattr(master_, &t);
        cfmakeraw(&t);
        tcsetattr(master_, TCSANOW, &t);
    }
    ~PtyPeer() { vanish(); }

    const std::string& device() const { return device_; }
    void send(const Bytes& bytes) { ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size())); }
    Bytes receive(std::size_t count)
    {
        Bytes got;
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (got.size() < count && std::chrono::steady_clock::now() < until) {
            pollfd p{master_, POLLIN, 0};
            if (poll(&p, 1, 50) > 0 && (p.revents & POLLIN)) {
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
        tcgetattr(master_, &t);
        return t;
    }
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

Bytes takeAtLeast(Transport& t, std::size_t count)
{
    Bytes got;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (got.size() < count && std::chrono::steady_clock::now() < until) {
        auto r = t.takeReceived();
        if (!r)
            break;
        got.insert(got.end(), r->begin(), r->end());
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return got;
}

} // namespace

TEST(SerialTransport, CarriesEveryByteValueBothWaysAt19200_8N1)
{
    SerialTransport::ensureQtCore();
    PtyPeer peer;
    ASSERT_FALSE(peer.device().empty());
    SerialTransport port(peer.device());
    ASSERT_TRUE(port.open().ok());

    const termios t = peer.lineSettings();
    EXPECT_EQ(cfgetospeed(&t), B19200);
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_FALSE(t.c_cflag & (PARENB | CSTOPB | CRTSCTS));
    EXPECT_FALSE(t.c_iflag & (IXON | IXOFF | ICRNL | ISTRIP));

    Bytes all(256);
    for (int i = 0; i < 256; ++i)
        all[i] = static_cast<std::uint8_t>(i);
    ASSERT_TRUE(port.write(all).ok());
    EXPECT_EQ(peer.receive(256), all);
    peer.send(all);
    EXPECT_EQ(takeAtLeast(port, 256), all);
    EXPECT_TRUE(port.takeReceived()->empty());
}

TEST(SerialTransport, VanishedPortEndsTheLostLinkLoop)
{
    SerialTransport::ensureQtCore();
    EXPECT_FALSE(SerialTransport("/dev/km740-no-such-port").open().ok());

    PtyPeer peer;
    SerialTransport port(peer.device());
    ASSERT_TRUE(port.open().ok());
    SteadyClock clock;
    MeterLink link(port, clock);
    struct Events : LinkEvents {
        bool gone = false;
        void deviceGone() override { gone = true; }
    } events;

    std::thread unplug([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        peer.vanish();
    });
    const auto started = std::chrono::steady_clock::now();
    auto s = link.waitForMeter(events);
    unplug.join();
    ASSERT_FALSE(s.ok());
    EXPECT_EQ(s.error().kind, FailureKind::io);
    EXPECT_TRUE(events.gone);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
}
