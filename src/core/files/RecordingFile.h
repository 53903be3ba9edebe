// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/common/Result.h"
#include "core/common/AtomicFile.h"
#include "core/files/DataFile.h"

#include <filesystem>
#include <optional>

namespace km740 {

// The running "Real Time Data" file of a live recording: the header is
// written when it is created and every record is flushed to the disk as it is
// appended, so a crash loses at most the record being written. Unlike the
// other writers it writes under its own name from the start; a device or a
// FIFO is written through, a read-only file refused, as everywhere.
class RecordingFile {
public:
    // Creates (or replaces) the file and writes lines 1 to 14.
    static Result<RecordingFile> create(const std::filesystem::path& path, const SettingsBlock& settings,
                                        DataFileKind kind = DataFileKind::realTimeData);

    RecordingFile(RecordingFile&& other) noexcept;
    RecordingFile& operator=(RecordingFile&& other) noexcept;
    RecordingFile(const RecordingFile&) = delete;
    RecordingFile& operator=(const RecordingFile&) = delete;
    ~RecordingFile();

    // One record line ("n", Tab, date time, Tab, level, Tab), flushed.
    Status append(const LevelRecord& record);
    Status close();

    bool isOpen() const { return file_.has_value(); }
    std::int64_t recordsWritten() const { return records_; }
    const std::filesystem::path& path() const { return path_; }

private:
    RecordingFile(std::filesystem::path path, AtomicFile file);
    Status put(std::string_view bytes);

    std::filesystem::path path_;
    std::optional<AtomicFile> file_;
    std::int64_t records_ = 0;
};

} // namespace km740
