// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/ImageBuilder.h"
#include "core/logger/LoggerSetTable.h"

#include <gtest/gtest.h>

namespace km740 {
namespace {

using test::ImageBuilder;
using test::SetHeader;
using Cells = std::array<std::string, 4>;

LoggerSetTable split(const ImageBuilder& b)
{
    return splitSets(LoggerImage(b.bytes()));
}

SetHeader levelHeader()
{
    SetHeader h;
    h.interval = 1; // " 1 Sec"
    h.second = 0x59;
    h.minute = 59;
    h.hour = 23;
    h.day = 31;
    h.month = 12;
    h.year = 26;
    h.settings = 0x30; // Lcpk, 60-130, exchange rate 3
    h.criterion = 2;
    return h;
}

// A dose set closed by the next set's marker, and a level set that ends
// exactly where the downloaded bytes end (the appended copy of the first
// marker closes it).
TEST(SplitSets, SetsOfBothKindsUpToTheImageEnd)
{
    ImageBuilder b;
    b.set().dose("0000000000").dose("0000000050");
    const std::size_t second = b.size();
    b.set(levelHeader()).level(821).level(5).level(900).dose("0000000045", "123456");
    const LoggerSetTable t = split(b);
    ASSERT_EQ(t.sets.size(), 2u);
    EXPECT_TRUE(t.beganWithMarker);
    EXPECT_FALSE(t.setLimitReached);

    const LoggerSet& dose = t.sets[0];
    EXPECT_EQ(directoryCells(dose), (Cells{"1", "2008/03/18 09:05:00", "60", "2"}));
    EXPECT_TRUE(dose.isDoseSet()); // exactly 60 s is a dose set
    EXPECT_FALSE(dose.incomplete);
    EXPECT_EQ(dose.block.size(), 16u + 2 * 48);
    EXPECT_EQ(dose.presetName, "OSHA-90");
    EXPECT_EQ(dose.settings.exchangeRate, 5);
    EXPECT_EQ(dose.settings.criterionLevel, 90);

    const LoggerSet& level = t.sets[1];
    EXPECT_EQ(directoryCells(level), (Cells{"2", "2026/12/31 23:59:59", "1", "3"}));
    EXPECT_FALSE(level.isDoseSet());
    EXPECT_FALSE(level.incomplete);
    EXPECT_TRUE(level.hasSummary());
    EXPECT_EQ(level.imageOffset, second);
    EXPECT_EQ(level.block.size(), 64u + 2 * 3);
    EXPECT_EQ(level.settings.peakText, "Lcpk");
    EXPECT_EQ(level.settings.rangeTop, 130);
}

TEST(SplitSets, PauseEntriesAreCountedApartFromRecords)
{
    ImageBuilder b;
    b.set().dose("0000000001").pause(150, 330).dose("0000000002").dose("0000000003").pause(0x123456, 0x0000FF);
    b.set(levelHeader()).pause(1, 2).level(1).dose("0");
    const LoggerSetTable t = split(b);
    ASSERT_EQ(t.sets.size(), 2u);
    const LoggerSet& s = t.sets[0];
    EXPECT_EQ(s.recordCount, 3u);
    ASSERT_EQ(s.pauses.size(), 2u);
    EXPECT_EQ(s.pauses[0].start, 150u);
    EXPECT_EQ(s.pauses[0].release, 330u);
    EXPECT_EQ(s.pauses[0].recordsBefore, 1u);
    EXPECT_EQ(s.pauses[1].start, 0x123456u);
    EXPECT_EQ(s.pauses[1].release, 0xFFu);
    EXPECT_EQ(s.pauses[1].recordsBefore, 3u);
    EXPECT_EQ(s.block.size(), 16u + 3 * 48 + 2 * 10);
    EXPECT_EQ(t.sets[1].recordCount, 1u);
    EXPECT_EQ(t.sets[1].pauses.size(), 1u);
    EXPECT_FALSE(t.sets[1].incomplete);
}

// Bytes before, between and after sets: the image does not begin with a
// marker, the first set runs into the second one's marker, and the scan
// finds every set.
TEST(SplitSets, GarbageAroundSetsIsSkipped)
{
    ImageBuilder b;
    b.add({0x11, 0x12, 0x13});
    b.set().dose("0000000001").dose("0000000002").add(std::vector<std::uint8_t>(7, 0x11));
    b.set(levelHeader()).level(821).level(822).dose("0000000045", "123456");
    const LoggerSetTable t = split(b);
    EXPECT_FALSE(t.beganWithMarker);
    ASSERT_EQ(t.sets.size(), 2u);
    EXPECT_TRUE(t.sets[0].incomplete);
    EXPECT_EQ(t.sets[0].recordCount, 2u);
    EXPECT_EQ(t.sets[0].imageOffset, 3u);
    // The last set ends at the image end: complete, summary included.
    EXPECT_FALSE(t.sets[1].incomplete);
    EXPECT_EQ(t.sets[1].recordCount, 2u);
    EXPECT_TRUE(t.sets[1].hasSummary());
}

TEST(SplitSets, TruncatedFinalSetKeepsItsWholeRecords)
{
    ImageBuilder b;
    b.set().dose("0000000001");
    b.set().dose("0000000001").dose("0000000002").dose("0000000003").cut(5);
    const LoggerSetTable t = split(b);
    ASSERT_EQ(t.sets.size(), 2u);
    EXPECT_FALSE(t.sets[0].incomplete);
    EXPECT_TRUE(t.sets[1].incomplete);
    EXPECT_EQ(t.sets[1].recordCount, 2u);
    EXPECT_EQ(t.sets[1].block.size(), 16u + 2 * 48);

    // A level set cut inside its summary: the summary is missing; whole
    // steps are records up to one that is no level (the peak word).
    ImageBuilder c;
    c.set(levelHeader()).level(800).level(801).dose("0").cut(9);
    const LoggerSetTable u = split(c);
    ASSERT_EQ(u.sets.size(), 1u);
    EXPECT_TRUE(u.sets[0].incomplete);
    EXPECT_TRUE(u.sets[0].summaryMissing);
    EXPECT_FALSE(u.sets[0].hasSummary());
    EXPECT_EQ(u.sets[0].recordCount, 2u + 18);

    // A marker whose header is cut holds nothing.
    ImageBuilder d;
    d.set().dose("1").add({0x00, 0x55, 0xAA, 0x00, 0x00, 0x00});
    EXPECT_EQ(split(d).sets.size(), 1u);
    EXPECT_TRUE(split(ImageBuilder()).sets.empty());
    EXPECT_TRUE(split(ImageBuilder().add({0x00, 0x55})).sets.empty());
}

TEST(SplitSets, UnknownCodesDoNotBorrowFromTheSetBefore)
{
    SetHeader badInterval;
    badInterval.interval = 0;
    SetHeader badCriterion;
    badCriterion.criterion = 7;
    badCriterion.preset = 40;
    ImageBuilder b;
    b.set().dose("0000000001");
    b.set(badInterval).add(std::vector<std::uint8_t>(33, 0x22));
    b.set(badCriterion).dose("0000000001");
    const LoggerSetTable t = split(b);
    ASSERT_EQ(t.sets.size(), 3u);
    EXPECT_EQ(directoryCells(t.sets[1]), (Cells{"2", "2008/03/18 09:05:00", "----", "----"}));
    EXPECT_EQ(t.sets[1].block.size(), 16u + 33);
    EXPECT_FALSE(t.sets[2].settings.criterionLevel.has_value());
    EXPECT_EQ(t.sets[2].presetName, "----");
    EXPECT_EQ(t.sets[2].recordCount, 1u);
}

TEST(SplitSets, TableLimitsHold)
{
    ImageBuilder many;
    for (std::size_t i = 0; i < LoggerSetTable::maxSets + 2; ++i)
        many.set();
    const LoggerSetTable t = split(many);
    EXPECT_EQ(t.sets.size(), LoggerSetTable::maxSets);
    EXPECT_TRUE(t.setLimitReached);

    // Sets that lose their step end at the next marker, so a memory full of
    // them splits in one pass.
    ImageBuilder odd;
    SetHeader fast;
    fast.interval = 1;
    for (int i = 0; i < 10000; ++i)
        odd.set(fast).add({1, 2, 3});
    const LoggerSetTable o = split(odd);
    ASSERT_EQ(o.sets.size(), 10000u);
    EXPECT_TRUE(o.sets[0].incomplete);
    EXPECT_EQ(o.sets[0].recordCount, 1u);

    // More pause entries than the pause list holds: the set keeps every
    // record and every entry, and says how many the list leaves out.
    ImageBuilder pauses;
    pauses.set().dose("1");
    for (std::size_t i = 0; i <= LoggerSet::maxPauses; ++i)
        pauses.pause(static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(i + 1));
    pauses.dose("2").dose("3");
    pauses.set().dose("1");
    const LoggerSetTable p = split(pauses);
    ASSERT_EQ(p.sets.size(), 2u);
    EXPECT_FALSE(p.sets[0].incomplete);
    EXPECT_EQ(p.sets[0].recordCount, 3u);
    EXPECT_EQ(p.sets[0].pauses.size(), LoggerSet::maxPauses + 1);
    EXPECT_EQ(p.sets[0].droppedPauses(), 1u);
    EXPECT_FALSE(p.sets[1].incomplete);
}

// The marker's four bytes in the free bytes of a dose record (offsets 0-2
// and 13-15) neither cut the set nor start a set of their own.
TEST(SplitSets, MarkerBytesInsideARecordDoNotSplitTheSet)
{
    ImageBuilder inner;
    inner.dose("7");
    std::vector<std::uint8_t> record = inner.bytes();
    record[12] = 0x00, record[13] = 0x55, record[14] = 0xAA, record[15] = 0x00;
    ImageBuilder b;
    b.set().dose("1").add(record).dose("9");
    b.set(levelHeader()).level(800).level(801).dose("0");
    const LoggerSetTable t = split(b);
    ASSERT_EQ(t.sets.size(), 2u);
    EXPECT_FALSE(t.sets[0].incomplete);
    EXPECT_EQ(t.sets[0].recordCount, 3u);
    EXPECT_EQ(t.sets[0].block.size(), 16u + 3 * 48);
    EXPECT_EQ(t.sets[1].recordCount, 2u);
    EXPECT_TRUE(t.sets[1].hasSummary());

    // A set that never closes still ends at the next marker.
    ImageBuilder open;
    open.set().dose("1").add({0x11, 0x22, 0x33});
    open.set().dose("1").dose("2");
    const LoggerSetTable o = split(open);
    ASSERT_EQ(o.sets.size(), 2u);
    EXPECT_TRUE(o.sets[0].incomplete);
    EXPECT_EQ(o.sets[0].recordCount, 1u);
    EXPECT_EQ(o.sets[1].recordCount, 2u);
}

} // namespace
} // namespace km740

