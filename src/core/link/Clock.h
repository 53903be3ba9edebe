// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>

namespace km740 {

// Monotonic time in seconds. Every wait of an exchange goes through it, so
// tests can run a 2-second timeout or a day of polling in microseconds.
class Clock {
public:
    virtual ~Clock() = default;
    virtual double now() const = 0;
    virtual void sleepFor(double seconds) = 0;
};

// Seconds on the system's steady clock, for measuring spans outside a link.
double steadySeconds();

// The real clock.
class SteadyClock final : public Clock {
public:
    double now() const override;
    void sleepFor(double seconds) override;
};

// A clock that moves only when told to (or when someone sleeps on it).
class ManualClock final : public Clock {
public:
    explicit ManualClock(double start = 0.0) : t_(start) {}
    double now() const override { return t_.load(); }
    void sleepFor(double seconds) override
    {
        if (seconds > 0)
            t_.store(t_.load() + seconds);
    }
    void advance(double seconds) { sleepFor(seconds); }

private:
    std::atomic<double> t_;
};

} // namespace km740
