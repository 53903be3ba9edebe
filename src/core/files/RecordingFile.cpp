// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/files/RecordingFile.h"

#include "core/common/AtomicFile.h"
#include "core/files/DataFileFormat.h"
#include "core/files/TextCodec.h"

#include <utility>

namespace km740 {

RecordingFile::RecordingFile(std::filesystem::path path, AtomicFile file)
    : path_(std::move(path)), file_(std::move(file))
{
}

RecordingFile::RecordingFile(RecordingFile&& other) noexcept
    : path_(std::move(other.path_)), file_(std::exchange(other.file_, std::nullopt)), records_(other.records_)
{
}

RecordingFile& RecordingFile::operator=(RecordingFile&& other) noexcept
{
    if (this != &other) {
        (void)close();
        path_ = std::move(other.path_);
        file_ = std::exchange(other.file_, std::nullopt);
        records_ = other.records_;
    }
    return *this;
}

RecordingFile::~RecordingFile()
{
    (void)close();
}

Result<RecordingFile> RecordingFile::create(const std::filesystem::path& path, const SettingsBlock& settings,
                                            DataFileKind kind)
{
    if (!isRealTime(kind))
        return failure(FailureKind::data, "a recording file is a real-time kind");
    auto file = AtomicFile::create(path, AtomicFile::Mode::growing);
    if (!file)
        return file.error();
    RecordingFile recording(path, std::move(file).value());
    std::string header = datafile::headerLines(kind, settings);
    header += kind == DataFileKind::realTimeData ? datafile::recordingColumnsLine() : datafile::levelColumnsLine();
    if (auto s = recording.put(toWindows1252(header)); !s)
        return s.error();
    return recording;
}

Status RecordingFile::put(std::string_view bytes)
{
    if (!file_)
        return failure(FailureKind::io, "recording file " + path_.string() + " is closed");
    return file_->write(bytes);
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
    AtomicFile file = std::move(*file_);
    file_.reset();
    return file.commit();
}

} // namespace km740
