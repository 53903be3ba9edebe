// SPDX-License-Identifier: GPL-3.0-or-later
// Data files of each kind as the program's writers make them, for tests of
// the readers, the file list windows and their printouts.
#pragma once

#include "core/files/DataFile.h"

#include <cstdio>
#include <string>

namespace km740::test {

inline SettingsBlock sampleSettings(bool realTime)
{
    return {"94.0", "Slow", "A", "80", "90", "5", realTime ? "Lcpk" : "120.5", "70-140", "2026/12/01 07:55:00"};
}

// n one-second records from 08:00:00, levels walking between 70 and 99 dB;
// every `gapEvery`-th level is "----" (0: none).
inline RealTimeFile sampleRealTime(int n, int gapEvery = 0, char decimal = '.')
{
    RealTimeFile f{DataFileKind::realTimeData, sampleSettings(true), {}};
    for (int i = 1; i <= n; ++i) {
        const int s = i - 1;
        char time[32];
        std::snprintf(time, sizeof time, "2026/12/%02d %02d:%02d:%02d", 1 + (8 + s / 3600) / 24, (8 + s / 3600) % 24,
                      (s / 60) % 60, s % 60);
        const int tenths = 700 + (i * 37) % 300;
        std::string level = std::to_string(tenths / 10) + decimal + std::to_string(tenths % 10);
        if (gapEvery > 0 && i % gapEvery == 0)
            level = "----";
        f.records.push_back({i, time, level});
    }
    return f;
}

// A dose/TWA set with two pauses; record 2's TWA is "----".
inline DoseLoggerFile sampleDoseLogger()
{
    return {sampleSettings(false),
            {{"1", "09:10:00", "09:12:30", "00:02:30"}, {"2", "11:00:00", "11:30:00", "00:30:00"}},
            {{"1", "2026/12/01 09:00:00", "0.5000", "85.1"},
             {"2", "2026/12/01 09:01:00", "0", "----"},
             {"3", "2026/12/01 09:02:00", "1.2500", "87.3"}}};
}

// A level set without pauses: n records every 2 s, one a "-" cell.
inline LevelLoggerFile sampleLevelLogger(int n = 7)
{
    LevelLoggerFile f{sampleSettings(false), {}, {"12.5", "81.0"}, {}};
    for (int i = 1; i <= n; ++i) {
        char time[32];
        std::snprintf(time, sizeof time, "2026/12/01 08:00:%02d", 2 * i);
        f.records.push_back({i, time, i == 3 ? "-" : std::to_string(80 + i) + ".5"});
    }
    return f;
}

// A level set of one eight-hour shift from 07:00 on `day` ("2026/03/02"),
// a reading a minute at one level: its LEX,8h is that level.
inline LevelLoggerFile sampleShiftOn(const std::string& day, const std::string& level)
{
    LevelLoggerFile f{sampleSettings(false), {}, {"50.0", "85.0"}, {}};
    for (int i = 0; i < 480; ++i) {
        char time[40];
        std::snprintf(time, sizeof time, "%s %02d:%02d:00", day.c_str(), 7 + i / 60, i % 60);
        f.records.push_back({i + 1, time, level});
    }
    return f;
}

} // namespace km740::test
