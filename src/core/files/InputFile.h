// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/common/Result.h"

#include <cstdint>
#include <filesystem>
#include <istream>
#include <memory>

namespace km740 {

// A file the user chose, open for reading as bytes. A regular file is read
// to its end. A character device or a FIFO may never end (/dev/zero): it is
// read up to a bound, after which the stream ends and limitPassed() says so.
// A FIFO nobody writes to is refused rather than waited on.
class InputFile : public std::istream {
public:
    static constexpr std::uint64_t deviceLimit = std::uint64_t{1} << 30;

    ~InputFile() override;
    bool limitPassed() const;
    // What limitPassed() means, for messages: "read no further than ...".
    static std::string limitText();

private:
    friend Result<std::unique_ptr<InputFile>> openInputFile(const std::filesystem::path&, std::uint64_t);
    class Buffer;
    explicit InputFile(std::unique_ptr<Buffer> buffer);
    std::unique_ptr<Buffer> buffer_;
};

// Opens a file for reading. A folder, a socket or a file that cannot be
// opened gives a failure naming it.
Result<std::unique_ptr<InputFile>> openInputFile(const std::filesystem::path& path,
                                                 std::uint64_t deviceLimit = InputFile::deviceLimit);

// "name: message", for failures about a file's content.
Failure namingFile(const std::filesystem::path& path, Failure failure);

} // namespace km740
