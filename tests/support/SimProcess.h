// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the built km740-sim and reads the device path it serves.
#pragma once

#include "support/ArgumentList.h"

#include <chrono>
#include <csignal>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace km740::test {

class SimProcess {
public:
    SimProcess(const std::string& program, std::vector<std::string> args)
    {
        int out[2];
        if (::pipe(out) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        ArgumentList argv(program, args);
        if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.argv(), environ) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        out_ = out[0];
        if (pid_ > 0)
            device_ = firstLine(std::chrono::seconds(30));
    }
    ~SimProcess() { stop(); }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // The pty device, empty when the simulator did not start.
    const std::string& device() const { return device_; }
    // The simulator's process (to pause it with SIGSTOP / SIGCONT).
    pid_t pid() const { return pid_; }

    // SIGTERM, then its exit status; -1 when it was killed or had to be
    // (it did not end within 10 s).
    int stop()
    {
        int code = -1;
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            int status = 0;
            bool ended = false;
            for (int i = 0; i < 1000 && !ended; ++i) {
                ended = ::waitpid(pid_, &status, WNOHANG) == pid_;
                if (!ended)
                    ::usleep(10000);
            }
            if (!ended) {
                ::kill(pid_, SIGKILL);
                ::waitpid(pid_, &status, 0);
            } else if (WIFEXITED(status)) {
                code = WEXITSTATUS(status);
            }
            pid_ = -1;
        }
        if (out_ >= 0)
            ::close(out_);
        out_ = -1;
        return code;
    }

private:
    std::string firstLine(std::chrono::seconds limit)
    {
        std::string line;
        const auto until = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < until) {
            pollfd p{out_, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0)
                continue;
            char c;
            if (::read(out_, &c, 1) != 1)
                break;
            if (c == '\n')
                return line;
            line += c;
        }
        return {};
    }

    pid_t pid_ = -1;
    int out_ = -1;
    std::string device_;
};

} // namespace km740::test
