// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/common/AtomicFile.h"

#include <cerrno>
#include <csignal>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

namespace km740 {

namespace fs = std::filesystem;

std::string errorText(int error)
{
    return std::generic_category().message(error);
}

namespace {

constexpr int kMaxLinkHops = 40;
constexpr int kTempAttempts = 16;

// The name as the user gave it, for messages.
std::string shown(const fs::path& target)
{
    return target == "-" ? std::string("standard output") : target.string();
}

Failure cannotWrite(const fs::path& target, const std::string& reason)
{
    return failure(FailureKind::io, "cannot write " + shown(target) + ": " + reason);
}

// errno right after a failed call; never 0, so a message never says "Success".
int lastError()
{
    return errno != 0 ? errno : EIO;
}

fs::path folderOf(const fs::path& path)
{
    return path.has_parent_path() ? path.parent_path() : fs::path(".");
}

// Where the bytes for `target` end up: symbolic links followed to the file
// they name, which need not exist yet.
struct Destination {
    fs::path path;
    bool exists = false;
    struct stat st {};
    int descriptor = -1; // a name for one of this process's open files
};

// "/dev/fd/1", "/proc/self/fd/1" (where /dev/stdout leads): the open file
// itself, whatever it is, so the bytes join what the shell set up.
int descriptorNamed(const fs::path& path)
{
    const std::string text = path.lexically_normal().string();
    for (std::string_view prefix : {"/dev/fd/", "/proc/self/fd/"}) {
        if (text.rfind(prefix, 0) != 0)
            continue;
        const std::string number = text.substr(prefix.size());
        if (number.empty() || number.size() > 6 || number.find_first_not_of("0123456789") != std::string::npos)
            return -1;
        return std::stoi(number);
    }
    return -1;
}

Result<Destination> destinationOf(const fs::path& target)
{
    Destination d;
    d.path = target;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        if ((d.descriptor = descriptorNamed(d.path)) >= 0)
            return d;
        errno = 0;
        if (::lstat(d.path.c_str(), &d.st) != 0) {
            const int error = lastError();
            if (error != ENOENT)
                return cannotWrite(target, errorText(error));
            struct stat folder {};
            const fs::path parent = folderOf(d.path);
            errno = 0;
            if (::stat(parent.c_str(), &folder) != 0)
                return cannotWrite(target, errorText(lastError()) + " (there is no folder " + parent.string() + ")");
            if (!S_ISDIR(folder.st_mode))
                return cannotWrite(target, errorText(ENOTDIR) + " (" + parent.string() + " is not a folder)");
            return d;
        }
        if (!S_ISLNK(d.st.st_mode)) {
            d.exists = true;
            return d;
        }
        std::error_code ec;
        const fs::path link = fs::read_symlink(d.path, ec);
        if (ec)
            return cannotWrite(target, ec.message());
        d.path = link.is_absolute() ? link : folderOf(d.path) / link;
    }
    return cannotWrite(target, errorText(ELOOP));
}

std::string kindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return "it is a folder";
    if (S_ISBLK(mode))
        return "it is a block device, which is never written";
    if (S_ISSOCK(mode))
        return "it is a socket";
    return "it is not a file";
}

// Opens a device or FIFO as it stands. A FIFO with no reader fails at once
// (ENXIO) instead of waiting for one.
Result<int> openThrough(const fs::path& target, const fs::path& path)
{
    errno = 0;
    const int fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        const int error = lastError();
        if (error == ENXIO)
            return cannotWrite(target, errorText(error) + " (nothing reads from it)");
        return cannotWrite(target, errorText(error));
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        (void)::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return fd;
}

// A file nobody may write is refused even where the system would let this
// user (root) write it anyway.
Status checkWritable(const fs::path& target, const Destination& d)
{
    errno = 0;
    if (::access(d.path.c_str(), W_OK) != 0)
        return cannotWrite(target, errorText(lastError()));
    if ((d.st.st_mode & 0222) == 0)
        return cannotWrite(target, errorText(EACCES) + " (the file is read-only)");
    return success();
}

Result<std::pair<int, fs::path>> createTemp(const fs::path& target, const fs::path& final)
{
    const fs::path folder = folderOf(final);
    std::random_device seed;
    std::mt19937_64 random(seed());
    int error = EEXIST;
    for (int attempt = 0; attempt < kTempAttempts && error == EEXIST; ++attempt) {
        fs::path temp = folder / ("." + final.filename().string() + "." +
                                  std::to_string(random() % 1000000000ULL) + ".tmp");
        errno = 0;
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0)
            return std::make_pair(fd, std::move(temp));
        error = lastError();
    }
    return cannotWrite(target, errorText(error) + " (making a temporary file in " + folder.string() + ")");
}

// A pipe whose reader has gone raises SIGPIPE on a write, which would end
// the program; blocked around the write, the write fails with EPIPE instead
// and the signal is taken back.
class PipeSignalHeld {
public:
    PipeSignalHeld()
    {
        sigemptyset(&pipe_);
        sigaddset(&pipe_, SIGPIPE);
        held_ = ::pthread_sigmask(SIG_BLOCK, &pipe_, &old_) == 0;
    }
    ~PipeSignalHeld()
    {
        if (!held_)
            return;
        const timespec now{};
        while (::sigtimedwait(&pipe_, nullptr, &now) == SIGPIPE) {
        }
        ::pthread_sigmask(SIG_SETMASK, &old_, nullptr);
    }
    PipeSignalHeld(const PipeSignalHeld&) = delete;
    PipeSignalHeld& operator=(const PipeSignalHeld&) = delete;

private:
    sigset_t pipe_{};
    sigset_t old_{};
    bool held_ = false;
};

