// SPDX-License-Identifier: GPL-3.0-or-later
// SerialTransport on a pseudo-terminal whose other end this test holds.
#include "core/link/MeterLink.h"
#include "platform/SerialTransport.h"
#include "support/PtyPeer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace km740;
using km740::test::PtyPeer;

namespace {

Bytes takeAtLeast(Transport& t, std::size_t count)
{
    Bytes got;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
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

    // The adapter is pulled while the loop runs; a loop that missed it would
    // run on until the watchdog stops it (cancelled, not io).
    std::atomic<bool> watchdog{false}, ended{false};
    std::thread unplug([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        peer.vanish();
        for (int i = 0; i < 600 && !ended; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        watchdog = true;
    });
    auto s = link.waitForMeter(events, &watchdog);
    ended = true;
    unplug.join();
    ASSERT_FALSE(s.ok());
    EXPECT_EQ(s.error().kind, FailureKind::io) << s.error().message;
    EXPECT_TRUE(events.gone);
}
