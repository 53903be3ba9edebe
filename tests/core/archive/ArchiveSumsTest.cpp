// SPDX-License-Identifier: GPL-3.0-or-later
// The archive's plain arithmetic: content hash, ISO weeks, a person's week.
#include "core/archive/ArchiveDates.h"
#include "core/archive/MeasurementsCsv.h"
#include "core/archive/Sha256.h"
#include "core/archive/WeeklyExposure.h"

#include <gtest/gtest.h>

#include <cmath>

namespace km740 {
namespace {

TEST(Sha256, StandardVectorsAndSplitInput)
{
    EXPECT_EQ(sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    const std::string million(1000000, 'a');
    EXPECT_EQ(sha256Hex(million), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
    // Fed in odd pieces across block boundaries, the digest is the same.
    Sha256 pieces;
    for (std::size_t at = 0; at < million.size(); at += 997)
        pieces.update(std::string_view(million).substr(at, 997));
    const auto digest = pieces.finish();
    EXPECT_EQ(digest[0], 0xcd);
    EXPECT_EQ(digest[31], 0xd0);
    // 55 and 56 bytes: the length just fits, or needs a block of its own.
    EXPECT_EQ(sha256Hex(std::string(55, 'x')).size(), 64u);
    EXPECT_NE(sha256Hex(std::string(55, 'x')), sha256Hex(std::string(56, 'x')));
}

TEST(ArchiveDates, IsoWeeksAndDays)
{
    // 2026-W01 starts on Monday 2025-12-29; 2020 has a week 53, 2021 has not.
    EXPECT_EQ(isoDate(*parseIsoWeek("2026-W01")), "2025-12-29");
    EXPECT_EQ(isoDate(*parseIsoWeek("2020-W53")), "2020-12-28");
    EXPECT_FALSE(parseIsoWeek("2021-W53"));
    EXPECT_FALSE(parseIsoWeek("2026-W00"));
    EXPECT_FALSE(parseIsoWeek("2026-12"));
    EXPECT_EQ(isoWeekOf(*parseIsoDate("2027-01-01")), "2026-W53");
    EXPECT_EQ(isoWeekOf(*parseIsoDate("2026-12-07")), "2026-W50");

    EXPECT_FALSE(parseIsoDate("2026-02-29"));
    EXPECT_FALSE(parseIsoDate("2026-1-05"));

    EXPECT_EQ(isoDate(dayOf(*parseLocalTime("1969-12-31T23:59:59"))), "1969-12-31");
}

TEST(WeeklyExposure, HandSums)
{
    const Day monday = *parseIsoWeek("2026-W10");
    std::vector<DayExposure> five;
    for (int d = 0; d < 5; ++d)
        five.push_back({d + 1, monday + std::chrono::days{d}, 85.0});
    const WeekExposure full = weekExposure(five);
    ASSERT_EQ(full.days.size(), 5u);
    EXPECT_NEAR(*full.lexW, 85.0, 1e-9);
    EXPECT_NEAR(full.points, 500.0, 1e-9);

    // One loud day stands for a week at 7 dB less: 92 - 10 lg 5.
    const WeekExposure one = weekExposure({{7, monday + std::chrono::days{2}, 92.0}});
    EXPECT_NEAR(*one.lexW, 92.0 - 10.0 * std::log10(5.0), 1e-9);
    EXPECT_EQ(std::round(*one.lexW * 10) / 10, 85.0);
    EXPECT_NEAR(one.points, 100.0 * std::pow(10.0, 0.7), 1e-9);

    // Two half-days at 85 on one day are one day at 88 (energy adds), in date order.
    const WeekExposure split =
        weekExposure({{3, monday + std::chrono::days{1}, 80.0}, {1, monday, 85.0}, {2, monday, 85.0}});
    ASSERT_EQ(split.days.size(), 2u);
    EXPECT_EQ(split.days[0].day, monday);
    EXPECT_NEAR(split.days[0].lex8h, 85.0 + 10.0 * std::log10(2.0), 1e-9);
    EXPECT_EQ(split.days[0].ids, (std::vector<std::int64_t>{1, 2}));
    EXPECT_NEAR(split.points, 200.0 + 100.0 * std::pow(10.0, -0.5), 1e-9);

    const WeekExposure none = weekExposure(std::vector<DayExposure>{});
    EXPECT_TRUE(none.days.empty());
    EXPECT_FALSE(none.lexW);
    EXPECT_EQ(none.points, 0.0);
}

TEST(MeasurementsCsv, QuotesWhatNeedsItAndLeavesMissingValuesEmpty)
{
    Measurement loud;
    loud.id = 7;
    loud.labels = {"Silva, Ana", "Press \"A\"", "ACME", "line 1\nline 2"};
    loud.facts.kind = DataFileKind::realTimeData;
    loud.facts.start = parseLocalTime("2026/03/02 07:00:00");
    loud.facts.end = parseLocalTime("2026/03/02 15:00:00");
    loud.facts.durationSeconds = 28800;
    loud.facts.laeq = 91.96;
    loud.facts.lmax = 110.0;
    loud.facts.lex8h = 91.96;
    loud.facts.points = 496.6;
    loud.worstStandard = "ISO85";
    loud.worstDose = 496.55;
    loud.fileName = "m.sonx";
    Measurement dose;
    dose.id = 8;
    dose.facts.kind = DataFileKind::doseLogger;
    dose.fileName = "d.sonx";
    const std::vector<Measurement> rows{loud, dose};
    EXPECT_EQ(measurementsCsv(rows),
              "ID,Person,Sector,Company,Start,End,Duration (s),Kind,LAeq (dB),Lmax (dB),LEX 8h (dB),Points,"
              "Worst standard,Worst dose (%),File,Notes\r\n"
              "7,\"Silva, Ana\",\"Press \"\"A\"\"\",ACME,2026-03-02T07:00:00,2026-03-02T15:00:00,28800,"
              "Real Time Data,92.0,110.0,92.0,497,ISO85,496.6,m.sonx,\"line 1\nline 2\"\r\n"
              "8,,,,,,0,Data Logger dBL,,,,,,,d.sonx,\r\n");
}

} // namespace
} // namespace km740
