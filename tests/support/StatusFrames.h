// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/link/Replies.h"
#include "core/link/Transport.h"

namespace km740::test {

// A status frame with this level, settings byte and peak (tenths of a dB,
// low byte first), as the meter sends it for "F".
inline StatusFrame statusFrame(std::uint8_t levelLow, std::uint8_t levelHigh, std::uint8_t settings = 0,
                               std::uint8_t peakLow = 0xB0, std::uint8_t peakHigh = 0x04)
{
    StatusFrame f;
    f.levelLow = levelLow;
    f.levelHigh = levelHigh;
    f.settings = settings;
    f.peakLow = peakLow;
    f.peakHigh = peakHigh;
    return f;
}

inline Bytes bytesOf(const StatusFrame& frame)
{
    const auto b = encodeStatusFrame(frame);
    return Bytes(b.begin(), b.end());
}

} // namespace km740::test
