// SPDX-License-Identifier: GPL-3.0-or-later
// The texts of the dose preset and meter setup windows, and the settings
// bytes and user records they stand for. One place turns texts into bytes,
// for the windows and for km740-tool alike.
#pragma once

#include "core/common/Result.h"
#include "core/link/Replies.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace km740 {

// The columns of a preset row, in the order the windows show them.
enum class PresetColumn { timeWeighting, freqWeighting, threshold, criterion, exchangeRate, peak, range };
inline constexpr int presetColumnCount = 7;

// One row of texts: the seven columns and the averaging label ("Lavg" / "min").
struct PresetRow {
    std::array<std::string, presetColumnCount> cells;
    std::string average = "Lavg";

    std::string& operator[](PresetColumn c) { return cells[static_cast<std::size_t>(c)]; }
    const std::string& operator[](PresetColumn c) const { return cells[static_cast<std::size_t>(c)]; }
    bool operator==(const PresetRow&) const = default;
};

// The column's name as a message names it ("threshold level").
std::string_view presetColumnName(PresetColumn column);

// The pick lists, in the order each window offers them.
const std::vector<std::string>& setupItems(PresetColumn column);      // dose presets
const std::vector<std::string>& meterSetupItems(PresetColumn column); // meter setup
// True when the text stands for a code exactly: a listed value, or "Imp",
// which the meter may report and the settings byte carries, though no list
// offers it.
bool isKnownText(PresetColumn column, std::string_view text);

// "OSHA-80" .. "ISO90", "User1" .. "User9"; empty outside 0..16.
std::string presetCaption(int preset);
// The first preset in first..last whose caption is the text.
std::optional<int> presetFromCaption(std::string_view caption, int first = 0, int last = presetCount - 1);
// The fixed parameters of standard preset 0..7.
PresetRow standardPresetRow(int preset);

// "60-130" / "70-140" for a range top of 130 / 140.
std::string rangeText(int rangeTop);

// A user record as its row shows it. A byte no list names (criterion code
// outside 0..3, threshold outside 70..90, time weighting 3) shows as "code N",
// and a "code N" cell turns back into that same byte when written.
PresetRow presetRowFromRecord(const UserPresetRecord& record);
// The settings texts of a decoded settings byte (threshold and criterion as given).
PresetRow presetRowFromSettings(const MeterSettings& settings, int threshold, int criterion);

// The settings byte for a row's texts; a text that is neither listed nor
// "code N" is refused with a message naming the column and the text.
Result<std::uint8_t> settingsByteFromRow(const PresetRow& row);
// The 4-byte user record for a row: settings byte, threshold twice,
// criterion code. Threshold and criterion must be listed values or "code N".
Result<UserPresetRecord> presetRecordFromRow(const PresetRow& row);

// The nine user rows of a table, and the table for nine rows; a row that
// cannot be written is refused with a message naming it ("User3: ...").
using UserPresetRows = std::array<PresetRow, UserPresetTable::count>;
UserPresetRows presetRowsFromTable(const UserPresetTable& table);
Result<UserPresetTable> presetTableFromRows(const UserPresetRows& rows);

// The threshold / criterion interlock. After the threshold was picked: the
// criterion to show when it lies below the threshold, else nothing.
std::optional<std::string> criterionAfterThreshold(std::string_view threshold, std::string_view criterion);
// After the criterion was picked: the threshold to show, else nothing.
std::optional<std::string> thresholdAfterCriterion(std::string_view threshold, std::string_view criterion);

} // namespace km740
