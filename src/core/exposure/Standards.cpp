// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/exposure/Standards.h"

#include "core/common/Regional.h"
#include "core/exposure/LevelCell.h"

#include <cctype>
#include <cmath>

namespace km740 {

namespace {

// Within these the dose sums can neither overflow nor vanish for any level
// a reading can hold.
constexpr double kLowestExchangeRate = 1.0;
constexpr double kHighestExchangeRate = 10.0;

bool sameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// A whole number of the text and nothing else: "90", "80.5", not "90dB".
std::optional<double> wholeNumber(std::string_view text)
{
    if (text.empty() || text.size() > 12)
        return std::nullopt;
    for (char c : text)
        if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.'))
            return std::nullopt;
    return exactNumericPrefix(text);
}

std::string numberText(double v)
{
    return formatGeneral(v, Regional::point());
}

Result<Standard> checked(Standard s)
{
    if (!isPossibleLevel(s.criterion))
        return failure(FailureKind::data, "\"" + s.name + "\": the criterion level is not a level from 0 to 200 dB");
    if (s.threshold && !std::isfinite(*s.threshold))
        return failure(FailureKind::data, "\"" + s.name + "\": the threshold level is not a number");
    if (!(s.exchangeRate >= kLowestExchangeRate && s.exchangeRate <= kHighestExchangeRate))
        return failure(FailureKind::data, "\"" + s.name + "\": the exchange rate is not a number of dB from 1 to 10");
    return s;
}

} // namespace

const std::array<Standard, 8>& presetStandards()
{
    static const std::array<Standard, 8> presets{{
        {"OSHA-80", 90, 80, 5},
        {"OSHA-90", 90, 90, 5},
        {"MSHA-80", 90, 80, 5},
        {"MSHA-90", 90, 90, 5},
        {"DOD", 85, 80, 4},
        {"ACGIH", 85, 80, 3},
        {"ISO85", 85, 70, 3},
        {"ISO90", 90, 70, 3},
    }};
    return presets;
}

Result<Standard> standardNamed(std::string_view name, const DoseParameters& file)
{
    if (sameName(name, kFileStandard))
        return checked({std::string(kFileStandard), file.criterion, file.threshold, file.exchangeRate});
    for (const Standard& preset : presetStandards())
        if (sameName(name, preset.name))
            return preset;

    const std::size_t first = name.find('/');
    const std::size_t second = first == std::string_view::npos ? first : name.find('/', first + 1);
    if (second == std::string_view::npos || name.find('/', second + 1) != std::string_view::npos)
        return failure(FailureKind::data, "\"" + std::string(name) +
                                              "\" is no standard: name a preset (OSHA-80, OSHA-90, MSHA-80, "
                                              "MSHA-90, DOD, ACGIH, ISO85, ISO90), File, or write C/T/Q as in 90/80/5");
    const std::string_view c = name.substr(0, first);
    const std::string_view t = name.substr(first + 1, second - first - 1);
    const std::string_view q = name.substr(second + 1);
    const auto criterion = wholeNumber(c);
    const auto exchange = wholeNumber(q);
    const bool noThreshold = sameName(t, "none");
    const auto threshold = noThreshold ? std::nullopt : wholeNumber(t);
    if (!criterion || !exchange || (!noThreshold && !threshold))
        return failure(FailureKind::data, "\"" + std::string(name) +
                                              "\": write a custom standard as criterion/threshold/exchange rate in dB, "
                                              "as in 90/80/5 or 85/none/3");
    Standard s{"", *criterion, threshold, *exchange};
    s.name = standardRule(s);
    return checked(std::move(s));
}

std::string standardRule(const Standard& s)
{
    return numberText(s.criterion) + "/" + (s.threshold ? numberText(*s.threshold) : std::string("none")) + "/" +
           numberText(s.exchangeRate);
}

} // namespace km740
