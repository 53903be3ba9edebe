// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/recording/RecordingState.h"
#include "core/common/Regional.h"
#include "core/common/Result.h"
#include "core/files/DataFile.h"
#include "core/recording/RealTimeList.h"
#include "core/recording/RecordTime.h"

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace km740 {

class RecordingFile;

// The main window's settings panel values a real-time file header copies.
// The peak line of a real-time file is the peak type, not the peak value.
struct RecordingHeader {
    std::string calibratedDb;
    std::string timeWeight;
    std::string frequencyWeight;
    std::string threshold;
    std::string criterion;
    std::string exchangeRate;
    std::string peakType; // "Llpk" or "Lcpk"
    std::string range;
    std::string calibratedTime;

    // From the nine (title, value) panel pairs in header order (as the
    // settings panel gives them); the peak value is replaced by the type.
    static RecordingHeader fromPanel(const std::array<std::pair<std::string, std::string>, 9>& pairs,
                                     std::string peakType);

    // Lines 5 to 13 of a real-time file.
    SettingsBlock settingsBlock() const;
};

// The header as the main window's panel shows it now.
using HeaderSource = std::function<RecordingHeader()>;

// The name of continuation file `part` of a recording: "-part" goes before
// the extension of the file name itself ("rt.sonx" -> "rt-1.sonx"), or at the
// end when the name has no extension. Folders are never touched.
std::string continuationFileName(const std::string& path, int part);

// What one sampling tick did, for the main window (and the List window) to show.
struct SampleOutcome {
    bool sampled = false;         // a sample was due this tick
    bool waitingForMeter = false; // due, but no level polled within the last 2 s: "-" written
    std::string recordTime;       // date and time of the sample
    std::string levelText;        // the level written, "-" when none was measured

    // File recording (LblCount, LblRecording)
    bool fileRecordWritten = false;
    std::string countText;                    // "" when not recording
    bool recordingVisible = false;            // LblRecording blinks once a second
    std::optional<std::string> continuedInto; // a continuation file was started
    std::optional<Failure> recordingStopped;  // a write failed: the recording was stopped

    // Real-time list
    bool listRowAdded = false;
    bool listClosed = false;      // the meter is in use: the List window must close
    bool listScroll = false;      // more than 21 rows: keep the newest in view
    bool listAutoSaveDue = false; // the list holds a full part: save it and clear it
};

// The two real-time recorders fed by the main window's one-second tick: the
// file recording ("Real Time Data", continued in a new file every
// recordsPerFile records) and the real-time list. Their values between ticks
// (FileRecording, FileRecordCount, FilePart, MaxLevelFile, ListMode,
// ListRecordCount, MaxLevelList, ...) live in the caller's RecordingState.
class RealTimeRecorder {
public:
    static constexpr long long kRecordsPerPart = datafile::recordsPerPart;
    static constexpr double kMaxLevelAge = 2.0; // seconds
    // The level cell of a second without a reading (the meter busy with a
    // long exchange such as a logger download).
    static constexpr std::string_view kNotMeasured = "-";

    explicit RealTimeRecorder(long long recordsPerPart = kRecordsPerPart);
    ~RealTimeRecorder();
    RealTimeRecorder(const RealTimeRecorder&) = delete;
    RealTimeRecorder& operator=(const RealTimeRecorder&) = delete;

    // Creates the file (replacing an existing one), writes the "Real Time
    // Data" header and sets FileRecording, FilePart 0, MaxLevelFile (from the
    // live level), RecordingFileName and the last save folder. On failure
    // nothing is recording and the reason names the file.
    Status startFileRecording(RecordingState& state, const LiveReading& live, const std::string& path,
                              const RecordingHeader& header, const Regional& regional);

    // Closes the file and clears FileRecording and FileRecordCount. Sends nothing.
    void stopFileRecording(RecordingState& state);

    // The main window's Timer2 tick. `now` is the computer's clock,
    // `monotonicNow` the clock of LiveReading::polledAt. A continuation file
    // begun by this tick takes its header from `panelNow`: the panel values
    // of that moment, not those the recording started with.
    SampleOutcome sampleTick(RecordingState& state, const LinkNow& link, const LocalDateTime& now, double monotonicNow,
                             const Regional& regional, const HeaderSource& panelNow);

    // The rows of the real-time list (the List window shows them).
    RealTimeList& list() { return list_; }
    const RealTimeList& list() const { return list_; }

    // Starts the list: ListMode on, the list emptied, MaxLevelList from the live level.
    void openList(RecordingState& state, const LiveReading& live);
    // Ends the list: ListMode off, ListRecordCount 0, rows dropped.
    void closeList(RecordingState& state);

    long long recordsPerPart() const { return recordsPerPart_; }
    // The file being written now (the continuation file after a boundary).
    const std::string& currentFile() const { return currentFile_; }

private:
    Status openPart(const std::string& path, const RecordingHeader& header);
    Status closeFile();
    Status writeRecord(const LevelRecord& record);

    long long recordsPerPart_;
    RealTimeList list_;
    std::string currentFile_;
    std::unique_ptr<RecordingFile> file_;
    bool blink_ = false;
};

} // namespace km740
