// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/exposure/DerivedText.h"
#include "core/exposure/ExposureValues.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <iomanip>
#include <random>

using namespace km740;

namespace {

const Regional point = Regional::point();
const Regional comma = Regional::comma();

// Columns of ExposureCells.
enum { TWA, Dose, SEL, SE, LEPd, Leq, PTWA, PDose, LAvg };

ExposureValues osha()
{
    return *ExposureValues::create({80.0, 90.0, 5.0});
}

ExposureCells feed(ExposureValues& ev, const char* cell, int times, const Regional& r = point)
{
    for (int i = 0; i < times; ++i)
        ev.addCell(cell);
    return exposureCells(ev.current(), r);
}

} // namespace

TEST(DerivedText, DoseIsCutToSevenCharacters)
{
    EXPECT_EQ(cutToSevenChars(12.345678, point), "12.3456");
    EXPECT_EQ(cutToSevenChars(123.456789, point), "123.456");
    EXPECT_EQ(cutToSevenChars(1234.56789, point), "1234.56");
    EXPECT_EQ(cutToSevenChars(12345.6789, point), "12345.6");
    EXPECT_EQ(cutToSevenChars(123456.789, point), "123456");
    EXPECT_EQ(cutToSevenChars(12.5, point), "12.5");
    EXPECT_EQ(cutToSevenChars(0.34722222, point), "0.3472");
    EXPECT_EQ(cutToSevenChars(0.00009, point), "0");
    EXPECT_EQ(cutToSevenChars(9.99999, point), "9.9999");
    // Whole values: ".0000", cut to 7 characters.
    EXPECT_EQ(cutToSevenChars(5.0, point), "5.0000");
    EXPECT_EQ(cutToSevenChars(100.0, point), "100.000");
    EXPECT_EQ(cutToSevenChars(0.0, point), "0.0000");
    EXPECT_EQ(cutToSevenChars(288000.0, point), "288000");
    // Last-bit noise of a sum is not a different value.
    EXPECT_EQ(cutToSevenChars(99.99999999999997, point), "100.000");
    EXPECT_EQ(cutToSevenChars(12.345678, comma), "12,3456");
    EXPECT_EQ(cutToSevenChars(5.0, comma), "5,0000");
}

TEST(DerivedText, LevelsAreCutNotRounded)
{
    EXPECT_EQ(cutToOneDecimal(85.09, point), "85.0");
    EXPECT_EQ(cutToOneDecimal(84.99999999999, point), "85.0");
    EXPECT_EQ(cutToOneDecimal(15.93, point), "15.9");
    EXPECT_EQ(cutToOneDecimal(-3.46, point), "-3.4");
    EXPECT_EQ(cutToOneDecimal(0.5, point), "0.5");
    EXPECT_EQ(cutToOneDecimal(-0.05, point), "0.0");
    EXPECT_EQ(cutToOneDecimal(85.09, comma), "85,0");
}

// The fast writers give, over a wide spread of values, the texts of the
// plain way: ten decimals by to_chars, then cut; formatFixed for rounding.
TEST(DerivedText, FastTextsAreThePlainOnes)
{
    auto plainCut7 = [](double v) {
        char buf[400];
        const char* end = std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::fixed, 10).ptr;
        std::string text(static_cast<const char*>(buf), end);
        const std::size_t point = text.find('.');
        std::string whole = text.substr(0, point), fraction = text.substr(point + 1);
        const bool negative = v < 0 && text.find_first_not_of("0.") != std::string::npos;
        std::string shown = (negative ? "-" : "") + whole;
        if (fraction.find_first_not_of('0') == std::string::npos) {
            shown = (shown + ".0000").substr(0, 7);
            if (shown.back() == '.')
                shown.pop_back();
            return shown;
        }
        const std::size_t keep = whole.size() <= 2 ? 4 : whole.size() >= 6 ? 0 : 6 - whole.size();
        fraction = fraction.substr(0, keep);
        while (!fraction.empty() && fraction.back() == '0')
            fraction.pop_back();
        if (fraction.empty())
            return whole == "0" ? std::string("0") : shown;
        return shown + "." + fraction;
    };
    std::mt19937_64 rng(740);
    std::uniform_real_distribution<double> exponent(-9.0, 7.0);
    std::uniform_int_distribution<int> tenths(-2000, 20000);
    for (int i = 0; i < 300000; ++i) {
        double v = std::pow(10.0, exponent(rng));
        if (i % 3 == 0)
            v = tenths(rng) / 10.0; // on and next to the boundaries
        if (i % 7 == 0)
            v = std::nextafter(v, i % 2 ? 0.0 : 1e9);
        if (i % 11 == 0)
            v = -v;
        ASSERT_EQ(cutToSevenChars(v, point), plainCut7(v)) << std::setprecision(17) << v;
        char buf[derivedCellMaxChars];
        ASSERT_EQ(std::string(buf, writeRoundedOneDecimal(buf, v, point)), formatFixed(v, 1, point))
            << std::setprecision(17) << v;
    }
    EXPECT_EQ(cutToSevenChars(1.0 / 2048, point), plainCut7(1.0 / 2048)); // an exact half at ten decimals
}

