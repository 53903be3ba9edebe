// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/recording/RealTimeRecorder.h"

#include "core/files/RecordingFile.h"

#include <filesystem>

namespace km740 {

namespace {

// The level texts carry the regional separator; compare them as numbers.
bool higher(double level, const std::string& maxText)
{
    return maxText.empty() || level > numericPrefix(maxText, true);
}

} // namespace

RecordingHeader RecordingHeader::fromPanel(const std::array<std::pair<std::string, std::string>, 9>& pairs,
                                           std::string peakType)
{
    RecordingHeader h;
    h.calibratedDb = pairs[0].second;
    h.timeWeight = pairs[1].second;
    h.frequencyWeight = pairs[2].second;
    h.threshold = pairs[3].second;
    h.criterion = pairs[4].second;
    h.exchangeRate = pairs[5].second;
    h.peakType = std::move(peakType);
    h.range = pairs[7].second;
    h.calibratedTime = pairs[8].second;
    return h;
}

SettingsBlock RecordingHeader::settingsBlock() const
{
    SettingsBlock b;
    b.calibratedDb = calibratedDb;
    b.timeWeight = timeWeight;
    b.freqWeight = frequencyWeight;
    b.threshold = threshold;
    b.criterion = criterion;
    b.exchangeRate = exchangeRate;
    b.peak = peakType;
    b.range = range;
    b.calibratedTime = calibratedTime;
    return b;
}

std::string continuationFileName(const std::string& path, int part)
{
    const std::string suffix = "-" + std::to_string(part);
    const std::size_t slash = path.find_last_of('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = path.find_last_of('.');
    // A dot that starts the name (".sonx") is a hidden file, not an extension.
    if (dot == std::string::npos || dot <= nameStart)
        return path + suffix;
    return path.substr(0, dot) + suffix + path.substr(dot);
}

RealTimeRecorder::RealTimeRecorder(long long recordsPerPart)
    : recordsPerPart_(recordsPerPart > 0 ? recordsPerPart : kRecordsPerPart)
{
}

RealTimeRecorder::~RealTimeRecorder() = default;

Status RealTimeRecorder::openPart(const std::string& path, const RecordingHeader& header)
{
    file_.reset();
    currentFile_ = path;
    auto created = RecordingFile::create(path, header.settingsBlock(), DataFileKind::realTimeData);
    if (!created)
        return created.error();
    file_ = std::make_unique<RecordingFile>(std::move(created.value()));
    return success();
}

Status RealTimeRecorder::closeFile()
{
    if (!file_)
        return success();
    Status s = file_->close();
    file_.reset();
    return s;
}

Status RealTimeRecorder::writeRecord(const LevelRecord& record)
{
    if (!file_)
        return failure(FailureKind::io, "cannot write " + currentFile_ + ": the file is closed");
    if (Status s = file_->append(record); !s)
        return s;
    // Writing into a file that was deleted or moved away succeeds and is
    // lost: the name must still lead to a file.
    std::error_code ec;
    if (!std::filesystem::exists(currentFile_, ec))
        return failure(FailureKind::io, "cannot write " + currentFile_ + ": the file was removed");
    return success();
}

Status RealTimeRecorder::startFileRecording(RecordingState& state, const LiveReading& live, const std::string& path,
                                            const RecordingHeader& header, const Regional&)
{
    stopFileRecording(state);
    if (auto s = openPart(path, header); !s) {
        (void)closeFile();
        return s;
    }
    state.recordingFileName = path;
    state.recordingFileChosen = false;
    state.peakTypeText = header.peakType;
    state.filePart = 0;
    state.fileRecordCount = 0;
    state.maxLevelFile = live.valid ? live.level.text : std::string{};
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (!folder.empty())
        state.lastSaveFolder = folder.string();
    state.fileRecording = true;
    blink_ = false;
    return success();
}

void RealTimeRecorder::stopFileRecording(RecordingState& state)
{
    (void)closeFile();
    state.fileRecording = false;
    state.fileRecordCount = 0;
    state.recordingWaiting = false;
    state.recordingFileChosen = false;
}

void RealTimeRecorder::openList(RecordingState& state, const LiveReading& live)
{
    list_.clear();
    state.listMode = true;
    state.listRecordCount = 0;
    state.listSavePart = 0;
    state.maxLevelList = live.valid ? live.level.text : std::string{};
}

void RealTimeRecorder::closeList(RecordingState& state)
{
    list_.clear();
    state.listMode = false;
    state.listRecordCount = 0;
}

SampleOutcome RealTimeRecorder::sampleTick(RecordingState& state, const LinkNow& link, const LocalDateTime& now,
                                           double monotonicNow, const Regional& regional, const HeaderSource& panelNow)
{
    SampleOutcome out;
    out.countText = state.fileRecording ? std::to_string(state.fileRecordCount) : std::string{};
    out.recordingVisible = state.fileRecording && blink_;
    if (link.linkBusy)
        return out;

    if (state.sampleTick != 0 && state.sampleTick < state.sampleInterval) {
        ++state.sampleTick;
        return out;
    }
    state.sampleTick = 1;
    out.sampled = true;
    out.recordTime = formatRecordTime(now, regional);

    // Another action holds the meter: the list ends (the file goes on).
    if (state.listMode && link.meterInUse) {
        closeList(state);
        out.listClosed = true;
    }

    // Only a level polled within the last two seconds is a reading; an older
    // one would be written again and again as if the meter had measured it.
    // The second still gets its record, with the level not measured, so the
    // records stay one a second and the gap shows wherever they are read.
    const bool fresh = link.live.fresh(monotonicNow, kMaxLevelAge);
    out.waitingForMeter = !fresh && (state.fileRecording || state.listMode);
    state.recordingWaiting = !fresh && state.fileRecording;
    const Level& level = link.live.level;
    out.levelText = fresh ? level.text : std::string(kNotMeasured);

    if (state.fileRecording) {
        if (fresh && higher(level.value, state.maxLevelFile))
            state.maxLevelFile = level.text;
        ++state.fileRecordCount;
        Status written = writeRecord(LevelRecord{state.fileRecordCount, out.recordTime, out.levelText});
        if (written && state.fileRecordCount % recordsPerPart_ == 0) {
            written = closeFile();
            ++state.filePart;
            const std::string next = continuationFileName(state.recordingFileName, state.filePart);
            if (written)
                written = openPart(next, panelNow());
            if (written)
                out.continuedInto = next;
        }
        if (!written) {
            out.recordingStopped = written.error();
            stopFileRecording(state);
            out.countText.clear();
            out.recordingVisible = false;
        } else {
            out.fileRecordWritten = true;
            out.countText = std::to_string(state.fileRecordCount);
            blink_ = !blink_;
            out.recordingVisible = fresh ? blink_ : true; // steady while waiting
        }
    } else {
        state.fileRecordCount = 0;
        out.countText.clear();
        out.recordingVisible = false;
    }

    if (state.listMode) {
        if (fresh && higher(level.value, state.maxLevelList))
            state.maxLevelList = level.text;
        ++state.listRecordCount;
        list_.append(state.listRecordCount, out.recordTime, out.levelText);
        out.listRowAdded = true;
        out.listScroll = state.listRecordCount > static_cast<long long>(RealTimeList::kVisibleRows);
        out.listAutoSaveDue = state.listRecordCount % recordsPerPart_ == 0;
    }
    return out;
}

} // namespace km740
