// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ui/AppState.h"

#include "core/link/PortMap.h"

#include <string_view>

namespace km740 {

std::string AppState::portCaption() const
{
    // A device given on the command line that no COM number stands for is
    // shown by its own name ("ttyUSB0", "pts/3"), not as a COM it is not.
    if ((portNumber < 1 || portNumber > PortMap::kPortCount) && !portDevice.empty()) {
        constexpr std::string_view devFolder = "/dev/";
        const std::string_view d = portDevice;
        return std::string(d.starts_with(devFolder) ? d.substr(devFolder.size()) : d);
    }
    return comName(portNumber);
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
    const MeterSettings s = DecodeSettings(userPresetTable[at], userPresetTable[at + 1], userPresetTable[at + 3]);
    return s.peakText;
}

} // namespace km740
