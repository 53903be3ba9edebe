// SPDX-License-Identifier: GPL-3.0-or-later
// A full disk for tests: a 64 KiB tmpfs mounted on a fresh folder, where the
// system lets the test mount one (root); otherwise mounted() is false and the
// test uses a file-size limit instead (see FileSizeLimit).
#pragma once

#include "support/TempFolder.h"

#include <filesystem>
#include <string>

#include <sys/mount.h>
#include <sys/resource.h>
#include <csignal>

namespace km740::test {

class SmallDisk {
public:
    static constexpr std::size_t size = 64 * 1024;

    SmallDisk()
    {
        const std::string options = "size=" + std::to_string(size);
        mounted_ = ::mount("tmpfs", folder_.path().c_str(), "tmpfs", 0, options.c_str()) == 0;
    }
    ~SmallDisk()
    {
        if (mounted_)
            ::umount2(folder_.path().c_str(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return mounted_; }
    std::filesystem::path operator/(const std::string& name) const { return folder_ / name; }
    const std::filesystem::path& path() const { return folder_.path(); }

private:
    TempFolder folder_;
    bool mounted_ = false;
};

// In a child process before it writes: files may not grow past `bytes`, and
// a write past it fails with EFBIG instead of killing the process.
inline void limitFileSize(rlim_t bytes)
{
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{bytes, bytes};
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

} // namespace km740::test
