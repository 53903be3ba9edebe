// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ToolArchive.h"

#include <csignal>
#include <cstdlib>
#include <string_view>

#include <unistd.h>

namespace km740::cli {

namespace {

std::string_view env(const char* name)
{
    const char* v = std::getenv(name);
    return v ? v : "";
}

} // namespace

std::filesystem::path toolArchiveFolder(const std::string& folderOption)
{
    return archiveFolder(folderOption, env("KM740_ARCHIVE"), env("XDG_DATA_HOME"), env("HOME"));
}

Result<Archive> openToolArchive(const std::string& folderOption)
{
    ArchiveOptions options;
    // Test switch: stop dead after the Nth write step of filing, as a crash would.
    if (const auto stop = env("KM740_ARCHIVE_STOP_AFTER"); !stop.empty()) {
        const int n = std::atoi(std::string(stop).c_str());
        options.afterWriteStep = [n](int step) {
            if (step == n)
                ::kill(::getpid(), SIGKILL);
        };
    }
    return Archive::open(toolArchiveFolder(folderOption), std::move(options));
}

} // namespace km740::cli
