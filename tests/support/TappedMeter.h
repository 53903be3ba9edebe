// SPDX-License-Identifier: GPL-3.0-or-later
// The virtual meter for window tests: time runs faster than the wall clock,
// the bytes on the wire are recorded, and faults can be switched from the
// test thread while the meter worker drives the meter.
#pragma once

#include "core/link/Clock.h"
#include "core/link/Transport.h"
#include "core/sim/VirtualMeter.h"

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <utility>
#include <vector>

namespace km740::test {

// Wall time times `speed`: a 0.2 s wait of the link takes 0.2 / speed s.
class FastClock final : public Clock {
public:
    explicit FastClock(double speed) : speed_(speed), start_(std::chrono::steady_clock::now()) {}
    double speed() const { return speed_; }
    double now() const override
    {
        const std::chrono::duration<double> d = std::chrono::steady_clock::now() - start_;
        return d.count() * speed_;
    }
    void sleepFor(double seconds) override
    {
        if (seconds > 0)
            std::this_thread::sleep_for(std::chrono::duration<double>(seconds / speed_));
    }

private:
    double speed_;
    std::chrono::steady_clock::time_point start_;
};

// What went out to the meter and what the test may change, behind one lock.
struct Wire {
    std::mutex mutex;
    Bytes sent;                                         // every byte written, in order
    std::vector<std::pair<double, std::uint8_t>> timed; // (steady seconds, first byte) of each write
    std::set<std::thread::id> portThreads;              // every thread that wrote to or read from the port
    bool failOpen = false;

    void record(std::span<const std::uint8_t> bytes)
    {
        portThreads.insert(std::this_thread::get_id());
        sent.insert(sent.end(), bytes.begin(), bytes.end());
        if (!bytes.empty()) {
            const std::chrono::duration<double> t = std::chrono::steady_clock::now().time_since_epoch();
            timed.emplace_back(t.count(), bytes[0]);
        }
    }
};

// Records what goes out through any transport (a real serial port).
class TapTransport final : public Transport {
public:
    TapTransport(std::unique_ptr<Transport> inner, std::shared_ptr<Wire> wire)
        : inner_(std::move(inner)), wire_(std::move(wire))
    {
    }
    Status open() override { return inner_->open(); }
    void close() override { inner_->close(); }
    bool isOpen() const override { return inner_->isOpen(); }
    Status write(std::span<const std::uint8_t> bytes) override
    {
        {
            std::lock_guard lock(wire_->mutex);
            wire_->record(bytes);
        }
        return inner_->write(bytes);
    }
    Result<Bytes> takeReceived() override
    {
        {
            std::lock_guard lock(wire_->mutex);
            wire_->portThreads.insert(std::this_thread::get_id());
        }
        return inner_->takeReceived();
    }

private:
    std::unique_ptr<Transport> inner_;
    std::shared_ptr<Wire> wire_;
};

// A Transport over a VirtualMeter the test can reach safely.
class TappedMeter final : public Transport {
public:
    TappedMeter(Clock& clock, std::shared_ptr<Wire> wire) : meter_(clock), wire_(std::move(wire)) {}
    Status open() override
    {
        std::lock_guard lock(wire_->mutex);
        if (wire_->failOpen)
            return failure(FailureKind::io, "no such port");
        return meter_.open();
    }
    void close() override
    {
        std::lock_guard lock(wire_->mutex);
        meter_.close();
    }
    bool isOpen() const override
    {
        std::lock_guard lock(wire_->mutex);
        return meter_.isOpen();
    }
    Status write(std::span<const std::uint8_t> bytes) override
    {
        std::lock_guard lock(wire_->mutex);
        wire_->record(bytes);
        if (bytes.size() == 1 && ignored_.contains(bytes[0]))
            return success(); // on the wire, but the meter never answers it
        return meter_.write(bytes);
    }
    Result<Bytes> takeReceived() override
    {
        std::lock_guard lock(wire_->mutex);
        wire_->portThreads.insert(std::this_thread::get_id());
        return meter_.takeReceived();
    }
    // Runs fn on the meter under the lock (fault switches, state).
    void with(const std::function<void(VirtualMeter&)>& fn)
    {
        std::lock_guard lock(wire_->mutex);
        fn(meter_);
    }
    // Commands the meter does not hear from now on (none: all again).
    void ignore(std::set<std::uint8_t> commands)
    {
        std::lock_guard lock(wire_->mutex);
        ignored_ = std::move(commands);
    }

private:
    VirtualMeter meter_;
    std::set<std::uint8_t> ignored_;
    std::shared_ptr<Wire> wire_;
};

} // namespace km740::test
