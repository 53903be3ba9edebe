// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <string_view>
#include <vector>

namespace km740 {

// Reads a stream line by line without holding more than a buffer of it.
// Lines end at LF; a CR before the LF is dropped. A line longer than the
// limit is reported as soon as it passes the limit and its rest passed over
// on the next call, so binary data cannot fill the memory or keep a read
// waiting for a line end that never comes.
class LineReader {
public:
    enum class Next { line, end, tooLong, ioError };

    explicit LineReader(std::istream& in, std::size_t maxLine = 64 * 1024);

    // The view stays valid until the next call.
    Next next(std::string_view& line);
    // Number of the line last returned, from 1.
    std::int64_t lineNumber() const { return lineNumber_; }
    // False when the line last returned ended with the stream, without LF.
    bool lineTerminated() const { return terminated_; }
    // The limit on a line's length, in bytes.
    std::size_t maxLine() const { return maxLine_; }
    // A line reported too long held a carriage return not followed by LF
    // within its first bytes: its lines end in CR alone.
    bool tooLongHadBareCr() const { return bareCr_; }

private:
    bool fill();

    std::istream& in_;
    std::size_t maxLine_;
    std::vector<char> buffer_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    bool eof_ = false;
    std::int64_t lineNumber_ = 0;
    bool terminated_ = true;
    bool skipping_ = false; // passing over the rest of a line reported too long
    bool bareCr_ = false;
};

} // namespace km740