bool closeChecked(int fd)
{
    // On Linux the descriptor is gone even when close() is interrupted.
    return ::close(fd) == 0 || errno == EINTR;
}

void syncFolder(const fs::path& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        (void)::fsync(fd);
        ::close(fd);
    }
}

} // namespace

AtomicFile::AtomicFile(fs::path target, fs::path final, fs::path temp, int fd, bool growing)
    : target_(std::move(target)), final_(std::move(final)), temp_(std::move(temp)), fd_(fd), growing_(growing)
{
}

AtomicFile::AtomicFile(AtomicFile&& other) noexcept
    : target_(std::move(other.target_)), final_(std::move(other.final_)), temp_(std::move(other.temp_)),
      fd_(std::exchange(other.fd_, -1)), growing_(other.growing_), failed_(other.failed_)
{
}

AtomicFile& AtomicFile::operator=(AtomicFile&& other) noexcept
{
    if (this != &other) {
        discard();
        target_ = std::move(other.target_);
        final_ = std::move(other.final_);
        temp_ = std::move(other.temp_);
        fd_ = std::exchange(other.fd_, -1);
        growing_ = other.growing_;
        failed_ = other.failed_;
    }
    return *this;
}

AtomicFile::~AtomicFile()
{
    discard();
}

Result<AtomicFile> AtomicFile::create(const fs::path& target, Mode mode)
{
    if (target.empty())
        return failure(FailureKind::io, "no file name given");
    auto found = target == "-" ? Result<Destination>(Destination{target, true, {}, STDOUT_FILENO})
                               : destinationOf(target);
    if (!found)
        return found.error();
    const Destination& d = *found;
    if (d.descriptor >= 0) {
        errno = 0;
        const int fd = ::fcntl(d.descriptor, F_DUPFD_CLOEXEC, 0);
        if (fd < 0)
            return cannotWrite(target, errorText(lastError()));
        return AtomicFile(target, d.path, {}, fd, false);
    }
    if (d.exists && (S_ISCHR(d.st.st_mode) || S_ISFIFO(d.st.st_mode))) {
        auto fd = openThrough(target, d.path);
        if (!fd)
            return fd.error();
        return AtomicFile(target, d.path, {}, *fd, false);
    }
    if (d.exists && !S_ISREG(d.st.st_mode))
        return cannotWrite(target, kindOf(d.st.st_mode));
    if (d.exists) {
        if (auto s = checkWritable(target, d); !s)
            return s.error();
    }

    if (mode == Mode::growing) {
        errno = 0;
        const int fd = ::open(d.path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd < 0)
            return cannotWrite(target, errorText(lastError()));
        return AtomicFile(target, d.path, {}, fd, true);
    }

    auto temp = createTemp(target, d.path);
    if (!temp)
        return temp.error();
    AtomicFile file(target, d.path, temp->second, temp->first, false);
    if (d.exists) {
        // The new file takes the place of the old one: same permissions, and
        // the same owner where the system allows it.
        if (d.st.st_uid != ::geteuid() || d.st.st_gid != ::getegid())
            (void)::fchown(file.fd_, d.st.st_uid, d.st.st_gid);
        errno = 0;
        if (::fchmod(file.fd_, d.st.st_mode & 07777) != 0)
            return cannotWrite(target, errorText(lastError()));
    }
    return file;
}

Failure AtomicFile::ioFailure(int error) const
{
    return cannotWrite(target_, errorText(error));
}

Status AtomicFile::write(std::string_view bytes)
{
    if (fd_ < 0 || failed_)
        return cannotWrite(target_, failed_ ? "an earlier write failed" : "the file is closed");
    std::optional<PipeSignalHeld> held;
    if (writesThrough())
        held.emplace();
    while (!bytes.empty()) {
        errno = 0;
        const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            failed_ = true;
            return ioFailure(n < 0 ? lastError() : EIO);
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return success();
}

Status AtomicFile::commit()
{
    if (fd_ < 0)
        return cannotWrite(target_, "the file is closed");
    if (failed_) {
        discard();
        return cannotWrite(target_, "an earlier write failed");
    }
    errno = 0;
    if (::fsync(fd_) != 0) {
        const int error = lastError();
        // Devices and pipes cannot be synced; that is no failure.
        if (!(writesThrough() && (error == EINVAL || error == EROFS || error == ENOTSUP))) {
            discard();
            return ioFailure(error);
        }
    }
    errno = 0;
    const bool closed = closeChecked(std::exchange(fd_, -1));
    const int closeError = lastError();
    if (!closed) {
        if (!temp_.empty())
            (void)::unlink(temp_.c_str());
        return ioFailure(closeError);
    }
    if (temp_.empty())
        return success();
    errno = 0;
    if (::rename(temp_.c_str(), final_.c_str()) != 0) {
        const int error = lastError();
        (void)::unlink(temp_.c_str());
        return ioFailure(error);
    }
    temp_.clear();
    syncFolder(folderOf(final_));
    return success();
}

void AtomicFile::closeFd()
{
    if (fd_ >= 0)
        ::close(std::exchange(fd_, -1));
}

void AtomicFile::discard()
{
    closeFd();
    if (!temp_.empty()) {
        (void)::unlink(temp_.c_str());
        temp_.clear();
    }
}

Status writeFileAtomically(const fs::path& target, std::string_view bytes)
{
    auto file = AtomicFile::create(target);
    if (!file)
        return file.error();
    if (auto s = file->write(bytes); !s)
        return s;
    return file->commit();
}

} // namespace km740
