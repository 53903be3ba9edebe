// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/link/Transport.h"
#include "core/sim/LoggerImageBuilder.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace km740 {

// A set recorded on a simulated working day: levels from the workplace walk,
// doses summed second by second as the meter does (criterion, exchange rate
// and threshold from the header), each record carrying the calibration.
void recordSet(LoggerImageBuilder& builder, const SetHeader& header, std::size_t records,
               std::span<const LoggerPause> pauses, std::uint64_t seed, const std::array<std::uint8_t, 8>& calibration);

// The logger a new virtual meter holds: a dBL set (1 min), a dBS set (1 s)
// with its closing summary, and a dBL set (5 min) with two pauses.
Bytes sampleLoggerImage(std::uint64_t seed, const std::array<std::uint8_t, 8>& calibration);

// Sets one after another until about `bytes` bytes are used (never more).
Bytes filledLoggerImage(std::size_t bytes, std::uint64_t seed, const std::array<std::uint8_t, 8>& calibration);

} // namespace km740
