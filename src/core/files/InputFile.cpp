// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/files/InputFile.h"

#include "core/common/AtomicFile.h"

#include <array>
#include <cerrno>
#include <chrono>
#include <ios>
#include <streambuf>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace km740 {

namespace {

// How long a FIFO opened without a writer is given for one to come.
constexpr auto kWriterGrace = std::chrono::milliseconds(500);
constexpr auto kWriterPoll = std::chrono::milliseconds(20);

} // namespace

class InputFile::Buffer : public std::streambuf {
public:
    Buffer(int fd, std::uint64_t limit, std::string prefix) : fd_(fd), limit_(limit), prefix_(std::move(prefix)) {}
    ~Buffer() override { ::close(fd_); }
    Buffer(const Buffer&) = delete;
    Buffer& operator=(const Buffer&) = delete;

    bool limitPassed() const { return passed_; }

protected:
    int_type underflow() override
    {
        if (gptr() < egptr())
            return traits_type::to_int_type(*gptr());
        if (!prefix_.empty()) {
            const std::size_t n = prefix_.copy(data_.data(), data_.size());
            prefix_.erase(0, n);
            return deliver(n);
        }
        if (passed_ || ended_)
            return traits_type::eof();
        std::size_t want = data_.size();
        if (limit_ > 0 && limit_ - read_ < want)
            want = static_cast<std::size_t>(limit_ - read_);
        if (want == 0) {
            passed_ = true;
            return traits_type::eof();
        }
        for (;;) {
            errno = 0;
            const ssize_t n = ::read(fd_, data_.data(), want);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) // the istream turns this into its bad state
                throw std::ios_base::failure(errorText(errno != 0 ? errno : EIO));
            if (n == 0) {
                ended_ = true;
                return traits_type::eof();
            }
            return deliver(static_cast<std::size_t>(n));
        }
    }

private:
    int_type deliver(std::size_t n)
    {
        read_ += n;
        setg(data_.data(), data_.data(), data_.data() + n);
        return traits_type::to_int_type(data_[0]);
    }

    int fd_;
    std::uint64_t limit_; // 0: none
    std::string prefix_;  // bytes read while waiting for a FIFO's writer
    std::array<char, 1 << 16> data_{};
    std::uint64_t read_ = 0;
    bool passed_ = false;
    bool ended_ = false;
};

InputFile::InputFile(std::unique_ptr<Buffer> buffer) : std::istream(buffer.get()), buffer_(std::move(buffer)) {}

InputFile::~InputFile() = default;

bool InputFile::limitPassed() const
{
    return buffer_->limitPassed();
}

std::string InputFile::limitText()
{
    return "a device or FIFO is read no further than " + std::to_string(deviceLimit >> 20) + " MiB";
}

Result<std::unique_ptr<InputFile>> openInputFile(const std::filesystem::path& path, std::uint64_t deviceLimit)
{
    const std::string name = path.string();
    auto refused = [&](const std::string& why) { return failure(FailureKind::io, "cannot read " + name + ": " + why); };
    struct stat st {};
    errno = 0;
    if (::stat(path.c_str(), &st) != 0)
        return refused(errorText(errno != 0 ? errno : EIO));
    if (S_ISDIR(st.st_mode))
        return refused("it is a folder");
    if (S_ISSOCK(st.st_mode))
        return refused("it is a socket");
    const bool fifo = S_ISFIFO(st.st_mode);
    errno = 0;
    // A FIFO is opened without waiting for a writer; it is then waited for
    // a moment, and refused if none comes.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | (fifo ? O_NONBLOCK : 0));
    if (fd < 0)
        return refused(errorText(errno != 0 ? errno : EIO));
    std::string prefix;
    if (fifo) {
        const auto until = std::chrono::steady_clock::now() + kWriterGrace;
        bool writer = false;
        for (;;) {
            char first[4096];
            const ssize_t n = ::read(fd, first, sizeof first);
            if (n > 0)
                prefix.assign(first, static_cast<std::size_t>(n));
            if (n > 0 || (n < 0 && errno == EAGAIN)) {
                writer = true;
                break;
            }
            if (std::chrono::steady_clock::now() >= until || (n < 0 && errno != EINTR))
                break;
            std::this_thread::sleep_for(kWriterPoll);
        }
        if (!writer) {
            ::close(fd);
            return refused("it is a FIFO and nothing writes to it");
        }
        (void)::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    }
    const std::uint64_t limit = S_ISREG(st.st_mode) ? 0 : deviceLimit;
    return std::unique_ptr<InputFile>(new InputFile(std::make_unique<InputFile::Buffer>(fd, limit, std::move(prefix))));
}

Failure namingFile(const std::filesystem::path& path, Failure failure)
{
    failure.message = path.filename().string() + ": " + failure.message;
    return failure;
}

} // namespace km740
