// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/common/AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
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

// Temporary files being written, so that a signal that ends the process, an
// exit() or a terminate() removes them first. A signal handler reaches
// nothing but process-wide state, hence this one table; a slot is read by the
// handler only once its name is whole (state ready).
constexpr int kTempSlots = 64;
enum SlotState : int { slotFree, slotBusy, slotReady };
struct TempSlot {
    std::atomic<int> state{slotFree};
    char path[4096]{};
};
TempSlot gTempSlots[kTempSlots];

void removeTemps() noexcept
{
    for (TempSlot& slot : gTempSlots) {
        if (slot.state.load() == slotReady)
            (void)::unlink(slot.path);
    }
}

extern "C" void removeTempsAndDie(int signal)
{
    const int saved = errno;
    removeTemps();
    // SA_RESETHAND restored the default action: end as the signal would have.
    ::raise(signal);
    errno = saved;
}

std::terminate_handler gPreviousTerminate = nullptr;

[[noreturn]] void removeTempsAndTerminate()
{
    removeTemps();
    if (gPreviousTerminate)
        gPreviousTerminate();
    std::abort();
}

// Signals whose default action ends the process: the ones a user or a
// shell sends (INT, TERM, HUP, QUIT, PIPE and the like) and the faults.
bool endsTheProcess(int signal)
{
    switch (signal) {
    case SIGKILL:
    case SIGSTOP: // cannot be caught
    case SIGCHLD:
    case SIGCONT:
    case SIGURG:
    case SIGWINCH: // ignored by default
    case SIGTSTP:
    case SIGTTIN:
    case SIGTTOU: // stop, not end
    case SIGTRAP: // a debugger's
        return false;
    default: return true;
    }
}

// Once per process; a signal the program already handles or ignores is
// left alone.
void installTempCleanup()
{
    static std::once_flag once;
    std::call_once(once, [] {
        for (int signal = 1; signal <= SIGRTMAX; ++signal) {
            if (!endsTheProcess(signal) || (signal > SIGSYS && signal < SIGRTMIN))
                continue;
            struct sigaction old {};
            if (::sigaction(signal, nullptr, &old) != 0 || (old.sa_flags & SA_SIGINFO) || old.sa_handler != SIG_DFL)
                continue;
            struct sigaction action {};
            action.sa_handler = removeTempsAndDie;
            sigemptyset(&action.sa_mask);
            action.sa_flags = SA_RESETHAND | SA_NODEFER;
            (void)::sigaction(signal, &action, nullptr);
        }
        std::atexit(removeTemps);
        gPreviousTerminate = std::set_terminate(removeTempsAndTerminate);
    });
}

// A slot for the name, or -1 when none is free (the file is then only
// removed by its owner).
int rememberTemp(const std::filesystem::path& path)
{
    installTempCleanup();
    const std::string& text = path.native();
    if (text.size() >= sizeof(TempSlot::path))
        return -1;
    for (int i = 0; i < kTempSlots; ++i) {
        int expected = slotFree;
        if (gTempSlots[i].state.compare_exchange_strong(expected, slotBusy)) {
            std::memcpy(gTempSlots[i].path, text.c_str(), text.size() + 1);
            gTempSlots[i].state.store(slotReady);
            return i;
        }
    }
    return -1;
}

void forgetTemp(int slot)
{
    if (slot >= 0 && slot < kTempSlots)
        gTempSlots[slot].state.store(slotFree);
}

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

// ".km740-" + 10 letters or digits + ".tmp": short whatever the target's
// name (a name near the folder's limit still gets one), hidden, and never
// taken for a data file; O_EXCL makes a stale one from a crash harmless.
constexpr std::string_view kTempPrefix = ".km740-";
constexpr std::string_view kTempSuffix = ".tmp";
constexpr std::size_t kTempLetters = 10;

std::string tempName(std::mt19937_64& random)
{
    static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string name(kTempPrefix);
    std::uint64_t bits = random();
    for (std::size_t i = 0; i < kTempLetters; ++i, bits /= 36)
        name += kDigits[bits % 36];
    return name.append(kTempSuffix);
}

Result<std::pair<int, fs::path>> createTemp(const fs::path& target, const fs::path& final)
{
    const fs::path folder = folderOf(final);
    std::random_device seed;
    std::mt19937_64 random(seed());
    int error = EEXIST;
    for (int attempt = 0; attempt < kTempAttempts && error == EEXIST; ++attempt) {
        fs::path temp = folder / tempName(random);
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
    if (!temp_.empty())
        slot_ = rememberTemp(temp_);
}

AtomicFile::AtomicFile(AtomicFile&& other) noexcept
    : target_(std::move(other.target_)), final_(std::move(other.final_)), temp_(std::move(other.temp_)),
      fd_(std::exchange(other.fd_, -1)), slot_(std::exchange(other.slot_, -1)), growing_(other.growing_),
      failed_(other.failed_)
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
        slot_ = std::exchange(other.slot_, -1);
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
    auto found =
        target == "-" ? Result<Destination>(Destination{target, true, {}, STDOUT_FILENO}) : destinationOf(target);
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
    // A new file renamed over one name of a file with several would part it
    // from the others, which keep the old bytes: refused, so nothing changes
    // behind the user's back.
    if (d.exists && mode == Mode::whole && d.st.st_nlink > 1)
        return cannotWrite(target, "it has " + std::to_string(d.st.st_nlink) +
                                       " hard links, which a new file would part; remove the other links or "
                                       "write to another name");

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

Status AtomicFile::reserve(std::uint64_t bytes)
{
    if (fd_ < 0 || writesThrough() || bytes == 0)
        return success();
    auto noRoom = [&](std::uint64_t free) {
        return cannotWrite(target_, errorText(ENOSPC) + " (" + std::to_string(bytes) + " bytes needed, " +
                                        std::to_string(free) + " free)");
    };
    // Reserved without growing the file, so a shorter write leaves no tail.
    errno = 0;
    if (::fallocate(fd_, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(bytes)) == 0)
        return success();
    const int error = lastError();
    struct statvfs fs {};
    const bool known = ::fstatvfs(fd_, &fs) == 0;
    const std::uint64_t free = known ? std::uint64_t{fs.f_bavail} * fs.f_frsize : 0;
    if (error == ENOSPC)
        return noRoom(free);
    if (known && free < bytes)
        return noRoom(free);
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
        dropTemp();
        return ioFailure(closeError);
    }
    if (temp_.empty())
        return success();
    errno = 0;
    if (::rename(temp_.c_str(), final_.c_str()) != 0) {
        const int error = lastError();
        dropTemp();
        return ioFailure(error);
    }
    forgetTemp(std::exchange(slot_, -1));
    temp_.clear();
    syncFolder(folderOf(final_));
    return success();
}

void AtomicFile::closeFd()
{
    if (fd_ >= 0)
        ::close(std::exchange(fd_, -1));
}

void AtomicFile::dropTemp()
{
    if (!temp_.empty()) {
        (void)::unlink(temp_.c_str());
        temp_.clear();
    }
    forgetTemp(std::exchange(slot_, -1));
}

void AtomicFile::discard()
{
    closeFd();
    dropTemp();
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

bool isTemporaryName(std::string_view name)
{
    return name.size() == kTempPrefix.size() + kTempLetters + kTempSuffix.size() && name.starts_with(kTempPrefix) &&
           name.ends_with(kTempSuffix);
}

} // namespace km740
