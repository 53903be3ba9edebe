// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The four kinds of ".sonx" data file as values: what a writer takes and what
// the reader gives back. Texts are UTF-8 here; the files are Windows-1252.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace km740 {

enum class DataFileKind {
    realTimeData, // "Real Time Data": the running recording file
    realTimeList, // "Real Time List": the real-time list window saved
    doseLogger,   // "Data Logger dBL": a dose/TWA logger set
    levelLogger,  // "Data Logger dBS": a level logger set with its summary
};

// Line 1 of a file of the kind.
std::string_view dataFileTitle(DataFileKind kind);
bool isRealTime(DataFileKind kind);

// The nine settings panel values, lines 5 to 13 of every file, in file order.
// The titles in front of them are fixed by the kind (see settingsTitles).
struct SettingsBlock {
    std::string calibratedDb;   // PlCaldB
    std::string timeWeight;     // PlFSI
    std::string freqWeight;     // PlAC
    std::string threshold;      // PlThreshold
    std::string criterion;      // PlCriterion
    std::string exchangeRate;   // PlExchangeRate
    std::string peak;           // real-time kinds: the peak type text ("Llpk"/"Lcpk"); logger kinds: PlPeak
    std::string range;          // PlRange
    std::string calibratedTime; // PlCalTime

    static constexpr std::size_t count = 9;
    std::array<const std::string*, count> fields() const;
    std::array<std::string*, count> fields();
    bool operator==(const SettingsBlock&) const = default;
};

// The titles before the ":" on lines 5 to 13 ("Peak Type" in the real-time
// kinds, "Peak  Value" in the logger kinds).
const std::array<std::string_view, SettingsBlock::count>& settingsTitles(DataFileKind kind);

// A row of the pause grid, the four cells as the window shows them.
struct PauseRow {
    std::string times;   // pause number 1, 2, ...
    std::string pause;   // time of day the pause began
    std::string release; // time of day it ended
    std::string period;  // release - pause, hh:mm:ss; kNoValueText when unknown
    bool operator==(const PauseRow&) const = default;
};

// The one-row summary of a level logger set.
struct DoseSummary {
    std::string dose;
    std::string twa;
    bool operator==(const DoseSummary&) const = default;
};

// A record of the real-time kinds and of a level logger set.
struct LevelRecord {
    std::int64_t number = 0;
    std::string dateTime;
    std::string level; // as shown: one decimal, regional separator
    bool operator==(const LevelRecord&) const = default;
};

// A record of a dose logger set.
struct DoseRow {
    std::string number;
    std::string dateTime;
    std::string dose;
    std::string twa;
    bool operator==(const DoseRow&) const = default;
};

// "Real Time Data" or "Real Time List".
struct RealTimeFile {
    DataFileKind kind = DataFileKind::realTimeData;
    SettingsBlock settings;
    std::vector<LevelRecord> records;
    bool operator==(const RealTimeFile&) const = default;
};

// "Data Logger dBL".
struct DoseLoggerFile {
    SettingsBlock settings;
    std::vector<PauseRow> pauses; // none: the file says "0" and the pause list is hidden
    std::vector<DoseRow> records;
    bool operator==(const DoseLoggerFile&) const = default;
};

// "Data Logger dBS".
struct LevelLoggerFile {
    SettingsBlock settings;
    std::vector<PauseRow> pauses;
    DoseSummary summary;
    std::vector<LevelRecord> records;
    bool operator==(const LevelLoggerFile&) const = default;
};

using DataFile = std::variant<RealTimeFile, DoseLoggerFile, LevelLoggerFile>;
DataFileKind kindOf(const DataFile& file);
const SettingsBlock& settingsOf(const DataFile& file);

// Fixed texts of the record sections.
namespace datafile {
inline constexpr std::string_view dateTimeHeader = "     Date Time    ";           // grid header
inline constexpr std::string_view recordingDateTimeHeader = "      Date Time    "; // "Real Time Data" line 14
inline constexpr std::string_view numberHeader = "No.s";
inline constexpr std::string_view levelHeader = "dB";
inline constexpr std::string_view doseHeader = "Dose";
inline constexpr std::string_view twaHeader = "TWA";
inline constexpr std::array<std::string_view, 4> pauseHeader = {"Times", "Pause", "Release", "Period"};
// A record line holding this is a note for the caption, not a record.
inline constexpr std::string_view maxLevelNote = "Max. dB";
// Records per file of a live recording before it continues in a new file.
inline constexpr std::int64_t recordsPerPart = 345600;
} // namespace datafile

} // namespace km740
