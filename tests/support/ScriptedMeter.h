// SPDX-License-Identifier: GPL-3.0-or-later
// A meter for link tests: answers commands from a script, on a ManualClock,
// and records every write with the time it was made.
#pragma once

#include "core/link/Clock.h"
#include "core/link/Transport.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <utility>

namespace km740::test {

class ScriptedMeter final : public Transport {
public:
    explicit ScriptedMeter(ManualClock& clock) : clock_(clock) {}

    // What the meter sends for one command character (empty: silence).
    std::map<std::uint8_t, std::function<Bytes()>> replies;
    double latency = 0.01; // from the command to the first reply byte
    double byteTime = 0.0; // between reply bytes (1/1920 s is line rate)
    bool gone = false;     // the port vanished

    struct Write {
        double at;
        Bytes bytes;
    };
    std::vector<Write> writes;

    // Bytes that arrive at the given time, whatever was sent.
    void arrive(Bytes bytes, double at)
    {
        for (auto b : bytes)
            pending_.emplace_back(at, b);
    }

    // Every byte written, in order, as one string of bytes.
    Bytes wire() const
    {
        Bytes all;
        for (const auto& w : writes)
            all.insert(all.end(), w.bytes.begin(), w.bytes.end());
        return all;
    }
    int count(std::uint8_t command) const
    {
        int n = 0;
        for (const auto& w : writes)
            n += w.bytes.size() == 1 && w.bytes[0] == command;
        return n;
    }

    Status open() override { return success(); }
    void close() override {}
    bool isOpen() const override { return !gone; }

    Status write(std::span<const std::uint8_t> bytes) override
    {
        if (gone)
            return failure(FailureKind::io, "gone");
        writes.push_back({clock_.now(), Bytes(bytes.begin(), bytes.end())});
        if (bytes.size() == 1) {
            auto it = replies.find(bytes[0]);
            if (it != replies.end()) {
                double t = clock_.now() + latency;
                for (auto b : it->second()) {
                    pending_.emplace_back(t, b);
                    t += byteTime;
                }
            }
        }
        return success();
    }

    Result<Bytes> takeReceived() override
    {
        if (gone)
            return failure(FailureKind::io, "gone");
        Bytes out;
        while (!pending_.empty() && pending_.front().first <= clock_.now() + 1e-12) {
            out.push_back(pending_.front().second);
            pending_.pop_front();
        }
        return out;
    }

private:
    ManualClock& clock_;
    std::deque<std::pair<double, std::uint8_t>> pending_;
};

// A reply that is always the same bytes.
inline std::function<Bytes()> always(Bytes bytes)
{
    return [bytes] { return bytes; };
}

// Replies taken in turn; the last one repeats.
inline std::function<Bytes()> inTurn(std::vector<Bytes> list)
{
    auto i = std::make_shared<std::size_t>(0);
    return [list, i] { return list[std::min((*i)++, list.size() - 1)]; };
}

} // namespace km740::test
