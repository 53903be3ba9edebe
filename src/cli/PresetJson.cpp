// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/PresetJson.h"

#include "cli/ToolInput.h"
#include "core/link/Codes.h"

#include <algorithm>

namespace km740::cli {

namespace {

using nlohmann::json;

Failure refusedKey(const std::string& where, const std::string& message)
{
    return failure(FailureKind::data, where + message);
}

// The preset of a "preset" value: a whole JSON number 0..16, or a text
// parsePreset takes.
std::optional<int> presetOf(const json& v)
{
    if (v.is_number_unsigned()) {
        const auto n = v.get<std::uint64_t>();
        return n < static_cast<std::uint64_t>(presetCount) ? std::optional<int>(static_cast<int>(n)) : std::nullopt;
    }
    if (v.is_string())
        return parsePreset(v.get<std::string>());
    return std::nullopt;
}

// A cell's text from its JSON value: texts as they are, whole numbers as
// their digits; it must be a listed value or the "code N" of the meter's own.
Result<std::string> cellOf(const json& v, PresetColumn column, const std::string& where, const char* key)
{
    std::string text;
    if (v.is_string())
        text = v.get<std::string>();
    else if (v.is_number_unsigned() && v.get<std::uint64_t>() <= 255)
        text = std::to_string(v.get<std::uint64_t>());
    else
        return refusedKey(where, "\"" + std::string(key) + "\" must be one of the listed values, not " + v.dump());
    if (!isKnownText(column, text) && !unknownCodeValue(text))
        return refusedKey(where, "\"" + std::string(key) + "\" must be one of the listed values, not " + v.dump());
    return text;
}

} // namespace

std::optional<int> parsePreset(const std::string& text)
{
    if (auto byName = presetFromCaption(text))
        return byName;
    if (auto n = wholeNumber(text, 0, presetCount - 1))
        return static_cast<int>(*n);
    return std::nullopt;
}

Result<PresetEdits> presetEditsFromJson(const json& doc)
{
    PresetEdits edits;
    if (!doc.is_object())
        return failure(FailureKind::data, "the file does not hold a JSON object");
    for (const auto& [key, value] : doc.items())
        if (key != "preset" && key != "name" && key != "user_presets")
            return refusedKey("", "unknown key \"" + key + "\" (known: preset, name, user_presets)");
    if (doc.contains("preset")) {
        edits.preset = presetOf(doc["preset"]);
        if (!edits.preset)
            return refusedKey("", "\"preset\" must be 0..16 or a preset name, not " + doc["preset"].dump());
    }
    if (doc.contains("name")) {
        const json& n = doc["name"];
        const auto named = n.is_string() ? presetFromCaption(n.get<std::string>()) : std::nullopt;
        if (!named)
            return refusedKey("", "\"name\" must be a preset name, not " + n.dump());
        if (edits.preset && *edits.preset != *named)
            return refusedKey("", "\"name\" " + n.dump() + " is not preset " + std::to_string(*edits.preset));
        edits.preset = named;
    }
    if (!doc.contains("user_presets"))
        return edits;
    const json& list = doc["user_presets"];
    if (!list.is_array() || list.size() > UserPresetTable::count)
        return refusedKey("", "\"user_presets\" must be a list of at most nine presets");
    for (std::size_t k = 0; k < list.size(); ++k) {
        const json& r = list[k];
        const std::string name = presetCaption(firstUserPreset + static_cast<int>(k));
        const std::string where = name + ": ";
        if (!r.is_object())
            return refusedKey(where, "not a JSON object");
        for (const auto& item : r.items()) {
            // Named, not bound: clang 14 lets no lambda capture a structured binding.
            const std::string& key = item.key();
            const json& value = item.value();
            const auto column =
                std::find_if(presetRowKeys.begin(), presetRowKeys.end(), [&](const char* c) { return key == c; });
            if (key == "name") {
                if (value != name)
                    return refusedKey(where,
                                      "entry " + std::to_string(k + 1) + " is " + name + ", not " + value.dump());
            } else if (key == "average") {
                if (value != "Lavg" && value != "min")
                    return refusedKey(where, "\"average\" must be \"Lavg\" or \"min\", not " + value.dump());
                edits.average[k] = value.get<std::string>();
            } else if (column != presetRowKeys.end()) {
                const auto c = static_cast<std::size_t>(column - presetRowKeys.begin());
                auto text = cellOf(value, static_cast<PresetColumn>(c), where, *column);
                if (!text)
                    return text.error();
                edits.cells[k][c] = *text;
            } else {
                return refusedKey(where, "unknown key \"" + key + "\"");
            }
        }
    }
    return edits;
}

Status applyPresetEdits(const PresetEdits& edits, UserPresetRows& rows, int& preset)
{
    if (edits.preset)
        preset = *edits.preset;
    for (std::size_t k = 0; k < rows.size(); ++k) {
        for (std::size_t c = 0; c < presetRowKeys.size(); ++c) {
            const auto& text = edits.cells[k][c];
            if (!text)
                continue;
            std::string& cellText = rows[k].cells[c];
            if (unknownCodeValue(*text) && *text != cellText)
                return failure(FailureKind::data, presetCaption(firstUserPreset + static_cast<int>(k)) + ": \"" +
                                                      presetRowKeys[c] + "\" " + *text +
                                                      " is not what the meter holds (" + cellText + ")");
            cellText = *text;
        }
        if (edits.average[k])
            rows[k].average = *edits.average[k];
    }
    return success();
}

} // namespace km740::cli
