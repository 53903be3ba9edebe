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

LineReader::Next LineReader::next(std::string_view& line)
{
    std::size_t searched = begin_;
    bool tooLong = false; // the line outgrew the limit: drop it up to its LF
    for (;;) {
        const char* start = buffer_.data() + searched;
        const auto* nl = static_cast<const char*>(std::memchr(start, '\n', end_ - searched));
        if (nl) {
            std::size_t pos = static_cast<std::size_t>(nl - buffer_.data());
            std::size_t len = pos - begin_;
            begin_ = pos + 1;
            ++lineNumber_;
            terminated_ = true;
            if (tooLong || len > maxLine_ + 1)
                return Next::tooLong;
            line = std::string_view(buffer_.data() + pos - len, len);
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            return Next::line;
        }
        if (end_ - begin_ > maxLine_ + 1) {
            tooLong = true;
            begin_ = end_;
        }
        if (eof_) {
            if (tooLong) {
                begin_ = end_;
                ++lineNumber_;
                terminated_ = false;
                return Next::tooLong;
            }
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
