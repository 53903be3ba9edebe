// SPDX-License-Identifier: GPL-3.0-or-later
// The configuration windows' texts and the bytes they become.
#include "core/config/PresetRows.h"
#include "core/config/RecordingTexts.h"

#include <gtest/gtest.h>

using namespace km740;

namespace {

PresetRow rowOf(const char* t, const char* f, const char* th, const char* cr, const char* er, const char* pk,
                const char* rg, const char* avg = "Lavg")
{
    PresetRow r;
    r.cells = {t, f, th, cr, er, pk, rg};
    r.average = avg;
    return r;
}

} // namespace

TEST(PresetRows, UserRecordsFromTheRowsTexts)
{
    // Fast, C, 75, 85, 4, Lcpk, 60-130, Lavg: 1 + 4 + 16 + 32 + 64.
    auto r = presetRecordFromRow(rowOf("Fast", "C", "75", "85", "4", "Lcpk", "60-130"));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(*r, (UserPresetRecord{0x75, 75, 75, 2}));
    // The averaging label the row carries is kept, and "Imp" stays impulse.
    r = presetRecordFromRow(rowOf("Imp", "A", "90", "90", "6", "Llpk", "70-140", "min"));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(*r, (UserPresetRecord{0xCA, 90, 90, 3}));

    // Every record the meter can hold with listed values reads back as itself.
    for (int settings : {0x00, 0x25, 0x75, 0xC8, 0xFE}) {
        const UserPresetRecord rec{static_cast<std::uint8_t>(settings), 83, 83, 1};
        auto back = presetRecordFromRow(presetRowFromRecord(rec));
        ASSERT_TRUE(back.ok()) << settings;
        EXPECT_EQ(*back, rec) << settings;
    }
    // A threshold of 255 reads as 80 and is written as 80.
    EXPECT_EQ(presetRowFromRecord({0, 255, 255, 2})[PresetColumn::threshold], "80");
}

TEST(PresetRows, BytesNoListNamesGoBackAsTheyCame)
{
    // Criterion 7, threshold 95, time weighting 3: each shows as "code N"
    // and, left alone, is written back as the same byte.
    const UserPresetRecord oddRecord{0x83, 95, 95, 7};
    PresetRow odd = presetRowFromRecord(oddRecord);
    EXPECT_EQ(odd[PresetColumn::criterion], "code 7");
    EXPECT_EQ(odd[PresetColumn::threshold], "code 95");
    EXPECT_EQ(odd[PresetColumn::timeWeighting], "code 3");
    auto r = presetRecordFromRow(odd);
    ASSERT_TRUE(r.ok()) << r.error().message;
    EXPECT_EQ(*r, oddRecord);
    // A cell the user changed is encoded from its list; the others stay.
    odd[PresetColumn::criterion] = "90";
    EXPECT_EQ(presetRecordFromRow(odd).value(), (UserPresetRecord{0x83, 95, 95, 3}));
    EXPECT_FALSE(presetRecordFromRow(rowOf("Slow", "A", "code 256", "85", "3", "Llpk", "70-140")).ok());
    EXPECT_FALSE(presetRecordFromRow(rowOf("Slow", "A", "code 07", "85", "3", "Llpk", "70-140")).ok());

    EXPECT_FALSE(presetRecordFromRow(rowOf("Slow", "A", "95", "85", "3", "Llpk", "70-140")).ok());
    EXPECT_FALSE(presetRecordFromRow(rowOf("Slow", "A", "80", "85", "3", "Llpk", "----")).ok());
    EXPECT_FALSE(settingsByteFromRow(rowOf("", "A", "80", "85", "3", "Llpk", "70-140")).ok());

    // The table names the row it refuses.
    UserPresetRows rows = presetRowsFromTable(UserPresetTable{});
    for (auto& row : rows)
        row[PresetColumn::threshold] = "80";
    rows[2][PresetColumn::exchangeRate] = "7";
    auto t = presetTableFromRows(rows);
    ASSERT_FALSE(t.ok());
    EXPECT_EQ(t.error().message, "User3: the exchange rate \"7\" is not one of the listed values");
}

TEST(PresetRows, MeterSetupSettingsBytes)
{
    auto b = settingsByteFromRow(rowOf("Fast", "C", "80", "85", "3", "Lcpk", "60-130"));
    ASSERT_TRUE(b.ok());
    EXPECT_EQ(*b, 0x35);
    b = settingsByteFromRow(rowOf("Slow", "A", "80", "85", "6", "Llpk", "70-140"));
    ASSERT_TRUE(b.ok());
    EXPECT_EQ(*b, 0xC0);
    b = settingsByteFromRow(rowOf("Fast", "C", "80", "85", "3", "Lcpk", "60-130", "min"));
    ASSERT_TRUE(b.ok());
    EXPECT_EQ(*b, 0x3D);
}

TEST(PresetRows, ThresholdCriterionInterlock)
{
    EXPECT_EQ(criterionAfterThreshold("88", "85"), "90");
    EXPECT_EQ(criterionAfterThreshold("86", "85"), "90");
    EXPECT_EQ(criterionAfterThreshold("85", "84"), "85");
    EXPECT_EQ(criterionAfterThreshold("82", "80"), "84");
    EXPECT_EQ(criterionAfterThreshold("80", "80"), std::nullopt);
    EXPECT_EQ(criterionAfterThreshold("75", "90"), std::nullopt);
    EXPECT_EQ(thresholdAfterCriterion("85", "80"), "80");
    EXPECT_EQ(thresholdAfterCriterion("80", "84"), std::nullopt);
}

