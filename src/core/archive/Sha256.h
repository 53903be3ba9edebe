// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// SHA-256 (FIPS 180-4): the archive names and recognises a file by the hash
// of its bytes.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace km740 {

class Sha256 {
public:
    Sha256();
    // Adds bytes; may be called any number of times.
    void update(std::string_view bytes);
    // The digest of everything added; the object is spent afterwards.
    std::array<std::uint8_t, 32> finish();

private:
    void block(const std::uint8_t* p);

    std::array<std::uint32_t, 8> h_;
    std::array<std::uint8_t, 64> buffer_{};
    std::size_t buffered_ = 0;
    std::uint64_t length_ = 0; // bytes
};

// The digest of the bytes as 64 lower-case hex digits.
std::string sha256Hex(std::string_view bytes);

} // namespace km740
