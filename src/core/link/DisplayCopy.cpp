// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/link/DisplayCopy.h"

namespace km740 {

namespace {

constexpr std::size_t settingsIndicators = 4; // LCD5: A, C, SLOW, FAST, IMP, Lavg, min, dB
constexpr std::uint8_t levelFollowers = 0x30; // OVER, UNDER

bool inMenu(const DisplayBytes& d)
{
    return (d[indicatorByte] & menuSegment) != 0;
}

} // namespace

bool showsRecording(const DisplayBytes& display)
{
    return (display[indicatorByte] & recSegment) != 0;
}

bool displayStateDiffers(const DisplayBytes& before, const DisplayBytes& after)
{
    if (before[settingsIndicators] != after[settingsIndicators])
        return true;
    if ((before[indicatorByte] & ~levelFollowers) != (after[indicatorByte] & ~levelFollowers))
        return true;
    if (!inMenu(before) || !inMenu(after))
        return false;
    for (std::size_t i : {0u, 1u, 2u, 3u, 6u, 7u, 8u, 9u})
        if (before[i] != after[i])
            return true;
    return false;
}

} // namespace km740
