// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/link/Transport.h"
#include "core/sim/LoggerImageBuilder.h"

#include <array>
#include <cstdint>
#include <optional>

namespace km740 {

// Records one logger set second by second, as the meter does while it
// measures: doses summed against the set's criterion, exchange rate and
// threshold; a record at the end of every sampling step; a pause entry when
// a pause is released; for a level set (faster than 60 s) the closing summary.
class SetRecorder {
public:
    SetRecorder(const SetHeader& header, const std::array<std::uint8_t, 8>& calibration);

    int interval() const { return interval_; }
    bool isDoseSet() const { return interval_ >= 60; }
    std::size_t records() const { return records_; }

    // One measured second (never called during a pause).
    void addSecond(double db, double peakDb);
    // Ends a sampling step: its record, with the level at the step's end.
    void endStep(double levelDb);
    // A pause from `start` to `release`, seconds after the set's start.
    void addPause(std::uint32_t start, std::uint32_t release);

    // The set as it stands: marker, header, records and pause entries in
    // stream order, and a level set's summary of what was measured so far.
    Bytes bytes() const;
    // The length of bytes(), and what one more record adds to it.
    std::size_t size() const;
    std::size_t recordBytes() const;

private:
    LoggedDoseRecord doseRecord(bool wholeSet) const;

    SetHeader header_;
    std::array<std::uint8_t, 8> calibration_;
    int interval_ = 60;
    double criterion_ = 90;
    double exchange_ = 5;
    double threshold_ = 80;
    double bottom_ = 70;
    double top_ = 140;

    Bytes stream_; // records and pause entries after the header
    std::size_t records_ = 0;

    struct Sums {
        double energy = 0; // sum of 10^(L/10)
        double seconds = 0;
        double maxDb = 0;
        double minDb = 200;
        double peakDb = 0;
        void add(double db, double peak);
        double leq() const;
    };
    double dose_ = 0; // percent, whole set
    Sums set_;
    Sums step_;
};

} // namespace km740
