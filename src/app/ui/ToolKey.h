// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <functional>

namespace km740 {

// The keys of the main window's toolbar, in their order on the bar.
// "AddText" (the report header) and "Measurements" (the archive) stand
// after the meter's twelve.
enum class ToolKey {
    Save,
    Open,
    RecOption,
    List,
    Graph,
    RecSetup,
    RTC,
    Logger,
    Btn,
    Erase,
    Setup,
    User,
    AddText,
    Measurements,
};

inline constexpr std::size_t toolKeyCount = 14;

// One button of the bar.
struct ToolKeyInfo {
    ToolKey key;
    const char* name; // the button's key, also its object name
    const char* tooltip;
    const char* picture; // ":/toolbar/<picture>.svg"
    bool needsMeter;     // ignored while another window holds the meter
    bool inLostLink;     // still shown while the link is lost or no device answers
};

inline constexpr std::array<ToolKeyInfo, toolKeyCount> toolKeys{{
    {ToolKey::Save, "Save", "Save As", "save", true, false},
    // Opening a file never touches the meter: it works whoever holds it.
    {ToolKey::Open, "Open", "Open File to Read", "open", false, true},
    {ToolKey::RecOption, "RecOption", "Recording Option", "recoption", true, false},
    {ToolKey::List, "List", "List Display", "list", true, false},
    {ToolKey::Graph, "Graph", "Graphic Display", "graph", true, false},
    {ToolKey::RecSetup, "RecSetup", "Recording Setup", "recsetup", true, false},
    {ToolKey::RTC, "RTC", "Real Time Clock", "rtc", true, false},
    {ToolKey::Logger, "Logger", "Data Logger", "logger", true, false},
    {ToolKey::Btn, "Btn", "Control Panel", "btn", true, false},
    {ToolKey::Erase, "Erase", "Erase Data Logger", "erase", true, false},
    {ToolKey::Setup, "Setup", "Meter Setup", "setup", true, false},
    // The help and the report header need no meter and stay on the bar, but
    // wait like the others while a window holds the meter.
    {ToolKey::User, "User", "Help", "user", true, true},
    {ToolKey::AddText, "AddText", "Report Header", "addtext", true, true},
    // The archive is on this computer: it works whoever holds the meter.
    {ToolKey::Measurements, "Measurements", "Measurements", "measurements", false, true},
}};

constexpr std::size_t toolKeyIndex(ToolKey key)
{
    return static_cast<std::size_t>(key);
}

constexpr const ToolKeyInfo& toolKeyInfo(ToolKey key)
{
    return toolKeys[toolKeyIndex(key)];
}

// The table is indexed by the enum: each row must stand at its key's place.
constexpr bool toolKeysInOrder()
{
    for (std::size_t i = 0; i < toolKeys.size(); ++i)
        if (toolKeyIndex(toolKeys[i].key) != i)
            return false;
    return true;
}
static_assert(toolKeysInOrder(), "toolKeys must list the keys in ToolKey order");

// What a click on each key runs; a key without a handler stays greyed out.
class ToolKeyHandlers {
public:
    void set(ToolKey key, std::function<void()> handler) { handlers_[toolKeyIndex(key)] = std::move(handler); }
    const std::function<void()>& operator[](ToolKey key) const { return handlers_[toolKeyIndex(key)]; }

private:
    std::array<std::function<void()>, toolKeyCount> handlers_;
};

} // namespace km740
