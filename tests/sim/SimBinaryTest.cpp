// SPDX-License-Identifier: GPL-3.0-or-later
// Starts the built km740-sim and talks to it through its pseudo-terminal as
// a program would through a serial port.
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

class SimProcess {
public:
    explicit SimProcess(std::vector<std::string> args)
    {
        int out[2];
        if (::pipe(out) != 0)
            return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            ::close(out[0]);
            ::close(out[1]);
            std::vector<char*> argv;
            std::string binary = KM740_SIM_BINARY;
            argv.push_back(binary.data());
            for (std::string& a : args)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(binary.c_str(), argv.data());
            ::_exit(127);
        }
        ::close(out[1]);
        stdout_ = out[0];
    }

    ~SimProcess()
    {
        stop();
        if (stdout_ >= 0)
            ::close(stdout_);
    }

    // The first line the simulator prints, or empty after 5 s.
    std::string firstLine()
    {
        std::string line;
        char c = 0;
        while (line.size() < 256) {
            pollfd p{stdout_, POLLIN, 0};
            if (::poll(&p, 1, 5000) <= 0 || ::read(stdout_, &c, 1) != 1 || c == '\n')
                break;
            line += c;
        }
        return line;
    }

    // SIGTERM, then the exit status (-1 when it did not end within 5 s).
    int stop()
    {
        if (pid_ <= 0)
            return -1;
        ::kill(pid_, SIGTERM);
        int status = 0;
        for (int i = 0; i < 500; ++i) {
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            ::usleep(10000);
        }
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return -1;
    }

private:
    pid_t pid_ = -1;
    int stdout_ = -1;
};

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

// Sends a command and collects up to `want` bytes for at most `seconds`.
Bytes ask(int fd, std::uint8_t command, std::size_t want, double seconds = 1.0)
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
    SimProcess sim({"--seed", "5"});
    const std::string path = sim.firstLine();
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
    SimProcess sim({"--empty", "--silent-after", "1"});
    const std::string path = sim.firstLine();
    const int fd = openLine(path);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(ask(fd, 'A', 6), (Bytes{0x02, 6, 0x00, 0x0E, 0x00, 0x03}));
    EXPECT_TRUE(ask(fd, 'F', 19, 0.3).empty());
    ::close(fd);
    EXPECT_EQ(sim.stop(), 0);
}

TEST(SimPty, VanishesAfterNCommands)
{
    SimProcess sim({"--vanish-after", "2"});
    const int fd = openLine(sim.firstLine());
    ASSERT_GE(fd, 0);
    EXPECT_EQ(ask(fd, 'F', 19).size(), 19u);
    ask(fd, 'F', 19, 0.3); // the second command: the device goes
    std::uint8_t b = 0;
    pollfd p{fd, POLLIN, 0};
    ::poll(&p, 1, 1000);
    EXPECT_NE(p.revents & (POLLHUP | POLLERR), 0);
    EXPECT_LE(::read(fd, &b, 1), 0);
    ::close(fd);
}

} // namespace
