// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/Result.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace km740 {

// The running recording file: every line goes to the disk as it is written
// (flushed and synced), so a crash or power cut loses at most the last one,
// and a failing write is reported with the file name and the reason.
class RecordingFile {
public:
    RecordingFile() = default;
    ~RecordingFile();
    RecordingFile(const RecordingFile&) = delete;
    RecordingFile& operator=(const RecordingFile&) = delete;

    // Creates the file, replacing an existing one.
    Status create(const std::string& path);
    // Writes one line and its CRLF and pushes it to the disk.
    Status writeLine(std::string_view line);
    void close();
    bool isOpen() const { return f_ != nullptr; }
    const std::string& path() const { return path_; }

private:
    Status fail(int err);

    std::FILE* f_ = nullptr;
    std::string path_;
};

} // namespace km740