// The cut forgives floating-point error only: a value just under a boundary
// keeps its lower digit, one on it (or a few ulps off) shows the boundary.
TEST(DerivedText, OneDecimalCutForgivesOnlyRoundingError)
{
    EXPECT_EQ(cutToOneDecimal(78.199997, point), "78.1");
    EXPECT_EQ(cutToOneDecimal(78.1999999, point), "78.1");
    EXPECT_EQ(cutToOneDecimal(78.2, point), "78.2");
    EXPECT_EQ(cutToOneDecimal(std::nextafter(78.2, 0.0), point), "78.2");
    EXPECT_EQ(cutToOneDecimal(85.0, point), "85.0");
    EXPECT_EQ(cutToOneDecimal(std::nextafter(85.0, 0.0), point), "85.0");
    EXPECT_EQ(cutToOneDecimal(84.9999, point), "84.9");
    EXPECT_EQ(cutToOneDecimal(-3.4, point), "-3.4");
    EXPECT_EQ(cutToOneDecimal(-3.3999, point), "-3.3");
}

TEST(ExposureValues, OneRecordAtTheCriterion)
{
    auto ev = osha();
    auto c = feed(ev, "90.0", 1);
    EXPECT_EQ(c[Dose], "0.0034"); // 1/288 %
    EXPECT_EQ(c[PDose], "100.000");
    EXPECT_EQ(c[PTWA], "90.0");
    // 8-hour TWA of one second: 90 + (5 / log 2) log(1 / 28800).
    EXPECT_EQ(c[TWA], "15.9");
    // The average over the time measured is the criterion itself.
    EXPECT_EQ(c[LAvg], "90.0");
    EXPECT_EQ(c[Leq], "90.0");
    EXPECT_EQ(c[SEL], "90.0");
    EXPECT_NEAR(ev.current().dose, 1.0 / 288.0, 1e-15);
}

TEST(ExposureValues, EightHoursAtTheCriterionIsAFullDose)
{
    auto ev = osha();
    auto c = feed(ev, "90.0", 28800);
    EXPECT_EQ(c[Dose], "100.000");
    EXPECT_EQ(c[TWA], "90.0");
    EXPECT_EQ(c[LAvg], c[TWA]);
    EXPECT_EQ(c[PTWA], "90.0");
    EXPECT_EQ(c[PDose], "100.000");
    EXPECT_EQ(c[SEL], "134.6"); // 90 + 10 log 28800
}

TEST(ExposureValues, DoseStartsAtTheThreshold)
{
    auto ev = osha();
    auto c = feed(ev, "79.9", 10);
    EXPECT_EQ(c[Dose], "0.0000");
    EXPECT_EQ(c[TWA], "----");
    EXPECT_EQ(c[PTWA], "----");
    EXPECT_EQ(c[LAvg], "----");
    EXPECT_EQ(c[PDose], "0.0000");
    EXPECT_EQ(c[Leq], "79.9");

    c = feed(ev, "80.0", 1); // 2^(-10/5) / 288 % = 0.000868 %
    EXPECT_EQ(c[Dose], "0.0008");
    EXPECT_NEAR(ev.current().dose, 0.25 / 288.0, 1e-15);
    EXPECT_NE(c[TWA], "----");
}

TEST(ExposureValues, AnEightyFiveDecibelDay)
{
    auto ev = *ExposureValues::create({80.0, 85.0, 3.0});
    auto c = feed(ev, "85.0", 28800);
    // 8 h x (20 µPa)² x 10^8.5 = 1.01193 Pa²h.
    EXPECT_NEAR(ev.current().soundExposure, 1.011929, 1e-6);
    EXPECT_EQ(c[SE], "1.0119");
    EXPECT_EQ(c[LEPd], "85.0");
    EXPECT_EQ(c[Leq], "85.0");
    EXPECT_EQ(c[Dose], "100.000");
}

