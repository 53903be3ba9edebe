// SPDX-License-Identifier: GPL-3.0-or-later
// Runs a built program (km740-tool) to its end and gives back its exit code,
// standard output and standard error.
#pragma once

#include "support/ArgumentList.h"

#include <chrono>
#include <csignal>
#include <functional>
#include <string>
#include <vector>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace km740::test {

struct ToolResult {
    int exitCode = -1; // -1: did not run or did not exit normally
    std::string out;
    std::string err;
};

// `inChild` runs in the child just before the program starts (a resource
// limit, say). Its output comes through pipes, which no file-size limit
// touches. A program still running after `limitSeconds` is killed.
inline ToolResult runProgram(const std::string& program, const std::vector<std::string>& args,
                             const std::function<void()>& inChild = {}, int limitSeconds = 60)
{
    ArgumentList argv(program, args);

    ToolResult r;
    int out[2];
    int err[2];
    if (::pipe2(out, O_CLOEXEC) != 0)
        return r;
    if (::pipe2(err, O_CLOEXEC) != 0) {
        ::close(out[0]);
        ::close(out[1]);
        return r;
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int in = ::open("/dev/null", O_RDONLY);
        ::dup2(in, STDIN_FILENO);
        ::dup2(out[1], STDOUT_FILENO);
        ::dup2(err[1], STDERR_FILENO);
        if (inChild)
            inChild();
        ::execv(program.c_str(), argv.argv());
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    std::string* into[2] = {&r.out, &r.err};
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(limitSeconds);
    int open = 2;
    while (open > 0) {
        if (std::chrono::steady_clock::now() >= until)
            break;
        const int ready = ::poll(fds, 2, 100);
        if (ready < 0 && errno != EINTR)
            break;
        if (ready <= 0)
            continue;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0)
                continue;
            char buf[65536];
            const ssize_t n = ::read(fds[i].fd, buf, sizeof buf);
            if (n > 0) {
                into[i]->append(buf, static_cast<std::size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    for (auto& f : fds)
        if (f.fd >= 0)
            ::close(f.fd);
    int status = 0;
    if (pid > 0) {
        if (open > 0)
            ::kill(pid, SIGKILL);
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
    r.exitCode = pid > 0 && open == 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

} // namespace km740::test
