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
    bool valid = false;            // at least one good status frame since start
    double polledAt = -1.0;        // steady wall-clock seconds of the last good frame
    Level level;                   // LevelValue / LevelText
    MeterSettings settings;        // decoded settings byte of the frame
    std::string peakText;          // "< 103", "< 93" or the peak in dB
    std::array<std::uint8_t, 12> segments{}; // display mirror bytes 4..15
    std::string calTimeText;       // "2018/03/07 14:30:05"; empty until a calibration reply came
    std::string calLevelText;      // "101"
};

// Every program-wide value, in one object owned by the app and passed by
// reference to the windows that read or write them. Only the window thread
// touches it.
struct AppState {
    // Link
    int portNumber = 0;            // 1..16; 0 until the chooser sets it, or for a
                                   // device given by path that no COM stands for
    bool simulated = false;        // COM 1 is the in-process virtual meter
    std::string portDevice;        // the device the COM number maps to
    bool linkBusy = false;         // lost-link recovery runs (or the device is gone)
    bool deviceGone = false;       // "No Device Found!": nothing but "Open" until restart
    bool meterInUse = false;       // a toolbar action or window owns the meter

    // Regional settings, recomputed at every poll tick
    bool decimalComma = false;

    // Panel values
    int panelCriterion = 85;       // set by the meter setup window
    int panelThreshold = 80;
    LiveReading live;

    // Dose presets as read by "R" and "C"
    int presetIndex = 0;           // 0..16; 255 from the meter is taken as 0
    std::array<std::uint8_t, 36> userPresetTable{};

    // Window-open flags
    bool keypadOpen = false;
    bool chartOpen = false;
    bool memoryOpen = false;
    bool headerTextOpen = false;
    bool dataListOpen = false;
    bool listOpen = false;         // the real-time list window exists

    // Real-time sampling and recording
    int sampleInterval = 1;        // seconds
    int sampleTick = 0;
    bool fileRecording = false;
    long long fileRecordCount = 0;
    int filePart = 0;              // last continuation file number
    bool listMode = false;
    long long listRecordCount = 0;
    int listSavePart = 0;
    std::string peakTypeText = "Llpk";
    std::string maxLevelFile;
    std::string maxLevelList;
    bool recordingWaiting = false; // recording runs but the level is stale: nothing written

    // Files. The recording and the list saves each keep their own open file,
    // so there is no shared file number.
    std::string recordingFileName;
    bool recordingFileChosen = false;
    std::string lastSaveFolder;    // folder of the last recording or list save

    // Graph inputs
    int plotKind = 0;
    double plotXMax = 0.0;
    double plotYMin = 0.0;
    double plotYMax = 0.0;

    // "COM  3", the port label's text while the link is up; the device's own
    // name for a device no COM number stands for.
    std::string portCaption() const;

    // True when the live level was polled within maxAge seconds of now
    // (steady seconds, as LiveReading::polledAt).
    bool levelFresh(double now, double maxAge = 2.0) const;

    // Peak type written into recording headers, from the preset read by "R"
    // and the user table read by "C": "Llpk" for presets 0..5, "Lcpk" for 6
    // and 7, else the peak type of user record presetIndex - 8.
    std::string peakTypeForPreset() const;
};

} // namespace km740