namespace km740 {
namespace {

// Three sets of one kind, with what the image builder lays down for each:
// where each set starts and how many records it holds.
struct ThreeSets {
    std::vector<std::uint8_t> bytes;
    std::array<std::size_t, 4> starts{}; // the fourth: the image end
    std::array<std::size_t, 3> records{5, 7, 4};
};

ThreeSets threeSets(bool dose)
{
    test::ImageBuilder b;
    ThreeSets t;
    for (std::size_t k = 0; k < 3; ++k) {
        t.starts[k] = b.size();
        if (dose) {
            b.set();
            for (std::size_t i = 0; i < t.records[k]; ++i)
                b.dose(std::to_string(10 * k + i + 1));
        } else {
            b.set(levelHeader());
            for (std::size_t i = 0; i < t.records[k]; ++i)
                b.level(static_cast<std::uint16_t>(800 + 10 * k + i));
            b.dose("45", "123456");
        }
    }
    t.starts[3] = b.size();
    t.bytes = b.bytes();
    return t;
}

// One damaged set never takes the others with it: a stray byte after it, a
// byte missing at its end, or its header zeroed, in each of the three
// places. The damaged set is cut short (or, headerless, gone); the split
// resumes at the next set's marker.
TEST(SplitSets, ADamagedSetLeavesTheOthersWhole)
{
    for (bool dose : {true, false}) {
        const ThreeSets t = threeSets(dose);
        for (std::size_t k = 0; k < 3; ++k) {
            const std::string where = std::string(dose ? "dose" : "level") + " set " + std::to_string(k + 1);
            auto expectOthersWhole = [&](const LoggerSetTable& table, const std::string& damage) {
                ASSERT_EQ(table.sets.size(), 3u) << where << damage;
                for (std::size_t j = 0; j < 3; ++j) {
                    const LoggerSet& s = table.sets[j];
                    if (j == k) {
                        EXPECT_TRUE(s.incomplete) << where << damage;
                        EXPECT_LE(s.recordCount, t.records[j]) << where << damage;
                        continue;
                    }
                    EXPECT_FALSE(s.incomplete) << where << damage << " set " << j + 1;
                    EXPECT_EQ(s.recordCount, t.records[j]) << where << damage << " set " << j + 1;
                    EXPECT_EQ(s.hasSummary(), !dose) << where << damage << " set " << j + 1;
                }
            };

            std::vector<std::uint8_t> stray = t.bytes;
            stray.insert(stray.begin() + static_cast<std::ptrdiff_t>(t.starts[k + 1]), 0x11);
            const LoggerSetTable strayTable = splitSets(LoggerImage(stray));
            expectOthersWhole(strayTable, ", stray byte");
            // Whole up to the stray byte: every record, and the summary.
            EXPECT_EQ(strayTable.sets.at(k).recordCount, t.records[k]) << where;
            EXPECT_EQ(strayTable.sets.at(k).hasSummary(), !dose) << where;

            std::vector<std::uint8_t> missing = t.bytes;
            missing.erase(missing.begin() + static_cast<std::ptrdiff_t>(t.starts[k + 1] - 1));
            expectOthersWhole(splitSets(LoggerImage(missing)), ", missing byte");

            std::vector<std::uint8_t> zeroed = t.bytes;
            std::fill_n(zeroed.begin() + static_cast<std::ptrdiff_t>(t.starts[k]), 17, 0);
            const LoggerSetTable z = splitSets(LoggerImage(zeroed));
            // The set without a marker is gone (the one before takes its
            // bytes, cut short); the ones after it stand.
            ASSERT_EQ(z.sets.size(), 2u) << where;
            if (k < 2) {
                EXPECT_EQ(z.sets.back().recordCount, t.records[2]) << where;
                EXPECT_EQ(z.sets.back().imageOffset, t.starts[2]) << where;
                EXPECT_FALSE(z.sets.back().incomplete) << where;
            } else {
                EXPECT_EQ(z.sets.front().recordCount, t.records[0]) << where;
                EXPECT_FALSE(z.sets.front().incomplete) << where;
            }
        }
    }
}

// Levels no meter logs (a stray byte puts the high byte first) end the set
// at its last reading; a level set that stops before its summary says so.
TEST(SplitSets, ALevelSetOutOfStepOrWithoutSummaryKeepsItsReadingsOnly)
{
    test::ImageBuilder b;
    b.set(levelHeader()).level(850).level(851).add({0x11}).level(852).level(853).dose("45");
    b.set(levelHeader()).level(800).dose("45");
    LoggerSetTable t = split(b);
    ASSERT_EQ(t.sets.size(), 2u);
    EXPECT_EQ(t.sets[0].recordCount, 2u);
    EXPECT_TRUE(t.sets[0].incomplete);
    EXPECT_TRUE(t.sets[0].summaryMissing);
    EXPECT_EQ(t.sets[1].recordCount, 1u);
    EXPECT_TRUE(t.sets[1].hasSummary());

    test::ImageBuilder c;
    c.set(levelHeader()).level(850).level(851).level(852).level(853).level(854);
    c.set(levelHeader()).level(800).dose("45");
    t = split(c);
    ASSERT_EQ(t.sets.size(), 2u);
    EXPECT_EQ(t.sets[0].recordCount, 5u);
    EXPECT_TRUE(t.sets[0].summaryMissing);
    EXPECT_EQ(t.sets[0].block.size(), 16u + 5 * 2);
    EXPECT_EQ(t.sets[1].recordCount, 1u);
}

} // namespace
} // namespace km740
