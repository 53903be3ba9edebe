// SPDX-License-Identifier: GPL-3.0-or-later
// What the meter's display copy (bytes 4..15 of the status frame) says
// beyond the reading: the indicators, and in the menu the page and value.
// The only sign the meter gives that a key press or a start took.
#pragma once

#include <array>
#include <cstdint>

namespace km740 {

using DisplayBytes = std::array<std::uint8_t, 12>;

// LCD6 carries REC, PAUSE, MENU, PEAK, OVER, UNDER, Lcpk and the battery.
inline constexpr std::size_t indicatorByte = 5;
inline constexpr std::uint8_t recSegment = 0x01;
inline constexpr std::uint8_t menuSegment = 0x04;

bool showsRecording(const DisplayBytes& display);

// True when the display shows a different state: another indicator (LCD5,
// or LCD6 without OVER / UNDER, which follow the level), or in the menu
// another page or value (LCD1..4, LCD7..10). The digits, clock and bar graph
// of the measuring view move by themselves and do not count.
bool displayStateDiffers(const DisplayBytes& before, const DisplayBytes& after);

} // namespace km740
