// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/config/PresetRows.h"

#include "core/common/Regional.h"

#include <algorithm>

namespace km740 {

namespace {

std::vector<std::string> numbers(int from, int to)
{
    std::vector<std::string> v;
    for (int n = from; n <= to; ++n)
        v.push_back(std::to_string(n));
    return v;
}

const std::array<std::vector<std::string>, presetColumnCount>& setupLists()
{
    static const std::array<std::vector<std::string>, presetColumnCount> lists{{
        {"Slow", "Fast"},
        {"C", "A"},
        numbers(70, 90),
        {"80", "84", "85", "90"},
        {"3", "4", "5", "6"},
        {"Lcpk", "Llpk"},
        {"60-130", "70-140"},
    }};
    return lists;
}

struct StandardPreset {
    const char* caption;
    PresetRow row;
};

PresetRow row(const char* t, const char* f, const char* th, const char* cr, const char* er, const char* pk)
{
    PresetRow r;
    r.cells = {t, f, th, cr, er, pk, "70-140"};
    return r;
}

const std::array<StandardPreset, 8>& standardPresets()
{
    static const std::array<StandardPreset, 8> table{{
        {"OSHA-80", row("Slow", "A", "80", "90", "5", "Llpk")},
        {"OSHA-90", row("Slow", "A", "90", "90", "5", "Llpk")},
        {"MSHA-80", row("Slow", "A", "80", "90", "5", "Llpk")},
        {"MSHA-90", row("Slow", "A", "90", "90", "5", "Llpk")},
        {"DOD", row("Slow", "A", "80", "85", "4", "Llpk")},
        {"ACGIH", row("Slow", "A", "80", "85", "3", "Llpk")},
        {"ISO85", row("Fast", "A", "70", "85", "3", "Lcpk")},
        {"ISO90", row("Fast", "A", "70", "90", "3", "Lcpk")},
    }};
    return table;
}

bool listed(const std::vector<std::string>& list, std::string_view text)
{
    return std::find(list.begin(), list.end(), text) != list.end();
}

Failure notListed(PresetColumn column, std::string_view text)
{
    return failure(FailureKind::data, "the " + std::string(presetColumnName(column)) + " \"" + std::string(text) +
                                          "\" is not one of the listed values");
}

int val(std::string_view text)
{
    return static_cast<int>(numericPrefix(text));
}

} // namespace

std::string_view presetColumnName(PresetColumn column)
{
    switch (column) {
    case PresetColumn::timeWeighting: return "time weighting";
    case PresetColumn::freqWeighting: return "frequency weighting";
    case PresetColumn::threshold: return "threshold level";
    case PresetColumn::criterion: return "criterion level";
    case PresetColumn::exchangeRate: return "exchange rate";
    case PresetColumn::peak: return "peak type";
    case PresetColumn::range: return "range";
    }
    return "";
}

const std::vector<std::string>& setupItems(PresetColumn column)
{
    return setupLists()[static_cast<std::size_t>(column)];
}

const std::vector<std::string>& meterSetupItems(PresetColumn column)
{
    // The meter setup window lists the two weightings the other way round.
    static const std::vector<std::string> time{"Fast", "Slow"};
    static const std::vector<std::string> freq{"A", "C"};
    if (column == PresetColumn::timeWeighting)
        return time;
    if (column == PresetColumn::freqWeighting)
        return freq;
    return setupItems(column);
}

bool isKnownText(PresetColumn column, std::string_view text)
{
    if (column == PresetColumn::timeWeighting && text == "Imp")
        return true;
    return listed(setupItems(column), text);
}

std::string presetCaption(int preset)
{
    if (preset >= 0 && preset < firstUserPreset)
        return standardPresets()[static_cast<std::size_t>(preset)].caption;
    if (preset >= firstUserPreset && preset < presetCount)
        return "User" + std::to_string(preset - firstUserPreset + 1);
    return {};
}

std::optional<int> presetFromCaption(std::string_view caption, int first, int last)
{
    for (int i = std::max(first, 0); i <= std::min(last, presetCount - 1); ++i)
        if (presetCaption(i) == caption)
            return i;
    return std::nullopt;
}

PresetRow standardPresetRow(int preset)
{
    if (preset < 0 || preset >= firstUserPreset)
        return {};
    return standardPresets()[static_cast<std::size_t>(preset)].row;
}

std::string rangeText(int rangeTop)
{
    return std::to_string(rangeTop - 70) + "-" + std::to_string(rangeTop);
}

PresetRow presetRowFromSettings(const MeterSettings& s, int threshold, int criterion)
{
    PresetRow r;
    r[PresetColumn::timeWeighting] = s.timeWeightingText;
    r[PresetColumn::freqWeighting] = s.freqWeightingText;
    r[PresetColumn::threshold] = std::to_string(threshold);
    r[PresetColumn::criterion] = std::to_string(criterion);
    r[PresetColumn::exchangeRate] = std::to_string(s.exchangeRate);
    r[PresetColumn::peak] = s.peakText;
    r[PresetColumn::range] = rangeText(s.rangeTop);
    r.average = s.averageText;
    return r;
}

PresetRow presetRowFromRecord(const UserPresetRecord& record)
{
    const MeterSettings s = record.decoded();
    PresetRow r = presetRowFromSettings(s, s.thresholdLevel, s.criterionLevel.value_or(0));
    // Values no list names keep their byte in the text, so they go back as read.
    if ((record.settings & 0x03) == 0x03)
        r[PresetColumn::timeWeighting] = unknownCodeText(3);
    if (!isKnownText(PresetColumn::threshold, r[PresetColumn::threshold]))
        r[PresetColumn::threshold] = unknownCodeText(record.threshold);
    if (!s.criterionLevel)
        r[PresetColumn::criterion] = unknownCodeText(record.criterionCode);
    return r;
}

Result<std::uint8_t> settingsByteFromRow(const PresetRow& row)
{
    const std::string& t = row[PresetColumn::timeWeighting];
    const auto timeCode = unknownCodeValue(t);
    const bool timeKept = timeCode && *timeCode <= 3;
    if (!timeKept && !isKnownText(PresetColumn::timeWeighting, t))
        return notListed(PresetColumn::timeWeighting, t);
    for (PresetColumn c :
         {PresetColumn::freqWeighting, PresetColumn::exchangeRate, PresetColumn::peak, PresetColumn::range})
        if (!isKnownText(c, row[c]))
            return notListed(c, row[c]);
    const int time = timeKept ? 0 : t == "Slow" ? 0 : t == "Fast" ? 1 : 2;
    const std::uint8_t byte = EncodeSettings(time, row[PresetColumn::freqWeighting] == "C", row.average == "min",
                                             row[PresetColumn::peak] == "Lcpk", row[PresetColumn::range] == "60-130",
                                             val(row[PresetColumn::exchangeRate]));
    return timeKept ? static_cast<std::uint8_t>(byte | *timeCode) : byte;
}

Result<UserPresetRecord> presetRecordFromRow(const PresetRow& row)
{
    auto settings = settingsByteFromRow(row);
    if (!settings)
        return settings.error();
    auto byteOf = [&](PresetColumn c) -> std::optional<std::uint8_t> {
        if (auto kept = unknownCodeValue(row[c]))
            return kept;
        if (!isKnownText(c, row[c]))
            return std::nullopt;
        const int v = val(row[c]);
        if (c == PresetColumn::criterion)
            return static_cast<std::uint8_t>(*CriterionLevelToCode(v));
        return static_cast<std::uint8_t>(v);
    };
    UserPresetRecord r;
    r.settings = *settings;
    for (PresetColumn c : {PresetColumn::threshold, PresetColumn::criterion})
        if (!byteOf(c))
            return notListed(c, row[c]);
    r.threshold = *byteOf(PresetColumn::threshold);
    r.thresholdAgain = r.threshold;
    r.criterionCode = *byteOf(PresetColumn::criterion);
    return r;
}

UserPresetRows presetRowsFromTable(const UserPresetTable& table)
{
    UserPresetRows rows;
    for (std::size_t k = 0; k < rows.size(); ++k)
        rows[k] = presetRowFromRecord(table.records[k]);
    return rows;
}

Result<UserPresetTable> presetTableFromRows(const UserPresetRows& rows)
{
    UserPresetTable table;
    for (std::size_t k = 0; k < rows.size(); ++k) {
        auto record = presetRecordFromRow(rows[k]);
        if (!record)
            return failure(record.error().kind,
                           presetCaption(firstUserPreset + static_cast<int>(k)) + ": " + record.error().message);
        table.records[k] = *record;
    }
    return table;
}

std::optional<std::string> criterionAfterThreshold(std::string_view threshold, std::string_view criterion)
{
    const int t = val(threshold);
    if (val(criterion) >= t)
        return std::nullopt;
    if (t > 85)
        return "90";
    if (t > 84)
        return "85";
    if (t > 80)
        return "84";
    return std::nullopt;
}

std::optional<std::string> thresholdAfterCriterion(std::string_view threshold, std::string_view criterion)
{
    if (val(criterion) >= val(threshold))
        return std::nullopt;
    return std::string(criterion);
}

} // namespace km740
