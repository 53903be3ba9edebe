// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

// What a command run to its end cost, as a user running it would see it.
struct ChildUse {
    double cpu = -1.0;   // user + system seconds; negative when it failed
    double peakMb = 0.0; // peak resident memory
};

// Runs the command with its output to /dev/null and waits for it.
inline ChildUse runChild(std::vector<std::string> args)
{
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), ::environ);
    posix_spawn_file_actions_destroy(&actions);
    ChildUse use;
    if (spawned != 0)
        return use;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return use;
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    use.cpu = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    use.peakMb = static_cast<double>(usage.ru_maxrss) / 1024.0;
    return use;
}
