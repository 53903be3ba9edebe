// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace km740 {

// The sound of a workplace: a background that wanders, machines that start
// and stop, and now and then a bang. Deterministic for a given seed and
// sequence of times, so tests and logged sets come out the same every run.
class LiveLevel {
public:
    static constexpr double step = 0.125; // seconds per step of the walk

    LiveLevel(std::uint64_t seed, double startTime);

    // Moves the walk on to time t (seconds on the same clock as startTime).
    // A long gap is bridged with a fresh walk, never with millions of steps.
    void advanceTo(double t);

    double level() const { return shown_; }   // dB, time-weighted
    double peak() const { return heldPeak_; } // dB, held and slowly falling
    bool machineRunning() const { return machineOn_; }

private:
    double uniform();  // [0, 1)
    double gaussian(); // mean 0, deviation 1
    void oneStep();

    std::uint64_t rng_;
    double time_;
    double level_ = 74.0;
    double target_ = 74.0;
    double shown_ = 74.0;
    double heldPeak_ = 88.0;
    double bang_ = 0.0; // extra dB of a bang, dying away
    bool machineOn_ = false;
    double nextChange_ = 0.0; // when the machine next starts or stops
};

} // namespace km740
