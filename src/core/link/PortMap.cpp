// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/link/PortMap.h"

#include "core/common/AtomicFile.h"
#include "core/common/Digits.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <system_error>

namespace km740 {

namespace {

constexpr std::size_t kMaxLineLength = 1024;

std::string_view trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// A device name we are willing to hand to the serial port: an absolute path
// of printable characters.
bool usableDevice(std::string_view device)
{
    if (device.empty() || device.size() > kMaxLineLength || device.front() != '/')
        return false;
    for (unsigned char c : device)
        if (c < 0x20 || c == 0x7F)
            return false;
    return true;
}

// "COM3", "com 3" -> 3; empty for anything else.
std::optional<int> comNumber(std::string_view key)
{
    if (key.size() < 4)
        return std::nullopt;
    auto upper = [](char c) { return static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c); };
    if (upper(key[0]) != 'C' || upper(key[1]) != 'O' || upper(key[2]) != 'M')
        return std::nullopt;
    const auto n = decimalDigits(trim(key.substr(3)), 2);
    if (!n || *n < 1 || *n > PortMap::kPortCount)
        return std::nullopt;
    return n;
}

} // namespace

std::string PortMap::defaultDevice(int com)
{
    if (com < 1 || com > kPortCount)
        return {};
    return "/dev/ttyS" + std::to_string(com - 1);
}

std::string PortMap::device(int com) const
{
    if (auto it = user_.find(com); it != user_.end())
        return it->second;
    return defaultDevice(com);
}

std::optional<int> PortMap::comFor(std::string_view dev) const
{
    for (int n = 1; n <= kPortCount; ++n)
        if (device(n) == dev)
            return n;
    return std::nullopt;
}

bool PortMap::bind(int com, std::string_view dev)
{
    if (com < 1 || com > kPortCount || !usableDevice(dev))
        return false;
    for (auto it = user_.begin(); it != user_.end();) {
        if (it->first != com && it->second == dev)
            it = user_.erase(it);
        else
            ++it;
    }
    if (dev == defaultDevice(com))
        user_.erase(com);
    else
        user_[com] = std::string(dev);
    return true;
}

PortMapText parsePortMap(std::string_view text)
{
    PortMapText out;
    int lineNo = 0;
    while (!text.empty()) {
        ++lineNo;
        std::size_t end = text.find('\n');
        std::string_view raw = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);

        std::string_view line = trim(raw);
        if (line.empty() || line.front() == '#' || line.front() == ';' || line.front() == '[')
            continue;
        auto problem = [&](const char* what) {
            out.problems.push_back("line " + std::to_string(lineNo) + ": " + what);
        };
        if (raw.size() > kMaxLineLength) {
            problem("too long");
            continue;
        }
        std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) {
            problem("no '='");
            continue;
        }
        auto com = comNumber(trim(line.substr(0, eq)));
        if (!com) {
            problem("not a port COM1 to COM16");
            continue;
        }
        std::string_view dev = trim(line.substr(eq + 1));
        if (!usableDevice(dev)) {
            problem("not a device path");
            continue;
        }
        out.map.bind(*com, dev);
    }
    return out;
}

std::string formatPortMap(const PortMap& map)
{
    std::string text = "# COM number = serial device, written by km740\n";
    for (const auto& [com, dev] : map.userEntries())
        text += "COM" + std::to_string(com) + "=" + dev + "\n";
    return text;
}

Result<PortMapText> loadPortMap(const std::filesystem::path& file)
{
    std::error_code ec;
    if (!std::filesystem::exists(file, ec))
        return PortMapText{};
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return failure(FailureKind::io, "cannot read " + file.string() + ": " + std::strerror(errno));
    // A port map is a few lines; refuse to slurp anything big.
    constexpr std::size_t kMaxFile = 64 * 1024;
    std::string text(kMaxFile + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    if (text.size() > kMaxFile)
        return failure(FailureKind::data, file.string() + " is too big for a port map");
    return parsePortMap(text);
}

Status savePortMap(const std::filesystem::path& file, const PortMap& map)
{
    std::error_code ec;
    if (file.has_parent_path())
        std::filesystem::create_directories(file.parent_path(), ec);
    return writeFileAtomically(file, formatPortMap(map));
}

std::string comName(int com)
{
    return "COM  " + std::to_string(com);
}

int portNumberFromChoice(std::string_view text, int current)
{
    if (text == "Auto")
        return 1;
    for (int n = 1; n <= PortMap::kPortCount; ++n)
        if (text == comName(n))
            return n;
    return current;
}

} // namespace km740
