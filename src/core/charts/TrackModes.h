// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace km740 {

// One entry of a track mode list: its text, the graph's track mode number
// (1 normal .. 8 zoom Y) and the help text the Plot window shows for it.
struct TrackModeEntry {
    std::string_view item;
    int mode;
    std::string_view description;
};

// The Plot window's list, in its order.
const std::array<TrackModeEntry, 8>& plotTrackModes();

// The help text for an index that is not in the list.
constexpr std::string_view kInvalidTrackMode = "Select a valid TrackMode.";

// The entry a list text names ("ZoomX"), looked up in the Plot window's list.
std::optional<TrackModeEntry> trackModeNamed(std::string_view item);

// The Histogram windows' list: the pan and zoom modes and "Reset".
const std::array<std::string_view, 8>& histogramTrackItems();

} // namespace km740
