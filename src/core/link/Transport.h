// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/common/Result.h"

#include <cstdint>
#include <span>
#include <vector>

namespace km740 {

using Bytes = std::vector<std::uint8_t>;

// The only way to the meter: raw bytes out, raw bytes in, nothing converted.
class Transport {
public:
    virtual ~Transport() = default;

    virtual Status open() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // Sends the bytes as they are. Fails when the port is gone.
    virtual Status write(std::span<const std::uint8_t> bytes) = 0;

    // Returns and removes every byte received since the previous call, in
    // order of arrival; empty when nothing came. Fails when the port is gone.
    virtual Result<Bytes> takeReceived() = 0;
};

} // namespace km740
