// SPDX-License-Identifier: GPL-3.0-or-later
// The exposure summary against figures worked out by hand from the
// definitions (OSHA, ISO 9612), not by the code under test.
#include "core/exposure/ExposureSummary.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace km740 {
namespace {

constexpr LocalSeconds kEight = 1'796'112'000; // 2026-12-01T08:00:00
constexpr LocalSeconds kHour = 3600;

// Blocks of constant level, one reading every `step` seconds from 08:00.
class Shift : public LevelHistory {
public:
    explicit Shift(std::vector<std::pair<double, double>> hoursAtLevel, double step = 60.0, bool givesInterval = true)
        : blocks_(std::move(hoursAtLevel)), step_(step), givesInterval_(givesInterval)
    {
    }
    DoseParameters file{80, 90, 5};
    Status read(const StartHandler& start, const ReadingHandler& reading) const override
    {
        if (!start({file, givesInterval_ ? std::optional<double>(step_) : std::nullopt}))
            return failure(FailureKind::cancelled, "stopped");
        LocalSeconds t = kEight;
        for (auto [hours, level] : blocks_)
            for (long i = 0; i < std::lround(hours * 3600 / step_); ++i, t += static_cast<LocalSeconds>(step_))
                if (!reading({t, level}))
                    return failure(FailureKind::cancelled, "stopped");
        return success();
    }

private:
    std::vector<std::pair<double, double>> blocks_;
    double step_;
    bool givesInterval_;
};

ExposureSummary summary(const LevelHistory& h, ExposureOptions o = {})
{
    auto s = summarizeExposure(h, o);
    EXPECT_TRUE(s) << (s ? "" : s.error().message);
    return s ? *s : ExposureSummary{};
}

const StandardExposure& named(const ExposureSummary& s, const std::string& name)
{
    for (const auto& e : s.standards)
        if (e.standard.name == name)
            return e;
    ADD_FAILURE() << "no standard " << name;
    return s.standards.front();
}

TEST(ExposureSummary, PublishedDoseFigures)
{
    // OSHA: 8 h at 92 dB is 100 · 2^(2/5) = 131.95 %, TWA 92.0.
    auto osha = summary(Shift({{8, 92}}, 1.0), {.standards = {"OSHA-90"}});
    EXPECT_NEAR(named(osha, "OSHA-90").dose, 131.95, 0.005);
    EXPECT_NEAR(*named(osha, "OSHA-90").twa, 92.0, 1e-9);

    // 4 h at 90 (50 %) + 2 h at 95 (50 %) + 2 h at 85 (12.5 %) = 112.5 %,
    // TWA 90 + 16.61 · lg 1.125 = 90.85; with a 90 dB threshold the 85 dB
    // hours add nothing: 100 %.
    auto mixed = summary(Shift({{4, 90}, {2, 95}, {2, 85}}), {.standards = {"90/80/5", "90/90/5"}});
    EXPECT_NEAR(named(mixed, "90/80/5").dose, 112.5, 1e-9);
    EXPECT_NEAR(*named(mixed, "90/80/5").twa, 90.85, 0.005);
    EXPECT_NEAR(named(mixed, "90/90/5").dose, 100.0, 1e-9);
    // Measured for eight hours: projected values and Lavg are the day's own.
    EXPECT_NEAR(*named(mixed, "90/80/5").projectedDose, 112.5, 1e-9);
    EXPECT_NEAR(*named(mixed, "90/80/5").lavg, *named(mixed, "90/80/5").twa, 1e-9);

    // Four hours at 90 under OSHA: 50 %, projected 100 %, TWA 85.0, PTWA 90.0.
    auto half = summary(Shift({{4, 90}}), {.standards = {"OSHA-90"}});
    EXPECT_NEAR(named(half, "OSHA-90").dose, 50.0, 1e-9);
    EXPECT_NEAR(*named(half, "OSHA-90").twa, 85.0, 1e-9);
    EXPECT_NEAR(*named(half, "OSHA-90").projectedDose, 100.0, 1e-9);
    EXPECT_NEAR(*named(half, "OSHA-90").projectedTwa, 90.0, 1e-9);
    // All below the threshold: no dose, and no TWA-like value at all.
    auto quiet = summary(Shift({{8, 79.9}}), {.standards = {"OSHA-80"}});
    EXPECT_EQ(named(quiet, "OSHA-80").dose, 0.0);
    EXPECT_FALSE(named(quiet, "OSHA-80").twa || named(quiet, "OSHA-80").shiftTwa);
}

TEST(ExposureSummary, PublishedDailyExposureFigures)
{
    // 4 h at 90 dB: LEX,8h = 90 + 10 lg(4/8) = 86.99.
    EXPECT_NEAR(*summary(Shift({{4, 90}})).lex8h, 86.99, 0.005);
    // 88 dB for 10 h: 88 + 10 lg(10/8) = 88.97.
    EXPECT_NEAR(*summary(Shift({{10, 88}})).lex8h, 88.97, 0.005);
    // 85 dB for 8 h: (20 µPa)² · 10^8.5 · 8 h = 1.0119 Pa²h, and 100 points.
    auto day = summary(Shift({{8, 85}}));
    EXPECT_NEAR(day.pa2h, 1.0119, 0.00005);
    EXPECT_NEAR(*day.points, 100.0, 1e-9);
    EXPECT_NEAR(*day.sel, 85 + 10 * std::log10(28800.0), 1e-9);
    EXPECT_EQ(day.aboveSeconds, 28800.0);
    // The threshold "none" lets every reading add dose: 8 h at 85 under
    // 85/none/3 is 100 %.
    EXPECT_NEAR(named(summary(Shift({{8, 85}}), {.standards = {"85/none/3"}}), "85/none/3").dose, 100.0, 1e-9);
}

TEST(ExposureSummary, ExposureTimeScalesTheShift)
{
    // 6 h measured at 90 of a 10 h shift: the 75 % dose becomes 125 %,
    // TWA 90 + 16.61 lg 1.25 = 91.61; LEX,8h = 90 + 10 lg(10/8) = 90.97.
    auto s = summary(Shift({{6, 90}}), {.standards = {"OSHA-90"}, .exposureSeconds = 10 * 3600.0});
    EXPECT_EQ(s.measuredSeconds, 6 * 3600.0);
    EXPECT_EQ(s.exposureSeconds, 10 * 3600.0);
    const auto& osha = named(s, "OSHA-90");
    EXPECT_NEAR(osha.dose, 75.0, 1e-9);
    EXPECT_NEAR(*osha.shiftDose, 125.0, 1e-9);
    EXPECT_NEAR(*osha.shiftTwa, 91.61, 0.005);
    EXPECT_NEAR(*s.lex8h, 90.97, 0.005);
}

TEST(ExposureSummary, TwoHoursLeftOutOfAFourLevelShift)
{
    // 2 h each at 80, 85, 90, 95 dB; the 95 dB block (10:00 .. 12:00 after
    // the 80 and 85 blocks: 12:00 .. 14:00) is left out.
    Shift shift({{2, 80}, {2, 85}, {2, 95}, {2, 90}});
    const TimeSpan lunch{kEight + 4 * kHour, kEight + 6 * kHour};
    auto all = summary(shift);
    auto kept = summary(shift, {.exclusions = {lunch}});

    // Hand sums: 10 lg((1e8 + 3.1623e8 + 3.1623e9 + 1e9) / 4) = 10 lg 1.1446e9 = 90.59;
    // 10 lg((1e8 + 3.1623e8 + 1e9) / 3) = 86.74, LEX,8h = 86.74 + 10 lg(6/8) = 85.49.
    EXPECT_NEAR(*all.laeq, 90.59, 0.005);
    EXPECT_NEAR(*kept.laeq, 86.74, 0.005);
    EXPECT_NEAR(*kept.lex8h, 85.49, 0.005);
    EXPECT_EQ(*all.lmax, 95.0);
    EXPECT_EQ(*kept.lmax, 90.0);
    EXPECT_EQ(*kept.lmin, 80.0);
    EXPECT_EQ(kept.readings, 480u);
    EXPECT_EQ(kept.excluded, 120u);
    EXPECT_EQ(kept.used, 360u);
    ASSERT_EQ(kept.exclusions.size(), 1u);
    EXPECT_EQ(kept.exclusions[0].readings, 120u);
    EXPECT_EQ(kept.aboveSeconds, 4 * 3600.0);

    // L(n): each reading spreads over its 0.1 dB class. With a quarter at
    // 95: L10 = 95.05 - 0.1 · 0.10/0.25 = 95.01. Left out, a third at 90:
    // L10 = 90.05 - 0.1 · 0.10/0.333 = 90.02, L90 = 80.05 - 0.1 · 0.233/0.333 = 79.98;
    // the median falls in the middle of the 85 dB class.
    EXPECT_NEAR(*all.ln[2], 95.01, 1e-9);
    EXPECT_NEAR(*kept.ln[2], 90.02, 1e-9);
    EXPECT_NEAR(*kept.ln[4], 79.98, 1e-9);
    EXPECT_NEAR(*kept.ln[3], 85.0, 1e-9);
}

TEST(ExposureSummary, SpansIncludeTheirStartAndNotTheirEnd)
{
    Shift shift({{1, 90}}); // readings at 08:00, 08:01, ... 08:59
    auto s = summary(shift, {.exclusions = {{kEight + 60, kEight + 180}}});
    EXPECT_EQ(s.excluded, 2u); // 08:01 and 08:02, not 08:03
    // The record times set the interval when the history does not.
    auto stepped = summary(Shift({{1, 90}}, 30.0, false));
    EXPECT_EQ(stepped.intervalSeconds, 30.0);
    EXPECT_EQ(stepped.measuredSeconds, 3600.0);
}

TEST(ExposureSummary, BadSpansAndNamesAreRefusedWithAMessage)
{
    Shift shift({{1, 90}});
    auto fails = [&](ExposureOptions o, const std::string& words) {
        auto s = summarizeExposure(shift, o);
        ASSERT_FALSE(s);
        EXPECT_EQ(s.error().kind, FailureKind::data);
        EXPECT_NE(s.error().message.find(words), std::string::npos) << s.error().message;
    };
    fails({.exclusions = {{kEight + 600, kEight + 60}}}, "does not end after it starts");
    fails({.exclusions = {{kEight, kEight + 600}, {kEight + 300, kEight + 900}}}, "overlap");
    fails({.exclusions = {{kEight + 2 * kHour, kEight + 3 * kHour}}}, "outside the recording");
    fails({.exclusions = {{kEight - kHour, kEight}}}, "outside the recording");
    fails({.standards = {"OSHA-100"}}, "is no standard");
    fails({.standards = {"90/80/12"}}, "exchange rate");
    fails({.standards = {"90/80"}}, "is no standard");
    fails({.exposureSeconds = -1.0}, "exposure time");
    // Touching spans are fine, and a preset name may be in any case.
    EXPECT_TRUE(summarizeExposure(
        shift, {.standards = {"osha-90"}, .exclusions = {{kEight, kEight + 60}, {kEight + 60, kEight + 120}}}));
}

TEST(ExposureSummary, ConstantLevelGivesThatLevelForEveryLn)
{
    auto s = summary(Shift({{2, 90}}));
    for (const auto& ln : s.ln)
        EXPECT_NEAR(*ln, 90.0, 0.05);
    auto none = summary(Shift(std::vector<std::pair<double, double>>{}));
    EXPECT_FALSE(none.laeq || none.lex8h || none.ln[0]);
    EXPECT_EQ(none.standards.size(), 9u); // File and the eight presets
}

} // namespace
} // namespace km740