TEST(ExposureValues, OshaDoseAndTwaAgree)
{
    auto half = osha();
    auto c = feed(half, "85.0", 28800);
    EXPECT_EQ(c[Dose], "50.0000");
    EXPECT_EQ(c[TWA], "85.0");

    auto twice = osha();
    c = feed(twice, "95.0", 28800);
    EXPECT_EQ(c[Dose], "200.000");
    EXPECT_EQ(c[TWA], "95.0");
    EXPECT_EQ(c[PDose], "200.000");
}

TEST(ExposureValues, CellsWithoutAReadingAreSkipped)
{
    auto ev = osha();
    auto none = feed(ev, "----", 1);
    for (const auto& cell : none)
        EXPECT_EQ(cell, "----");

    feed(ev, "90.0", 1);
    auto before = exposureCells(ev.current(), point);
    ev.addCell("----");
    ev.addCell("abc");
    ev.addCell("");
    EXPECT_EQ(exposureCells(ev.current(), point), before);
    EXPECT_EQ(ev.skipped(), 4u);
    EXPECT_EQ(ev.current().count, 1u);

    // "0.0" is a reading: it lowers Leq (energy mean of 90 and 0 dB).
    ev.addCell("0.0");
    EXPECT_EQ(ev.current().count, 2u);
    EXPECT_EQ(exposureCells(ev.current(), point)[Leq], "87.0");
}

TEST(ExposureValues, DecimalCommaInAndOut)
{
    auto ev = osha();
    auto c = feed(ev, "85,3", 1, comma);
    EXPECT_EQ(c[Leq], "85,3");
    EXPECT_EQ(c[PTWA], "85,3");
}

TEST(ExposureValues, TakesOnlyDoseParametersThatKeepTheSumsFinite)
{
    for (double rate : {3.0, 4.0, 5.0, 6.0})
        EXPECT_TRUE(ExposureValues::create({80.0, 90.0, rate}).ok()) << rate;
    const DoseParameters bad[] = {{80.0, 90.0, 0.0},  {80.0, 90.0, 0.01}, {80.0, 90.0, 1e300},
                                  {80.0, 1e300, 5.0}, {80.0, -5.0, 5.0},  {NAN, 90.0, 5.0}};
    for (const auto& p : bad) {
        auto ev = ExposureValues::create(p);
        ASSERT_FALSE(ev.ok()) << p.threshold << " " << p.criterion << " " << p.exchangeRate;
        EXPECT_EQ(ev.error().kind, FailureKind::data);
    }
}

TEST(ExposureValues, ImpossibleLevelsAreLeftOutLikeMissingOnes)
{
    auto ev = osha();
    feed(ev, "90.0", 2);
    const auto before = exposureCells(ev.current(), point);
    // The largest and smallest numbers a cell can spell, and levels no meter reports.
    for (const char* cell : {"1e400", "1e-400", "3100", "200.1", "1e308", "-5", "nan", "inf", "-0.1"})
        EXPECT_EQ(exposureCells(ev.addCell(cell), point), before) << cell;
    EXPECT_EQ(ev.skipped(), 9u);
    EXPECT_EQ(ev.current().count, 2u);
    EXPECT_EQ(before[Leq], "90.0");
    // The edges of the span are readings.
    ev.addCell("200");
    ev.addCell("0");
    EXPECT_EQ(ev.current().count, 4u);
}

TEST(ExposureValues, NoSumOverflowsOrUnderflowsAtTheEdges)
{
    auto finite = [](const Exposure& e) {
        for (const auto& v : {e.leq, e.sel, e.lepd, e.twa, e.ptwa, e.pdose, e.lavg})
            if (!v || !std::isfinite(*v))
                return false;
        return std::isfinite(e.dose) && std::isfinite(e.soundExposure) && e.dose > 0.0;
    };
    // The loudest level against the lowest criterion and steepest rate ...
    auto loud = *ExposureValues::create({0.0, 0.0, 1.0});
    for (int i = 0; i < 100000; ++i)
        loud.addCell("200");
    EXPECT_TRUE(finite(loud.current()));
    EXPECT_EQ(exposureCells(loud.current(), point)[Leq], "200.0");
    // ... and the quietest against the highest.
    auto quiet = *ExposureValues::create({0.0, 200.0, 1.0});
    for (int i = 0; i < 100000; ++i)
        quiet.addCell("0");
    EXPECT_TRUE(finite(quiet.current()));
    EXPECT_EQ(exposureCells(quiet.current(), point)[PTWA], "0.0");
}
