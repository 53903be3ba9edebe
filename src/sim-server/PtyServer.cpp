// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim-server/PtyServer.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace km740 {

namespace {

Failure systemFailure(const char* what)
{
    return failure(FailureKind::io, std::string(what) + ": " + std::strerror(errno));
}

} // namespace

PtyServer::~PtyServer()
{
    if (slave_ >= 0)
        ::close(slave_);
    if (master_ >= 0)
        ::close(master_);
}

Status PtyServer::open()
{
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0)
        return systemFailure("posix_openpt");
    if (::grantpt(master_) != 0)
        return systemFailure("grantpt");
    if (::unlockpt(master_) != 0)
        return systemFailure("unlockpt");
    const char* name = ::ptsname(master_);
    if (name == nullptr)
        return systemFailure("ptsname");
    slavePath_ = name;

    slave_ = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY);
    if (slave_ < 0)
        return systemFailure("open slave");
    termios tio{};
    if (::tcgetattr(slave_, &tio) != 0)
        return systemFailure("tcgetattr");
    ::cfmakeraw(&tio);
    ::cfsetispeed(&tio, B19200);
    ::cfsetospeed(&tio, B19200);
    tio.c_cflag |= CLOCAL | CREAD;
    if (::tcsetattr(slave_, TCSANOW, &tio) != 0)
        return systemFailure("tcsetattr");

    // A client that stops reading must not block the meter: its bytes are lost.
    const int flags = ::fcntl(master_, F_GETFL);
    if (flags < 0 || ::fcntl(master_, F_SETFL, flags | O_NONBLOCK) != 0)
        return systemFailure("fcntl");
    return success();
}

Status PtyServer::serve(VirtualMeter& meter, Clock& clock, int stopFd, std::optional<int> vanishAfter)
{
    std::uint8_t buffer[4096];
    for (;;) {
        int timeoutMs = -1;
        if (const auto due = meter.nextByteDue()) {
            const double wait = *due - clock.now();
            timeoutMs = wait <= 0 ? 0 : static_cast<int>(std::ceil(wait * 1000.0));
        }
        pollfd fds[2] = {{master_, POLLIN, 0}, {stopFd, POLLIN, 0}};
        const int n = ::poll(fds, 2, timeoutMs);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return systemFailure("poll");
        }
        if (fds[1].revents != 0)
            return success();
        if (fds[0].revents & (POLLERR | POLLNVAL))
            return failure(FailureKind::io, "The pseudo-terminal failed");
        if ((fds[0].revents & POLLHUP) && !(fds[0].revents & POLLIN))
            ::usleep(20000); // no client end open: do not spin on the hang-up

        if (fds[0].revents & POLLIN) {
            const ssize_t got = ::read(master_, buffer, sizeof buffer);
            if (got > 0) {
                const Status written =
                    meter.write(std::span<const std::uint8_t>(buffer, static_cast<std::size_t>(got)));
                if (!written)
                    return written;
                if (vanishAfter && meter.commandsTaken() >= *vanishAfter) {
                    ::close(slave_);
                    ::close(master_);
                    slave_ = master_ = -1;
                    return success();
                }
            } else if (got < 0 && errno != EAGAIN && errno != EINTR && errno != EIO) {
                return systemFailure("read");
            }
        }

        const auto out = meter.takeReceived();
        if (!out)
            return out.error();
        std::size_t done = 0;
        while (done < out->size()) {
            const ssize_t put = ::write(master_, out->data() + done, out->size() - done);
            if (put < 0) {
                if (errno == EINTR)
                    continue;
                break; // nobody reads the line: the rest is lost, as on a wire
            }
            done += static_cast<std::size_t>(put);
        }
    }
}

} // namespace km740
