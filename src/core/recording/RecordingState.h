// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/link/Codes.h"

#include <array>
#include <cstdint>
#include <string>

namespace km740 {

// What the last good live poll read from the meter. Other windows (recorder,
// chart, keypad, file headers) use these instead of asking the meter again.
struct LiveReading {
    bool valid = false;                      // at least one good status frame since start
    double polledAt = -1.0;                  // steady wall-clock seconds of the last good frame
    Level level;                             // LevelValue / LevelText
    MeterSettings settings;                  // decoded settings byte of the frame
    std::string peakText;                    // "< 103", "< 93" or the peak in dB
    std::array<std::uint8_t, 12> segments{}; // display mirror bytes 4..15
    std::string calTimeText;                 // "2018/03/07 14:30:05"; empty until a calibration reply came
    std::string calLevelText;                // "101"

    // True when the level was polled within maxAge seconds of now (steady
    // seconds, as polledAt).
    bool fresh(double now, double maxAge = 2.0) const;
};

// What a sampling tick reads from the link's side.
struct LinkNow {
    const LiveReading& live;
    bool linkBusy = false;   // lost-link recovery runs: the tick does nothing
    bool meterInUse = false; // a window holds the meter: the real-time list closes
};

// The values of the file recording and the real-time list that the recorder
// keeps between ticks. Only the window thread touches them.
struct RecordingState {
    int sampleInterval = 1; // seconds
    int sampleTick = 0;
    bool fileRecording = false;
    long long fileRecordCount = 0;
    int filePart = 0; // last continuation file number
    bool listMode = false;
    long long listRecordCount = 0;
    int listSavePart = 0;
    std::string peakTypeText = "Llpk";
    std::string maxLevelFile;
    std::string maxLevelList;
    bool recordingWaiting = false; // recording runs but the level is stale: nothing written

    // The recording and the list saves each keep their own open file, so
    // there is no shared file number.
    std::string recordingFileName;
    bool recordingFileChosen = false;
    std::string lastSaveFolder; // folder of the last recording or list save
};

} // namespace km740
