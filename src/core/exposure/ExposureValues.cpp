// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/exposure/ExposureValues.h"

#include "core/common/NoValue.h"
#include "core/exposure/DerivedText.h"
#include "core/exposure/DoseUnits.h"
#include "core/exposure/LevelCell.h"

#include <cmath>

namespace km740 {

namespace {

// Eight hours at the reference pressure, in Pa²h.
constexpr double kReferenceDayPa2h = 3.2e-9;

// The exchange rates a dose can be figured with; the meter's are 3 to 6 dB.
constexpr double kLowestExchangeRate = 1.0;
constexpr double kHighestExchangeRate = 10.0;

const std::string kNoValue = kNoValueText;

std::optional<double> tenLog10(double x)
{
    if (!(x > 0.0) || !std::isfinite(x))
        return std::nullopt;
    return 10.0 * std::log10(x);
}

} // namespace

const std::array<std::string_view, 12>& realTimeListHeaders()
{
    static const std::array<std::string_view, 12> headers{
        "No.s", "     Date Time    ", "dB", "TWA", "Dose", "SEL", "SE", "LEP,d", "Leq", "PTWA", "PDose", "LAvg"};
    return headers;
}

Result<ExposureValues> ExposureValues::create(const DoseParameters& parameters)
{
    // Within these bounds 2^((L - Lc) / Q) stays between 2^-200 and 2^200
    // for every level L a cell can hold, so no sum overflows or underflows.
    if (!(parameters.exchangeRate >= kLowestExchangeRate && parameters.exchangeRate <= kHighestExchangeRate))
        return failure(FailureKind::data, "the exchange rate is not a number of dB from 1 to 10");
    if (!std::isfinite(parameters.threshold))
        return failure(FailureKind::data, "the threshold level is not a number");
    if (!isPossibleLevel(parameters.criterion))
        return failure(FailureKind::data, "the criterion level is not a level from 0 to 200 dB");
    return ExposureValues(parameters);
}

ExposureValues::ExposureValues(const DoseParameters& parameters)
    : parameters_(parameters), q_(parameters.exchangeRate / kLog10Of2)
{
}

const Exposure& ExposureValues::addCell(std::string_view levelCell)
{
    if (auto level = readLevelCell(levelCell))
        return addLevel(*level);
    ++skipped_;
    return current_;
}

const Exposure& ExposureValues::addLevel(double level)
{
    if (!isPossibleLevel(level)) {
        ++skipped_;
        return current_;
    }
    const double lc = parameters_.criterion;
    Exposure& e = current_;
    e.count += 1;
    const double n = static_cast<double>(e.count);

    const double energy = std::pow(10.0, level / 10.0);
    energySum_ += energy;
    e.leq = tenLog10(energySum_ / n);
    e.sel = e.leq ? std::optional<double>(*e.leq + 10.0 * std::log10(n)) : std::nullopt;

    if (level >= parameters_.threshold)
        doseSum_ += std::pow(10.0, ((level - lc) / parameters_.exchangeRate) * kLog10Of2);
    e.dose = doseSum_ / kDoseDivisor;

    e.soundExposure += kReferenceSecondPa2h * energy;
    e.lepd = tenLog10(e.soundExposure / kReferenceDayPa2h);

    const double fraction = e.dose / 100.0;
    if (fraction > 0.0 && std::isfinite(fraction)) {
        const double lf = std::log10(fraction);
        e.twa = lc + q_ * lf;
        // The average level over the time measured: the day's TWA brought
        // back from eight hours to the n seconds that were recorded.
        e.lavg = *e.twa + q_ * std::log10(kEightHourSeconds / n);
        e.ptwa = lc + q_ * (lf + std::log10(kEightHourSeconds / n));
    } else {
        e.twa.reset();
        e.lavg.reset();
        e.ptwa.reset();
    }
    e.pdose = e.dose * kEightHourSeconds / n;
    return e;
}

ExposureCells exposureCells(const Exposure& e, const Regional& regional)
{
    auto oneDecimalCut = [&](const std::optional<double>& v) { return v ? cutToOneDecimal(*v, regional) : kNoValue; };
    auto rounded = [&](const std::optional<double>& v) { return v ? formatFixed(*v, 1, regional) : kNoValue; };
    if (e.count == 0)
        return {kNoValue, kNoValue, kNoValue, kNoValue, kNoValue, kNoValue, kNoValue, kNoValue, kNoValue};
    return {
        oneDecimalCut(e.twa),  cutToSevenChars(e.dose, regional),
        rounded(e.sel),        cutToSevenChars(e.soundExposure, regional),
        oneDecimalCut(e.lepd), rounded(e.leq),
        oneDecimalCut(e.ptwa), e.pdose ? cutToSevenChars(*e.pdose, regional) : kNoValue,
        oneDecimalCut(e.lavg),
    };
}

} // namespace km740
