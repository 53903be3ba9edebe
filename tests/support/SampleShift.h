// SPDX-License-Identifier: GPL-3.0-or-later
// A surveyed shift as a real-time data file: stretches of one-second
// readings around given levels, for the exposure summary and the report.
#pragma once

#include "core/files/DataFile.h"
#include "support/SampleFiles.h"

#include <cstdio>
#include <vector>

namespace km740::test {

struct ShiftStretch {
    int seconds = 0;
    double level = 85.0; // the middle of the readings
    double swing = 0.0;  // readings move up to this much either side
};

// One reading a second from `startHour` on 2026-12-01, stretch after stretch.
inline RealTimeFile sampleShift(const std::vector<ShiftStretch>& stretches, int startHour = 8)
{
    RealTimeFile f{DataFileKind::realTimeData, sampleSettings(true), {}};
    int s = 0;
    for (const ShiftStretch& st : stretches) {
        for (int i = 0; i < st.seconds; ++i, ++s) {
            const int h = startHour + s / 3600;
            char time[32];
            std::snprintf(time, sizeof time, "2026/12/%02d %02d:%02d:%02d", 1 + h / 24, h % 24, (s / 60) % 60, s % 60);
            // A fixed walk through -1 .. +1, so the same file comes out every time.
            const double walk = static_cast<double>((s * 37) % 21 - 10) / 10.0;
            char level[16];
            std::snprintf(level, sizeof level, "%.1f", st.level + st.swing * walk);
            f.records.push_back({s + 1, time, level});
        }
    }
    return f;
}

// Four hours from 08:00: two at about 88 dB, half an hour of 97 dB at the
// compressor from 10:00, an hour and a half at about 84 dB.
inline RealTimeFile sampleSurveyShift()
{
    return sampleShift({{7200, 88.0, 4.0}, {1800, 97.0, 1.0}, {5400, 84.0, 6.0}});
}

} // namespace km740::test