TEST(PresetRows, StandardPresetsAndCaptions)
{
    EXPECT_EQ(presetCaption(0), "OSHA-80");
    EXPECT_EQ(presetCaption(7), "ISO90");
    EXPECT_EQ(presetCaption(12), "User5");
    EXPECT_EQ(presetCaption(17), "");
    EXPECT_EQ(presetFromCaption("User5", 8, 16), 12);
    EXPECT_EQ(presetFromCaption("User5", 0, 7), std::nullopt);
    EXPECT_EQ(standardPresetRow(4), rowOf("Slow", "A", "80", "85", "4", "Llpk", "70-140"));
    EXPECT_EQ(standardPresetRow(6), rowOf("Fast", "A", "70", "85", "3", "Lcpk", "70-140"));
}

TEST(RecordingTexts, WhatTheReadsShow)
{
    RecordingRead read;
    read.intervalCode = 8;
    read.periodCode = 5;
    read.repeat = 255;
    read.enableMask = 0x8001;
    read.table.entries[0] = {0, 5, 30, 12, 23, 59};
    read.table.entries[1] = {255, 255, 255, 31, 0, 255};
    const RecordingTexts t = recordingTextsFrom(read);
    EXPECT_EQ(t.interval, " 1 Min");
    EXPECT_EQ(t.period, " 1 Hour");
    EXPECT_EQ(t.repeat, "Always");
    EXPECT_FALSE(scheduleInUse(t));
    EXPECT_TRUE(t.rows[0].enabled);
    EXPECT_TRUE(t.rows[15].enabled);
    EXPECT_FALSE(t.rows[1].enabled);
    EXPECT_EQ(t.rows[0].cells, (std::array<std::string, 6>{"Any", "5", "30", "12", "23", "59"}));
    EXPECT_EQ(t.rows[1].cells, (std::array<std::string, 6>{"Any", "Any", "Any", "31", "0", "Any"}));

    // Codes no list holds.
    read.intervalCode = 0;
    read.periodCode = 12;
    read.repeat = 40;
    const RecordingTexts odd = recordingTextsFrom(read);
    EXPECT_EQ(odd.interval, "code 0");
    EXPECT_EQ(odd.period, "code 12");
    EXPECT_EQ(odd.repeat, "code 40");
}

TEST(RecordingTexts, WhatTheWritesSend)
{
    RecordingTexts t;
    t.interval = "10 Min";
    t.period = "Off";
    t.repeat = "Always";
    t.rows[0].cells = {"Any", "5", "30", "12", "23", "59"};
    t.rows[0].enabled = true;
    t.rows[15].enabled = true;
    t.rows[7].cells = {"3", "Any", "0", "Any", "23", "Any"}; // "Any" read back for hours stays 255
    auto s = recordingSetupFrom(t);
    ASSERT_TRUE(s.ok()) << s.error().message;
    EXPECT_EQ(s->intervalCode, 11);
    EXPECT_EQ(s->periodCode, 0);
    EXPECT_EQ(s->repeat, 255);
    EXPECT_EQ(s->enableMask, 0x8001);
    EXPECT_EQ(s->table.entries[0], (TimedEntry{0, 5, 30, 12, 23, 59}));
    EXPECT_EQ(s->table.entries[7], (TimedEntry{3, 255, 0, 0, 23, 255}));
    EXPECT_EQ(encodeEnableMask(s->enableMask), (std::array<std::uint8_t, 2>{0x80, 0x01}));
    t.repeat = "0";
    EXPECT_EQ(recordingSetupFrom(t)->repeat, 0);

    // Refused, with the field named.
    t.rows[4].cells[1] = "30";
    auto bad = recordingSetupFrom(t);
    ASSERT_FALSE(bad.ok());
    EXPECT_EQ(bad.error().message, "schedule row 5: the start hour \"30\" is not one of the listed values");
    t.rows[4].cells[1] = "0";
    t.rows[4].cells[3] = "Any ";
    EXPECT_FALSE(recordingSetupFrom(t).ok());
    EXPECT_FALSE(intervalCodeFrom("1 Sec").ok()); // the leading blank is part of the text
    EXPECT_FALSE(repeatCodeFrom("40").ok());
}

TEST(RecordingTexts, CodesNoListNamesGoBackAsTheyCame)
{
    RecordingRead read;
    read.intervalCode = 0;
    read.periodCode = 12;
    read.repeat = 25;
    read.enableMask = 0x0003;
    read.table.entries[0] = {40, 0xAA, 61, 0, 24, 255};
    read.table.entries[1] = {1, 2, 3, 4, 5, 6};
    const RecordingTexts t = recordingTextsFrom(read);
    EXPECT_EQ(t.rows[0].cells, (std::array<std::string, 6>{"code 40", "code 170", "code 61", "Any", "code 24", "Any"}));
    auto s = recordingSetupFrom(t);
    ASSERT_TRUE(s.ok()) << s.error().message;
    EXPECT_EQ(s->intervalCode, 0);
    EXPECT_EQ(s->periodCode, 12);
    EXPECT_EQ(s->repeat, 25);
    EXPECT_EQ(s->enableMask, 0x0003);
    EXPECT_EQ(encodeTimedTable(s->table), encodeTimedTable(read.table));
}
