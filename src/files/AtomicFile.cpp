// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <random>
#include <string>
#include <system_error>
#include <utility>

#if __has_include(<unistd.h>)
#include <unistd.h>
#define KM740_HAVE_FSYNC 1
#endif

namespace km740 {

std::string errorText(int error)
{
    return std::generic_category().message(error);
}

AtomicFile::AtomicFile(std::filesystem::path target, std::filesystem::path temp, std::FILE* file)
    : target_(std::move(target)), temp_(std::move(temp)), file_(file)
{
}

AtomicFile::AtomicFile(AtomicFile&& other) noexcept
    : target_(std::move(other.target_)), temp_(std::move(other.temp_)),
      file_(std::exchange(other.file_, nullptr)), failed_(other.failed_)
{
}

AtomicFile& AtomicFile::operator=(AtomicFile&& other) noexcept
{
    if (this != &other) {
        discard();
        target_ = std::move(other.target_);
        temp_ = std::move(other.temp_);
        file_ = std::exchange(other.file_, nullptr);
        failed_ = other.failed_;
    }
    return *this;
}

AtomicFile::~AtomicFile()
{
    discard();
}

Result<AtomicFile> AtomicFile::create(const std::filesystem::path& target)
{
    if (target.empty())
        return failure(FailureKind::io, "no file name given");
    std::error_code ec;
    if (std::filesystem::is_directory(target, ec))
        return failure(FailureKind::io, "cannot write " + target.string() + ": it is a folder");
    const std::filesystem::path folder =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < 16; ++attempt) {
        std::filesystem::path temp =
            folder / ("." + target.filename().string() + "." + std::to_string(random() % 1000000000ULL) + ".tmp");
        // "x": fail rather than reuse a name that exists.
        std::FILE* file = std::fopen(temp.c_str(), "wbx");
        if (file)
            return AtomicFile(target, std::move(temp), file);
        if (errno != EEXIST)
            return failure(FailureKind::io,
                           "cannot write in " + folder.string() + ": " + errorText(errno));
    }
    return failure(FailureKind::io, "cannot make a temporary file in " + folder.string());
}

Failure AtomicFile::ioFailure(std::string_view what, int error) const
{
    return failure(FailureKind::io, std::string(what) + " " + target_.string() + ": " + errorText(error));
}

Status AtomicFile::write(std::string_view bytes)
{
    if (!file_)
        return failure(FailureKind::io, "file " + target_.string() + " is closed");
    if (failed_)
        return failure(FailureKind::io, "earlier write to " + target_.string() + " failed");
    if (bytes.empty())
        return success();
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
        failed_ = true;
        return ioFailure("cannot write", errno ? errno : EIO);
    }
    return success();
}

Status AtomicFile::commit()
{
    if (!file_)
        return failure(FailureKind::io, "file " + target_.string() + " is closed");
    if (failed_) {
        discard();
        return failure(FailureKind::io, "earlier write to " + target_.string() + " failed");
    }
    errno = 0;
    if (std::fflush(file_) != 0) {
        int e = errno ? errno : EIO;
        discard();
        return ioFailure("cannot write", e);
    }
#ifdef KM740_HAVE_FSYNC
    if (::fsync(::fileno(file_)) != 0 && errno != EINVAL) {
        int e = errno;
        discard();
        return ioFailure("cannot write", e);
    }
#endif
    std::FILE* f = std::exchange(file_, nullptr);
    if (std::fclose(f) != 0) {
        int e = errno ? errno : EIO;
        std::error_code ignored;
        std::filesystem::remove(temp_, ignored);
        return ioFailure("cannot write", e);
    }
    std::error_code ec;
    std::filesystem::rename(temp_, target_, ec);
    if (ec) {
        std::error_code ignored;
        std::filesystem::remove(temp_, ignored);
        return failure(FailureKind::io, "cannot replace " + target_.string() + ": " + ec.message());
    }
    return success();
}

void AtomicFile::discard()
{
    if (file_) {
        std::fclose(std::exchange(file_, nullptr));
        std::error_code ignored;
        std::filesystem::remove(temp_, ignored);
    }
}

} // namespace km740
