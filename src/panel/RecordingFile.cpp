// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/RecordingFile.h"

#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace km740 {

RecordingFile::~RecordingFile() { close(); }

Status RecordingFile::create(const std::string& path)
{
    close();
    path_ = path;
    f_ = std::fopen(path.c_str(), "wb");
    if (!f_)
        return failure(FailureKind::io, "Cannot create " + path + ": " + std::strerror(errno));
    return success();
}

Status RecordingFile::fail(int err)
{
    std::string reason = err ? std::strerror(err) : "write failed";
    close();
    return failure(FailureKind::io, "Cannot write " + path_ + ": " + reason);
}

Status RecordingFile::writeLine(std::string_view line)
{
    if (!f_)
        return failure(FailureKind::io, "Cannot write " + path_ + ": the file is closed");
    errno = 0;
    if (std::fwrite(line.data(), 1, line.size(), f_) != line.size() ||
        std::fwrite("\r\n", 1, 2, f_) != 2 || std::fflush(f_) != 0)
        return fail(errno);
    // To the disk, not only to the system's cache: a power cut keeps the line.
    if (::fdatasync(::fileno(f_)) != 0 && errno != EINVAL && errno != EROFS)
        return fail(errno);
    // Writes into a file that was deleted or renamed away succeed and are
    // lost: check that the name still leads to our file.
    struct stat byName {}, byHandle {};
    if (::stat(path_.c_str(), &byName) != 0 || ::fstat(::fileno(f_), &byHandle) != 0 ||
        byName.st_ino != byHandle.st_ino || byName.st_dev != byHandle.st_dev) {
        close();
        return failure(FailureKind::io, "Cannot write " + path_ + ": the file was removed or replaced");
    }
    return success();
}

void RecordingFile::close()
{
    if (f_) {
        std::fclose(f_);
        f_ = nullptr;
    }
}

} // namespace km740
