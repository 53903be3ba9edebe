// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/recording/RealTimeRecorder.h"

namespace km740::test {

// The main window's panel as a recording header takes it, for tests of the
// real-time files: lines 5 to 13 read "Calibrated dB:94", "Time Weight:Slow",
// "Frequency Weight:A", "Threshold Level:80", "Criterion Level:85",
// "Exchange Rate:3", "Peak Type:Lcpk", "Range:70-140",
// "Calibrated Time:2018/03/07 14:30:05".
inline RecordingHeader sampleHeader()
{
    RecordingHeader h;
    h.calibratedDb = "94";
    h.timeWeight = "Slow";
    h.frequencyWeight = "A";
    h.threshold = "80";
    h.criterion = "85";
    h.exchangeRate = "3";
    h.peakType = "Lcpk";
    h.range = "70-140";
    h.calibratedTime = "2018/03/07 14:30:05";
    return h;
}

} // namespace km740::test
