// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace km740 {

// The logger memory as downloaded, followed by a copy of its first four
// bytes. When the memory begins with a set marker, that copy is the marker
// that closes the last set.
class LoggerImage {
public:
    static constexpr std::array<std::uint8_t, 4> setMarker = {0x00, 0x55, 0xAA, 0x00};
    static constexpr std::array<std::uint8_t, 4> pauseMarker = {0xAA, 0xBB, 0xCC, 0xDD};
    // The logging area begins at this meter address.
    static constexpr std::uint32_t loggingStart = 3584;

    LoggerImage() = default;
    explicit LoggerImage(std::vector<std::uint8_t> downloaded);

    // Downloaded bytes and the appended copy.
    std::span<const std::uint8_t> bytes() const { return bytes_; }
    // The number of bytes the meter sent.
    std::size_t downloadedSize() const { return downloaded_; }
    std::span<const std::uint8_t> downloaded() const { return {bytes_.data(), downloaded_}; }

    bool isSetMarkerAt(std::size_t pos) const { return matches(pos, setMarker); }
    bool isPauseMarkerAt(std::size_t pos) const { return matches(pos, pauseMarker); }

private:
    bool matches(std::size_t pos, const std::array<std::uint8_t, 4>& marker) const
    {
        return pos <= bytes_.size() && bytes_.size() - pos >= 4 && bytes_[pos] == marker[0] &&
               bytes_[pos + 1] == marker[1] && bytes_[pos + 2] == marker[2] && bytes_[pos + 3] == marker[3];
    }

    std::vector<std::uint8_t> bytes_;
    std::size_t downloaded_ = 0;
};

} // namespace km740
