// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ToolInput.h"

#include <fstream>

namespace km740::cli {

namespace {

struct TooDeep {};

} // namespace

std::optional<long long> wholeNumber(std::string_view text, long long min, long long max)
{
    if (text.empty())
        return std::nullopt;
    long long n = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        n = n * 10 + (c - '0');
        if (n > max) // stops before the value can overflow
            return std::nullopt;
    }
    if (n < min)
        return std::nullopt;
    return n;
}

Result<nlohmann::json> readJsonFile(const std::string& path, int maxDepth)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return failure(FailureKind::io, "cannot read " + path);
    std::string text(maxJsonBytes + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    if (text.size() > maxJsonBytes)
        return failure(FailureKind::data,
                       path + ": larger than " + std::to_string(maxJsonBytes / 1024) + " KB, not a file of settings");
    // The depth is checked while parsing, so a file of nothing but "[" ends
    // at the first level too many instead of filling memory.
    auto depthCheck = [maxDepth](int depth, nlohmann::json::parse_event_t event, nlohmann::json&) {
        if ((event == nlohmann::json::parse_event_t::object_start ||
             event == nlohmann::json::parse_event_t::array_start) &&
            depth >= maxDepth)
            throw TooDeep{};
        return true;
    };
    try {
        return nlohmann::json::parse(text, depthCheck);
    } catch (const TooDeep&) {
        return failure(FailureKind::data, path + ": nested deeper than its settings can be");
    } catch (const nlohmann::json::exception& e) {
        return failure(FailureKind::data, path + ": not valid JSON (" + e.what() + ")");
    }
}

} // namespace km740::cli
