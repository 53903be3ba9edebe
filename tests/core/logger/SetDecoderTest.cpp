// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/files/DataFileReader.h"
#include "core/files/DataFileWriter.h"
#include "core/logger/DoseText.h"
#include "support/ImageBuilder.h"
#include "core/logger/LoggerSetTable.h"
#include "core/logger/SetDecoder.h"

#include <gtest/gtest.h>

#include <sstream>

namespace km740 {
namespace {

using test::DoseFields;
using test::ImageBuilder;
using test::SetHeader;

LoggerSet onlySet(const ImageBuilder& b)
{
    auto t = splitSets(LoggerImage(b.bytes()));
    EXPECT_EQ(t.sets.size(), 1u);
    return t.sets.at(0);
}

DoseLoggerFile decodeDose(const ImageBuilder& b, const Regional& r = Regional::point())
{
    auto d = decodeSet(onlySet(b), r);
    EXPECT_TRUE(d) << d.error().message;
    return std::get<DoseLoggerFile>(d.value());
}

LevelLoggerFile decodeLevel(const ImageBuilder& b, const Regional& r = Regional::point())
{
    auto d = decodeSet(onlySet(b), r);
    EXPECT_TRUE(d) << d.error().message;
    return std::get<LevelLoggerFile>(d.value());
}

SetHeader levelHeader()
{
    SetHeader h;
    h.interval = 1;
    h.settings = 0x30; // Slow, A, Lavg, Lcpk, 60-130, exchange rate 3
    h.criterion = 2;   // 85 dB
    return h;
}

TEST(DecodeSet, DoseSetRowsAndPanel)
{
    ImageBuilder b;
    b.set()
        .dose("0")
        .dose("50")
        .dose("12", "345600")
        .dose("1234567", "5")
        .dose("12345", "67")
        .dose("00000000?0"); // not a decimal digit
    const DoseLoggerFile f = decodeDose(b);
    EXPECT_EQ(f.settings,
              (SettingsBlock{"94.0", "Slow", "A", "80", "90", "5", "120.5", "70-140", "2018/03/07 14:30:05"}));
    EXPECT_TRUE(f.pauses.empty());
    const std::vector<DoseRow> want = {
        {"1", "2008/03/18 09:06:00", "0", "----"},        {"2", "2008/03/18 09:07:00", "50", "85.0"},
        {"3", "2008/03/18 09:08:00", "12.345", "74.9"},   // cut to 6 characters, TWA cut not rounded
        {"4", "2008/03/18 09:09:00", "1234567", "157.9"}, // every integer digit kept
        {"5", "2008/03/18 09:10:00", "12345", "124.7"},   // never ends on the point
        {"6", "2008/03/18 09:11:00", "----", "----"},
    };
    EXPECT_EQ(f.records, want);

    // Comma regional settings, separators of date and time included.
    const DoseLoggerFile c = decodeDose(b, Regional{',', '.', '.'});
    EXPECT_EQ(c.records[2], (DoseRow{"3", "2008.03.18 09.08.00", "12,345", "74,9"}));
    EXPECT_EQ(c.settings.peak, "120,5");
    EXPECT_EQ(c.settings.calibratedDb, "94,0");
    EXPECT_EQ(c.settings.calibratedTime, "2018/03/07 14:30:05");
}

TEST(DecodeSet, LevelSetRowsAndSummary)
{
    DoseFields summary;
    summary.integer = "0000000045";
    summary.fraction = "123456";
    summary.peak = 0xC000 | 5; // flags set, value below 10
    summary.calLevel = 1140;
    ImageBuilder b;
    b.set(levelHeader()).level(821).level(5).level(1400).dose(summary);
    const LevelLoggerFile f = decodeLevel(b);
    EXPECT_EQ(f.settings,
              (SettingsBlock{"114.0", "Slow", "A", "80", "85", "3", "< 93", "60-130", "2018/03/07 14:30:05"}));
    EXPECT_EQ(f.summary, (DoseSummary{"45.1", "81.5"}));
    EXPECT_EQ(f.records, (std::vector<LevelRecord>{{1, "2008/03/18 09:05:01", "82.1"},
                                                   {2, "2008/03/18 09:05:02", "0.5"},
                                                   {3, "2008/03/18 09:05:03", "140.0"}}));

    // Above 100 % the summary Dose keeps 6 characters; no Dose, no TWA.
    auto withSummary = [](std::string integer, std::string fraction, std::uint16_t peak) {
        DoseFields s;
        s.integer = std::move(integer);
        s.fraction = std::move(fraction);
        s.peak = peak;
        ImageBuilder i;
        i.set(levelHeader()).level(1).dose(s);
        return decodeLevel(i);
    };
    EXPECT_EQ(withSummary("0000000150", "500000", 1600).summary, (DoseSummary{"150.5", "86.7"}));
    EXPECT_EQ(withSummary("0000000150", "500000", 1600).settings.peak, "< 93");
    EXPECT_EQ(withSummary("0000000000", "005000", 1200).summary, (DoseSummary{"0.005", "42.1"}));
    EXPECT_EQ(withSummary("0000000000", "005000", 1200).settings.peak, "120");
    EXPECT_EQ(withSummary("0000000000", "000000", 0x4000 | 1599).summary, (DoseSummary{"0", "----"}));
    EXPECT_EQ(withSummary("0000000000", "000000", 0x4000 | 1599).settings.peak, "159.9");
}

// A record whose step falls inside a pause moves to the first step after the
// release; the records' bytes are read past the pause entries.
TEST(DecodeSet, PausesMoveTheTimeStamps)
{
    ImageBuilder b;
    b.set().dose("1").dose("2").pause(150, 330).dose("3").dose("4").pause(1000, 900).dose("5");
    const DoseLoggerFile f = decodeDose(b);
    std::vector<std::string> stamps, doses;
    for (const auto& r : f.records) {
        stamps.push_back(r.dateTime);
        doses.push_back(r.dose);
    }
    EXPECT_EQ(stamps, (std::vector<std::string>{"2008/03/18 09:06:00", "2008/03/18 09:07:00", "2008/03/18 09:11:00",
                                                "2008/03/18 09:12:00", "2008/03/18 09:13:00"}));
    EXPECT_EQ(doses, (std::vector<std::string>{"1", "2", "3", "4", "5"}));
    // A release before its start has no period and moves nothing.
    EXPECT_EQ(f.pauses, (std::vector<PauseRow>{{"1", "09:07:30", "09:10:30", "00:03:00"},
                                               {"2", "09:21:40", "09:20:00", "----"}}));

    // A pause running over midnight, on a one-second set.
    SetHeader late = levelHeader();
    late.hour = 23;
    late.minute = 59;
    late.second = 0x58;
    ImageBuilder l;
    l.set(late).level(1).pause(2, 3605).level(2).dose("1");
    const LevelLoggerFile lf = decodeLevel(l);
    EXPECT_EQ(lf.records[0].dateTime, "2008/03/18 23:59:59");
    EXPECT_EQ(lf.records[1].dateTime, "2008/03/19 01:00:03");
    EXPECT_EQ(lf.pauses[0], (PauseRow{"1", "00:00:00", "01:00:03", "01:00:03"}));
}

TEST(DecodeSet, UnsoundFieldsShowDashes)
{
    SetHeader badStart;
    badStart.second = 0x5A; // not BCD
    badStart.criterion = 9;
    ImageBuilder b;
    b.set(badStart).dose("50").pause(10, 20);
    const LoggerSet set = onlySet(b);
    EXPECT_EQ(set.startText, "2008/03/18 09:05:5A");
    const DoseLoggerFile f = decodeDose(b);
    EXPECT_EQ(f.records, (std::vector<DoseRow>{{"1", "----", "50", "----"}}));
    EXPECT_EQ(f.settings.criterion, "----");
    EXPECT_EQ(f.pauses, (std::vector<PauseRow>{{"1", "----", "----", "00:00:10"}}));

    // No records: no peak or calibration to show.
    ImageBuilder empty;
    empty.set();
    EXPECT_EQ(decodeDose(empty).settings.peak, "----");

    SetHeader badInterval;
    badInterval.interval = 16;
    ImageBuilder u;
    u.set(badInterval).dose("1");
    auto r = decodeSet(onlySet(u), Regional::point());
    ASSERT_FALSE(r);
    EXPECT_EQ(r.error().kind, FailureKind::data);
}

TEST(DoseText, CutsDecimalsOnly)
{
    const Regional p = Regional::point();
    EXPECT_EQ(doseText(Dose{"12345", "6", 12345.6}, 6, p), "12345");
    EXPECT_EQ(doseText(Dose{"1234", "56", 1234.56}, 6, p), "1234.5");
    EXPECT_EQ(doseText(Dose{"99", "99", 99.99}, 4, p), "99.9");
    EXPECT_EQ(doseText(Dose{"100", "", 100}, 4, p), "100");
    EXPECT_EQ(doseText(Dose{"1000", "5", 1000.5}, 4, p), "1000");
    EXPECT_EQ(doseText(Dose{"0", "5", 0.5}, 6, Regional::comma()), "0,5");
    EXPECT_EQ(doseText(std::optional<Dose>{}, 6, p), "----");
    EXPECT_EQ(twaText(Dose{"0", "0001", 0.0001}, 80, 5, p), "-19.6"); // cut toward zero
    EXPECT_EQ(twaText(Dose{"200", "", 200}, 90, 3, p), "93.0");
}

// What the list window saves is the decoded set; reading that file back
// gives the same rows, with either decimal separator.
TEST(DecodeSet, SavedSetReadsBackTheSame)
{
    ImageBuilder dose;
    dose.set().dose("0").dose("50").pause(150, 330).dose("12", "3456").dose("1234567", "5");
    ImageBuilder level;
    level.set(levelHeader()).level(821).pause(2, 4).level(5).level(1400).dose("45", "123456");
    for (const Regional& r : {Regional::point(), Regional::comma()}) {
        for (const ImageBuilder* b : {&dose, &level}) {
            auto decoded = decodeSet(onlySet(*b), r);
            ASSERT_TRUE(decoded);
            std::istringstream in(dataFileBytes(decoded.value()));
            auto back = loadDataFile(in);
            ASSERT_TRUE(back) << back.error().message;
            EXPECT_EQ(back.value(), decoded.value());
        }
    }
    auto decoded = decodeSet(onlySet(level), Regional::comma());
    EXPECT_EQ(dataFileBytes(decoded.value()),
              "Data Logger dBS\r\n\r\n\r\n\r\n"
              "Calibrated dB:94,0\r\nTime Weight:Slow\r\nFrequency Weight:A\r\nThreshold Level:80\r\n"
              "Criterion Level:85\r\nExchange Rate:3\r\nPeak  Value:120,5\r\nRange:60-130\r\n"
              "Calibrated Time:2018/03/07 14:30:05\r\n"
              " 1 \r\nTimes\tPause\tRelease\tPeriod\t\r\n1\t09:05:02\t09:05:04\t00:00:02\t\r\n"
              "Dose\tTWA\t\r\n45,1\t81,5\t\r\n"
              "No.s\t     Date Time    \tdB\t\r\n"
              "1\t2008/03/18 09:05:01\t82,1\t\r\n"
              "2\t2008/03/18 09:05:04\t0,5\t\r\n"
              "3\t2008/03/18 09:05:05\t140,0\t\r\n");
}

} // namespace
} // namespace km740
