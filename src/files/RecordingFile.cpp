// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/RecordingFile.h"

#include "files/AtomicFile.h"
#include "files/DataFileFormat.h"
#include "files/TextCodec.h"

#include <cerrno>
#include <utility>

namespace km740 {

RecordingFile::RecordingFile(std::filesystem::path path, std::FILE* file)
    : path_(std::move(path)), file_(file)
{
}

RecordingFile::RecordingFile(RecordingFile&& other) noexcept
    : path_(std::move(other.path_)), file_(std::exchange(other.file_, nullptr)),
      records_(other.records_)
{
}

RecordingFile& RecordingFile::operator=(RecordingFile&& other) noexcept
{
    if (this != &other) {
        (void)close();
        path_ = std::move(other.path_);
        file_ = std::exchange(other.file_, nullptr);
        records_ = other.records_;
    }
    return *this;
}

RecordingFile::~RecordingFile()
{
    (void)close();
}

Result<RecordingFile> RecordingFile::create(const std::filesystem::path& path,
                                            const SettingsBlock& settings, DataFileKind kind)
{
    if (!isRealTime(kind))
        return failure(FailureKind::data, "a recording file is a real-time kind");
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        return failure(FailureKind::io, "cannot write " + path.string() + ": it is a folder");
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return failure(FailureKind::io, "cannot create " + path.string() + ": " + errorText(errno ? errno : EIO));
    RecordingFile recording(path, file);
    std::string header = datafile::headerLines(kind, settings);
    header += kind == DataFileKind::realTimeData ? datafile::recordingColumnsLine()
                                                 : datafile::levelColumnsLine();
    if (auto s = recording.put(toWindows1252(header)); !s)
        return s.error();
    return recording;
}

Status RecordingFile::put(std::string_view bytes)
{
    if (!file_)
        return failure(FailureKind::io, "recording file " + path_.string() + " is closed");
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size() || std::fflush(file_) != 0)
        return failure(FailureKind::io,
                       "cannot write " + path_.string() + ": " + errorText(errno ? errno : EIO));
    return success();
}

Status RecordingFile::append(const LevelRecord& record)
{
    std::string line = datafile::levelRecordLine(record);
    auto s = put(isAscii(line) ? line : toWindows1252(line));
    if (s)
        ++records_;
    return s;
}

Status RecordingFile::close()
{
    if (!file_)
        return success();
    errno = 0;
    if (std::fclose(std::exchange(file_, nullptr)) != 0)
        return failure(FailureKind::io,
                       "cannot close " + path_.string() + ": " + errorText(errno ? errno : EIO));
    return success();
}

} // namespace km740
