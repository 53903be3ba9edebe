// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/files/LineReader.h"

#include <algorithm>
#include <cstring>

namespace km740 {

LineReader::LineReader(std::istream& in, std::size_t maxLine)
    : in_(in), maxLine_(maxLine), buffer_(std::min<std::size_t>(maxLine + 2, 1 << 14))
{
}

bool LineReader::fill()
{
    if (begin_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    // Grow for long lines, up to what the longest allowed line needs.
    if (buffer_.size() - end_ <= buffer_.size() / 4 && buffer_.size() < maxLine_ + 2 + (1 << 16))
        buffer_.resize(std::min(buffer_.size() * 2, maxLine_ + 2 + (1 << 16)));
    in_.read(buffer_.data() + end_, static_cast<std::streamsize>(buffer_.size() - end_));
    const auto got = static_cast<std::size_t>(in_.gcount());
    end_ += got;
    if (!in_) {
        if (in_.bad())
            return false;
        eof_ = true;
    }
    return true;
}

namespace {

bool hasBareCr(const char* p, std::size_t n)
{
    for (std::size_t i = 0; i + 1 < n; ++i)
        if (p[i] == '\r' && p[i + 1] != '\n')
            return true;
    return false;
}

} // namespace

LineReader::Next LineReader::next(std::string_view& line)
{
    // The rest of a line already reported too long: up to its LF.
    while (skipping_) {
        const auto* nl = static_cast<const char*>(std::memchr(buffer_.data() + begin_, '\n', end_ - begin_));
        if (nl) {
            begin_ = static_cast<std::size_t>(nl - buffer_.data()) + 1;
            skipping_ = false;
            break;
        }
        begin_ = end_;
        if (eof_)
            return Next::end;
        if (!fill())
            return Next::ioError;
    }
    std::size_t searched = begin_;
    for (;;) {
        const char* start = buffer_.data() + searched;
        const auto* nl = static_cast<const char*>(std::memchr(start, '\n', end_ - searched));
        const std::size_t lineEnd = nl ? static_cast<std::size_t>(nl - buffer_.data()) : end_;
        if (lineEnd - begin_ > maxLine_ + 1) {
            bareCr_ = hasBareCr(buffer_.data() + begin_, maxLine_);
            ++lineNumber_;
            terminated_ = nl != nullptr;
            if (nl) {
                begin_ = lineEnd + 1;
            } else {
                begin_ = end_;
                skipping_ = !eof_;
            }
            return Next::tooLong;
        }
        if (nl) {
            std::size_t len = lineEnd - begin_;
            line = std::string_view(buffer_.data() + begin_, len);
            begin_ = lineEnd + 1;
            ++lineNumber_;
            terminated_ = true;
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            return Next::line;
        }
        if (eof_) {
            if (begin_ == end_)
                return Next::end;
            line = std::string_view(buffer_.data() + begin_, end_ - begin_);
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            begin_ = end_;
            ++lineNumber_;
            terminated_ = false;
            return Next::line;
        }
        const std::size_t kept = end_ - begin_;
        if (!fill())
            return Next::ioError;
        searched = kept; // after fill() the unread part starts at 0
    }
}

} // namespace km740
