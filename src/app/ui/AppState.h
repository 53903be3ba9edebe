// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/recording/RecordingState.h"

#include <array>
#include <cstdint>
#include <string>

namespace km740 {

// The program-wide values the windows share, in one object made by the
// program and handed to the windows through their context. Only the window
// thread touches it.
struct AppState {
    // Link
    int portNumber = 0;      // 1..16; 0 until the chooser sets it, or for a
                             // device given by path that no COM stands for
    bool simulated = false;  // COM 1 is the in-process virtual meter
    std::string portDevice;  // the device the COM number maps to
    bool linkBusy = false;   // lost-link recovery runs (or the device is gone)
    bool deviceGone = false; // "No Device Found!": nothing but "Open" until restart
    bool meterInUse = false; // a toolbar action or window owns the meter

    // Regional settings, recomputed at every poll tick
    bool decimalComma = false;

    // Panel values
    int panelCriterion = 85; // set by the meter setup window
    int panelThreshold = 80;
    LiveReading live;

    // Dose presets as read by "R" and "C"
    int presetIndex = 0; // 0..16; 255 from the meter is taken as 0
    std::array<std::uint8_t, 36> userPresetTable{};

    // Window-open flags
    bool keypadOpen = false;
    bool chartOpen = false;
    bool memoryOpen = false;
    bool headerTextOpen = false;
    bool dataListOpen = false;

    // Real-time sampling, the file recording and the real-time list
    RecordingState recording;

    // Graph inputs
    int plotKind = 0;
    double plotXMax = 0.0;
    double plotYMin = 0.0;
    double plotYMax = 0.0;

    // What a sampling tick reads from the link's side.
    LinkNow linkNow() const { return LinkNow{live, linkBusy, meterInUse}; }

    // "COM  3", the port label's text while the link is up; the device's own
    // name for a device no COM number stands for.
    std::string portCaption() const;

    // Peak type written into recording headers, from the preset read by "R"
    // and the user table read by "C": "Llpk" for presets 0..5, "Lcpk" for 6
    // and 7, else the peak type of user record presetIndex - 8.
    std::string peakTypeForPreset() const;
};

} // namespace km740
