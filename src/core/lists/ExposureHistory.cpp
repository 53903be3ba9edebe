// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/lists/ExposureHistory.h"

#include "core/exposure/LevelCell.h"
#include "core/files/DataFileReader.h"
#include "core/lists/DerivedFromFile.h"

#include <optional>

namespace km740 {

namespace {

constexpr std::int64_t kProgressEvery = 4096;

bool cancelled(const std::atomic<bool>* cancel)
{
    return cancel && cancel->load(std::memory_order_relaxed);
}

Failure stopped(const std::string& why)
{
    return failure(FailureKind::cancelled, why);
}

// Hands the records of a file to the summary as the reader streams them.
class HistorySink : public DataFileSink {
public:
    HistorySink(const LevelHistory::StartHandler& start, const LevelHistory::ReadingHandler& reading,
                const std::function<void(std::int64_t)>& progress, const std::atomic<bool>* cancel)
        : start_(start), reading_(reading), progress_(progress), cancel_(cancel)
    {
    }
    bool header(const DataFileHeader& header) override
    {
        auto start = historyStartOf(header.kind, header.settings);
        if (!start) {
            problem_ = start.error();
            return false;
        }
        if (!start_(*start)) {
            problem_ = stopped("the summary stopped the read");
            return false;
        }
        return true;
    }
    bool levelRecord(const LevelRecord& record) override
    {
        if (!reading_(readingOf(record))) {
            problem_ = stopped("the summary stopped the read");
            return false;
        }
        if (++records_ % kProgressEvery == 0) {
            if (progress_)
                progress_(records_);
            if (cancelled(cancel_)) {
                problem_ = stopped("cancelled");
                return false;
            }
        }
        return true;
    }
    const std::optional<Failure>& problem() const { return problem_; }

private:
    const LevelHistory::StartHandler& start_;
    const LevelHistory::ReadingHandler& reading_;
    const std::function<void(std::int64_t)>& progress_;
    const std::atomic<bool>* cancel_;
    std::int64_t records_ = 0;
    std::optional<Failure> problem_;
};

} // namespace

Result<HistoryStart> historyStartOf(DataFileKind kind, const SettingsBlock& settings)
{
    HistoryStart start{doseParametersOf(settings), std::nullopt};
    switch (kind) {
    case DataFileKind::realTimeData:
    case DataFileKind::realTimeList:
        // The file lists take every record of a real-time file as one second.
        start.intervalSeconds = 1.0;
        return start;
    case DataFileKind::levelLogger: return start;
    case DataFileKind::doseLogger: break;
    }
    return failure(FailureKind::data, "a dose logger set holds doses, not levels: it has no level history");
}

LevelReading readingOf(const LevelRecord& record)
{
    return {parseLocalTime(record.dateTime), readLevelCell(record.level)};
}

FileHistory::FileHistory(std::filesystem::path path, std::function<void(std::int64_t)> progress,
                         const std::atomic<bool>* cancel)
    : path_(std::move(path)), progress_(std::move(progress)), cancel_(cancel)
{
}

Status FileHistory::read(const StartHandler& start, const ReadingHandler& reading) const
{
    HistorySink sink(start, reading, progress_, cancel_);
    auto read = readDataFile(path_, sink);
    if (sink.problem()) {
        Failure f = *sink.problem();
        if (f.kind == FailureKind::data)
            f.message = path_.string() + ": " + f.message;
        return f;
    }
    if (!read)
        return read.error();
    return success();
}

RecordHistory::RecordHistory(DataFileKind kind, SettingsBlock settings, std::span<const LevelRecord> records,
                             const std::atomic<bool>* cancel)
    : kind_(kind), settings_(std::move(settings)), records_(records), cancel_(cancel)
{
}

Status RecordHistory::read(const StartHandler& start, const ReadingHandler& reading) const
{
    auto begin = historyStartOf(kind_, settings_);
    if (!begin)
        return begin.error();
    if (!start(*begin))
        return stopped("the summary stopped the read");
    std::int64_t n = 0;
    for (const LevelRecord& record : records_) {
        if (!reading(readingOf(record)))
            return stopped("the summary stopped the read");
        if (++n % kProgressEvery == 0 && cancelled(cancel_))
            return stopped("cancelled");
    }
    return success();
}

} // namespace km740
