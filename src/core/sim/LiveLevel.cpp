// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/sim/LiveLevel.h"

#include <algorithm>
#include <cmath>

namespace km740 {

namespace {
constexpr double backgroundDb = 74.0;
constexpr double machineDb = 89.0;
constexpr double longestWalk = 600.0; // seconds walked at most in one advance
} // namespace

LiveLevel::LiveLevel(std::uint64_t seed, double startTime)
    : rng_(seed * 0x9E3779B97F4A7C15ULL + 0x2545F4914F6CDD1DULL), time_(startTime)
{
    nextChange_ = time_ + 20.0 + 60.0 * uniform();
}

double LiveLevel::uniform()
{
    // splitmix64: the same numbers on every platform and library.
    std::uint64_t z = (rng_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    z ^= z >> 31;
    return static_cast<double>(z >> 11) * 0x1.0p-53;
}

double LiveLevel::gaussian()
{
    // Irwin-Hall: close enough to normal for a sound level.
    double sum = 0.0;
    for (int i = 0; i < 12; ++i)
        sum += uniform();
    return sum - 6.0;
}

void LiveLevel::advanceTo(double t)
{
    if (t - time_ > longestWalk)
        time_ = t - longestWalk;
    while (time_ + step <= t) {
        time_ += step;
        oneStep();
    }
}

void LiveLevel::oneStep()
{
    if (time_ >= nextChange_) {
        machineOn_ = !machineOn_;
        // Machines run for minutes, pauses between them are shorter.
        nextChange_ = time_ + (machineOn_ ? 60.0 + 240.0 * uniform() : 20.0 + 90.0 * uniform());
    }
    target_ = machineOn_ ? machineDb : backgroundDb;

    // Mean-reverting walk towards what is running, a few dB either side.
    level_ += (target_ - level_) * 0.08 + 0.6 * gaussian();

    // A bang about every two minutes: a sharp peak and a short rise of the level.
    if (uniform() < step / 120.0)
        bang_ = 15.0 + 20.0 * uniform();
    level_ = std::clamp(level_, 40.0, 150.0);
    shown_ = level_ + bang_ * 0.4;
    const double instantPeak = shown_ + 12.0 + 2.0 * uniform() + bang_;
    bang_ *= 0.5;

    heldPeak_ = std::max(heldPeak_ - 0.5 * step, instantPeak);
}

} // namespace km740
