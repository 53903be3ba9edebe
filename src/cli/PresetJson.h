// SPDX-License-Identifier: GPL-3.0-or-later
// The user-presets JSON that km740-tool reads (the form --json prints),
// checked whole before the meter is contacted: unknown keys, wrong types and
// values no list holds are refused with a message naming the key.
#pragma once

#include "core/common/Result.h"
#include "core/config/PresetRows.h"

#include <nlohmann/json.hpp>

#include <array>
#include <optional>
#include <string>

namespace km740::cli {

// The keys of a row, in the order of PresetColumn.
inline constexpr std::array<const char*, presetColumnCount> presetRowKeys{
    "time_weighting", "frequency_weighting", "threshold", "criterion", "exchange_rate", "peak", "range"};

// A preset given as 0..16 or a caption ("ACGIH", "User3").
std::optional<int> parsePreset(const std::string& text);

// What the file asks for: a preset to select, and cells to put over the rows
// read from the meter (a cell left out keeps the meter's value).
struct PresetEdits {
    std::optional<int> preset;
    std::array<std::array<std::optional<std::string>, presetColumnCount>, UserPresetTable::count> cells{};
    std::array<std::optional<std::string>, UserPresetTable::count> average{};
};

// Checks the whole document; nothing about the meter is needed for that.
Result<PresetEdits> presetEditsFromJson(const nlohmann::json& doc);

// Puts the edits over the rows read from the meter. A "code N" cell must be
// what the meter holds there: it stands for the meter's own byte.
Status applyPresetEdits(const PresetEdits& edits, UserPresetRows& rows, int& preset);

} // namespace km740::cli
