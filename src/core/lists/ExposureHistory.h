// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The level histories an exposure summary is made of: a data file streamed
// from the disk, and records held in memory (the real-time list, a file
// list's rows).

#include "core/exposure/ExposureSummary.h"
#include "core/files/DataFile.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>

namespace km740 {

// What a kind of data file gives a history: a real-time file one reading a
// second, a level logger set one per logging interval (the step between its
// record times); a dose logger set holds no levels and fails.
Result<HistoryStart> historyStartOf(DataFileKind kind, const SettingsBlock& settings);

// A reading of a record as the file lists read it: the time of its date and
// time text and the level of its level cell.
LevelReading readingOf(const LevelRecord& record);

// A real-time or level logger file, read as the summary goes. `progress`
// hears the records read so far every few thousand; `cancel` set stops the
// read (it then fails as cancelled).
class FileHistory : public LevelHistory {
public:
    explicit FileHistory(std::filesystem::path path, std::function<void(std::int64_t)> progress = {},
                         const std::atomic<bool>* cancel = nullptr);
    Status read(const StartHandler& start, const ReadingHandler& reading) const override;

private:
    std::filesystem::path path_;
    std::function<void(std::int64_t)> progress_;
    const std::atomic<bool>* cancel_;
};

// Records in memory of a file of `kind` with `settings`; they must outlive
// the history.
class RecordHistory : public LevelHistory {
public:
    RecordHistory(DataFileKind kind, SettingsBlock settings, std::span<const LevelRecord> records,
                  const std::atomic<bool>* cancel = nullptr);
    Status read(const StartHandler& start, const ReadingHandler& reading) const override;

private:
    DataFileKind kind_;
    SettingsBlock settings_;
    std::span<const LevelRecord> records_;
    const std::atomic<bool>* cancel_;
};

} // namespace km740
