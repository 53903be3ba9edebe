// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/charts/TrackModes.h"

namespace km740 {

const std::array<TrackModeEntry, 8>& plotTrackModes()
{
    static constexpr std::array<TrackModeEntry, 8> modes{{
        {"Normal", 1, "Normal mode"},
        {"Cursor Coordinates", 2, "Drag the cursor with your mouse to get X (Count) and Y (dB) position."},
        {"PanXY", 3, "Click anywhere on the plot area and drag to pan the graph both horizontally and vertically."},
        {"PanX", 4, "Click anywhere on the plot area and drag to pan the graph horizontally."},
        {"PanY", 5, "Click anywhere on the plot area and drag to pan the graph vertically."},
        {"ZoomXY", 6, "Select a region on the graph to zoom both horizontally and vertically."},
        {"ZoomX", 7, "Select a region on the graph to zoom horizontally."},
        {"ZoomY", 8, "Select a region on the graph to zoom vertically."},
    }};
    return modes;
}

std::optional<TrackModeEntry> trackModeNamed(std::string_view item)
{
    for (const TrackModeEntry& e : plotTrackModes())
        if (e.item == item)
            return e;
    return std::nullopt;
}

const std::array<std::string_view, 8>& histogramTrackItems()
{
    static constexpr std::array<std::string_view, 8> items{"Normal", "PanXY", "PanX",  "PanY",
                                                           "ZoomXY", "ZoomX", "ZoomY", "Reset"};
    return items;
}

} // namespace km740
