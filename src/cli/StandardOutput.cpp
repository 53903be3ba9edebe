// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/StandardOutput.h"

#include "core/common/AtomicFile.h"

#include <array>
#include <cerrno>
#include <iostream>
#include <streambuf>

#include <fcntl.h>
#include <unistd.h>

namespace km740::cli {

namespace {

class CheckedOutput : public std::streambuf {
public:
    CheckedOutput() { setp(buffer_.data(), buffer_.data() + buffer_.size()); }

    bool failed() const { return error_ != 0; }
    int error() const { return error_; }

    bool drain()
    {
        const char* p = pbase();
        std::size_t left = static_cast<std::size_t>(pptr() - pbase());
        setp(buffer_.data(), buffer_.data() + buffer_.size());
        if (error_ != 0)
            return false;
        while (left > 0) {
            errno = 0;
            const ssize_t n = ::write(STDOUT_FILENO, p, left);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                error_ = n < 0 && errno != 0 ? errno : EIO;
                return false;
            }
            p += n;
            left -= static_cast<std::size_t>(n);
        }
        return true;
    }

    bool close()
    {
        const bool drained = drain();
        if (closed_)
            return drained;
        closed_ = true;
        errno = 0;
        if (::close(STDOUT_FILENO) != 0 && errno != EINTR && error_ == 0)
            error_ = errno != 0 ? errno : EIO;
        return error_ == 0;
    }

protected:
    int_type overflow(int_type c) override
    {
        if (!drain())
            return traits_type::eof();
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override
    {
        if (error_ != 0)
            return 0;
        std::streamsize done = 0;
        while (done < n) {
            if (pptr() == epptr() && !drain())
                return done;
            const std::streamsize room = epptr() - pptr();
            const std::streamsize take = std::min(room, n - done);
            traits_type::copy(pptr(), s + done, static_cast<std::size_t>(take));
            pbump(static_cast<int>(take));
            done += take;
        }
        return done;
    }
    int sync() override { return drain() ? 0 : -1; }

private:
    std::array<char, 1 << 16> buffer_{};
    int error_ = 0;
    bool closed_ = false;
};

// Never destroyed: std::cout is flushed by the library after every static
// object of ours has gone, and it must still find its buffer then.
CheckedOutput& output()
{
    static CheckedOutput* const out = new CheckedOutput;
    return *out;
}

} // namespace

void routeStandardOutput()
{
    // A closed standard output would hand descriptor 1 to the next file the
    // program opens; /dev/null opened read-only takes its place, so every
    // write to it fails (EBADF) as it would have.
    if (::fcntl(STDOUT_FILENO, F_GETFD) < 0 && errno == EBADF) {
        const int fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
        if (fd >= 0 && fd != STDOUT_FILENO) {
            ::dup2(fd, STDOUT_FILENO);
            ::close(fd);
        }
    }
    std::cout.rdbuf(&output());
}

bool writeStandardOutput(std::string_view bytes)
{
    std::cout.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return !output().failed();
}

Status standardOutputStatus()
{
    if (!output().failed())
        return success();
    return failure(FailureKind::io, "cannot write standard output: " + errorText(output().error()));
}

Status finishStandardOutput()
{
    std::cout.flush();
    output().close();
    return standardOutputStatus();
}

} // namespace km740::cli
