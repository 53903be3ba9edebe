// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/RealTimeRecorder.h"

#include "panel/RecordingFile.h"
#include "panel/RealTimeFileText.h"

#include <filesystem>

namespace km740 {

namespace {

// The level texts carry the regional separator; compare them as numbers.
bool higher(double level, const std::string& maxText)
{
    return maxText.empty() || level > numericPrefix(maxText, true);
}

} // namespace

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

Status RealTimeRecorder::openPart(const std::string& path)
{
    if (!file_)
        file_ = std::make_unique<RecordingFile>();
    currentFile_ = path;
    if (auto s = file_->create(path); !s)
        return s;
    for (const std::string& line : realTimeHeaderLines(kRealTimeDataTitle, header_)) {
        if (auto s = file_->writeLine(line); !s)
            return s;
    }
    return file_->writeLine(kRealTimeDataColumns);
}

void RealTimeRecorder::closeFile()
{
    if (file_)
        file_->close();
}

Status RealTimeRecorder::startFileRecording(AppState& state, const std::string& path,
                                            const RecordingHeader& header, const Regional&)
{
    stopFileRecording(state);
    header_ = header;
    if (auto s = openPart(path); !s) {
        closeFile();
        return s;
    }
    state.recordingFileName = path;
    state.recordingFileChosen = false;
    state.peakTypeText = header.peakType;
    state.filePart = 0;
    state.fileRecordCount = 0;
    state.maxLevelFile = state.live.valid ? state.live.level.text : std::string{};
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (!folder.empty())
        state.lastSaveFolder = folder.string();
    state.fileRecording = true;
    blink_ = false;
    return success();
}

void RealTimeRecorder::stopFileRecording(AppState& state)
{
    closeFile();
    state.fileRecording = false;
    state.fileRecordCount = 0;
    state.recordingWaiting = false;
    state.recordingFileChosen = false;
}

void RealTimeRecorder::openList(AppState& state)
{
    list_.clear();
    state.listMode = true;
    state.listRecordCount = 0;
    state.listSavePart = 0;
    state.maxLevelList = state.live.valid ? state.live.level.text : std::string{};
}

void RealTimeRecorder::closeList(AppState& state)
{
    list_.clear();
    state.listMode = false;
    state.listRecordCount = 0;
}

SampleOutcome RealTimeRecorder::sampleTick(AppState& state, const LocalDateTime& now,
                                           double monotonicNow, const Regional& regional)
{
    SampleOutcome out;
    out.countText = state.fileRecording ? std::to_string(state.fileRecordCount) : std::string{};
    out.recordingVisible = state.fileRecording && blink_;
    if (state.linkBusy)
        return out;

    if (state.sampleTick != 0 && state.sampleTick < state.sampleInterval) {
        ++state.sampleTick;
        return out;
    }
    state.sampleTick = 1;
    out.sampled = true;
    out.recordTime = formatRecordTime(now, regional);

    // Another action holds the meter: the list ends (the file goes on).
    if (state.listMode && state.meterInUse) {
        closeList(state);
        out.listClosed = true;
    }

    // Only a level polled within the last two seconds is a reading; an older
    // one would be written again and again as if the meter had measured it.
    const bool fresh = state.levelFresh(monotonicNow, kMaxLevelAge);
    if (!fresh) {
        out.waitingForMeter = state.fileRecording || state.listMode;
        state.recordingWaiting = state.fileRecording;
        if (state.fileRecording)
            out.recordingVisible = true; // steady while waiting
        if (!state.fileRecording)
            state.fileRecordCount = 0;
        return out;
    }
    state.recordingWaiting = false;
    const Level& level = state.live.level;
    out.levelText = level.text;

    if (state.fileRecording) {
        if (higher(level.value, state.maxLevelFile))
            state.maxLevelFile = level.text;
        ++state.fileRecordCount;
        Status written = file_ ? file_->writeLine(realTimeRecordLine(state.fileRecordCount,
                                                                     out.recordTime, level.text))
                               : Status(failure(FailureKind::io, "no recording file"));
        if (written && state.fileRecordCount % recordsPerPart_ == 0) {
            closeFile();
            ++state.filePart;
            const std::string next = continuationFileName(state.recordingFileName, state.filePart);
            written = openPart(next);
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
            out.recordingVisible = blink_;
        }
    } else {
        state.fileRecordCount = 0;
        out.countText.clear();
        out.recordingVisible = false;
    }

    if (state.listMode) {
        if (higher(level.value, state.maxLevelList))
            state.maxLevelList = level.text;
        ++state.listRecordCount;
        list_.append(state.listRecordCount, out.recordTime, level.text);
        out.listRowAdded = true;
        out.listScroll = state.listRecordCount > static_cast<long long>(RealTimeList::kVisibleRows);
        out.listAutoSaveDue = state.listRecordCount % recordsPerPart_ == 0;
    }
    return out;
}

} // namespace km740
