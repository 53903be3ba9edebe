// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/common/Result.h"

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace km740 {

// The user's port names "COM  1".."COM  16" and the devices they stand for.
// COM n is /dev/ttyS<n-1> unless the user bound it to another device.
class PortMap {
public:
    static constexpr int kPortCount = 16;

    // The device COM n opens; empty for a number outside 1..16.
    std::string device(int com) const;

    // The lowest COM number whose device is this one.
    std::optional<int> comFor(std::string_view device) const;

    // Binds COM n to the device. A device has one COM number: any other
    // binding of the same device is dropped. Binding COM n to its default
    // device removes the user entry. False for a number outside 1..16 or an
    // unusable device name.
    bool bind(int com, std::string_view device);

    // The user's own entries (COM number -> device), without the defaults.
    const std::map<int, std::string>& userEntries() const { return user_; }

    static std::string defaultDevice(int com);

private:
    std::map<int, std::string> user_;
};

// The text of a ports.ini file: "COM3=/dev/ttyUSB0" lines. Blank lines,
// "#"/";" comments and "[section]" lines are skipped; any other line that is
// not a COM number 1..16, "=" and a device path is skipped and reported.
struct PortMapText {
    PortMap map;
    std::vector<std::string> problems; // "line 4: ..." for each skipped line
};
PortMapText parsePortMap(std::string_view text);
std::string formatPortMap(const PortMap& map);

// Reads ports.ini; a missing file is an empty map, an unreadable one a failure.
Result<PortMapText> loadPortMap(const std::filesystem::path& file);
// Writes ports.ini whole or not at all (temporary file beside it, then rename).
Status savePortMap(const std::filesystem::path& file, const PortMap& map);

// "COM  n" with two blanks, as the chooser lists it.
std::string comName(int com);

// The chooser's OK: "COM  1".."COM  16" give 1..16, "Auto" gives 1, any other
// text keeps the current number.
int portNumberFromChoice(std::string_view text, int current);

// What opening a device for the scan found.
enum class ProbeResult { present, absent };
using PortProber = std::function<ProbeResult(const std::string& device)>;

} // namespace km740
