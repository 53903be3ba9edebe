// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/AppState.h"

namespace km740 {

std::string AppState::portCaption() const
{
    return "COM  " + std::to_string(portNumber);
}

bool AppState::levelFresh(double now, double maxAge) const
{
    return live.valid && live.polledAt >= 0.0 && now - live.polledAt <= maxAge;
}

std::string AppState::peakTypeForPreset() const
{
    if (presetIndex <= 5)
        return "Llpk";
    if (presetIndex <= 7)
        return "Lcpk";
    const int record = presetIndex - 8;
    if (record < 0 || record > 8)
        return "Llpk";
    const std::size_t at = static_cast<std::size_t>(record) * 4;
    // Record: settings byte, threshold, threshold again, criterion code.
    const MeterSettings s = DecodeSettings(userPresetTable[at], userPresetTable[at + 1],
                                           userPresetTable[at + 3]);
    return s.peakText;
}

int presetIndexFromReply(std::uint8_t byte)
{
    return byte == 255 ? 0 : byte;
}

} // namespace km740
