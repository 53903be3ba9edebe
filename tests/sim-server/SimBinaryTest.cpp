// SPDX-License-Identifier: GPL-3.0-or-later
// Starts the built km740-sim and talks to it through its pseudo-terminal as
// a program would through a serial port.
#include "support/SimProcess.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
using km740::test::SimProcess;

int openLine(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
    if (fd < 0)
        return -1;
    termios tio{};
    ::tcgetattr(fd, &tio);
    ::cfmakeraw(&tio);
    ::cfsetispeed(&tio, B19200);
    ::cfsetospeed(&tio, B19200);
    ::tcsetattr(fd, TCSANOW, &tio);
    return fd;
}

// Sends a command and collects up to `want` bytes for at most `seconds`
// (generous: it returns as soon as they are there).
Bytes ask(int fd, std::uint8_t command, std::size_t want, double seconds = 10.0)
{
    EXPECT_EQ(::write(fd, &command, 1), 1);
    Bytes got;
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (got.size() < want && std::chrono::steady_clock::now() < until) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 20) > 0) {
            std::uint8_t buf[512];
            const ssize_t n = ::read(fd, buf, sizeof buf);
            if (n > 0)
                got.insert(got.end(), buf, buf + n);
        }
    }
    return got;
}

TEST(SimPty, AnswersAStatusFrameAndSurvivesReopening)
{
    SimProcess sim(KM740_SIM_PATH, {"--seed", "5"});
    const std::string path = sim.device();
    ASSERT_EQ(path.rfind("/dev/", 0), 0u) << path;

    for (int round = 0; round < 2; ++round) { // a client closes, the next one opens
        const int fd = openLine(path);
        ASSERT_GE(fd, 0);
        const auto t0 = std::chrono::steady_clock::now();
        const Bytes f = ask(fd, 'F', 19);
        const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        ASSERT_EQ(f.size(), 19u);
        EXPECT_EQ(f[0], 0x02);
        EXPECT_EQ(f[18], 0x03);
        EXPECT_GT(took, 0.009); // paced, not sent in a burst
        // Bytes 0x80..0xFF pass unchanged: the calibration level's low byte is 0xAC.
        const Bytes c = ask(fd, 0x60, 8);
        ASSERT_EQ(c.size(), 8u);
        EXPECT_EQ(c[6], 0xAC);
        ::close(fd);
    }
    EXPECT_EQ(sim.stop(), 0);
}

TEST(SimPty, EmptyLoggerAndSilentAfter)
{
    SimProcess sim(KM740_SIM_PATH, {"--empty", "--silent-after", "1"});
    const std::string path = sim.device();
    const int fd = openLine(path);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(ask(fd, 'A', 6), (Bytes{0x02, 6, 0x00, 0x0E, 0x00, 0x03}));
    EXPECT_TRUE(ask(fd, 'F', 19, 0.3).empty());
    ::close(fd);
    EXPECT_EQ(sim.stop(), 0);
}

TEST(SimPty, VanishesAfterNCommands)
{
    SimProcess sim(KM740_SIM_PATH, {"--vanish-after", "2"});
    const int fd = openLine(sim.device());
    ASSERT_GE(fd, 0);
    EXPECT_EQ(ask(fd, 'F', 19).size(), 19u);
    ask(fd, 'F', 19, 0.3); // the second command: the device goes
    std::uint8_t b = 0;
    pollfd p{fd, POLLIN, 0};
    ::poll(&p, 1, 10000);
    EXPECT_NE(p.revents & (POLLHUP | POLLERR), 0);
    EXPECT_LE(::read(fd, &b, 1), 0);
    ::close(fd);
}

} // namespace
