// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/exposure/LevelDistribution.h"

#include "core/exposure/LevelCell.h"

#include <cmath>

namespace km740 {

namespace {

constexpr std::size_t kTenthBins = 1401;
constexpr std::size_t kWholeBins = 141;

std::optional<std::size_t> firstNonEmpty(const std::vector<std::uint64_t>& counts)
{
    for (std::size_t i = 0; i < counts.size(); ++i)
        if (counts[i] != 0)
            return i;
    return std::nullopt;
}

std::optional<std::size_t> lastNonEmpty(const std::vector<std::uint64_t>& counts)
{
    for (std::size_t i = counts.size(); i-- > 0;)
        if (counts[i] != 0)
            return i;
    return std::nullopt;
}

} // namespace

LevelDistribution::LevelDistribution() : tenths_(kTenthBins, 0), wholes_(kWholeBins, 0) {}

void LevelDistribution::addCell(std::string_view levelCell)
{
    if (auto level = readLevelCell(levelCell))
        addLevel(*level);
    else
        ++skipped_;
}

void LevelDistribution::addLevel(double level)
{
    if (!std::isfinite(level)) {
        ++skipped_;
        return;
    }
    // The nudge keeps 85.3 (85.29999...) in bin 853, where its text puts it.
    const double tenths = std::floor(level * 10.0 + 1e-6);
    // Both counts hold the same readings, so 140.1 dB and up, which have no
    // 0.1 dB bin, are left out of the 1 dB counts too.
    if (level < 0.0 || tenths >= static_cast<double>(kTenthBins)) {
        ++outOfRange_;
        return;
    }
    const auto tenth = static_cast<std::size_t>(tenths);
    tenths_[tenth] += 1;
    wholes_[tenth / 10] += 1;
    ++counted_;
}

const std::vector<std::uint64_t>& LevelDistribution::counts(Resolution resolution) const
{
    return resolution == Resolution::tenth ? tenths_ : wholes_;
}

double LevelDistribution::binLevel(Resolution resolution, std::size_t bin)
{
    return resolution == Resolution::tenth ? static_cast<double>(bin) / 10.0 : static_cast<double>(bin);
}

std::optional<std::size_t> LevelDistribution::lowestBin(Resolution resolution) const
{
    return firstNonEmpty(counts(resolution));
}

std::optional<std::size_t> LevelDistribution::highestBin(Resolution resolution) const
{
    return lastNonEmpty(counts(resolution));
}

std::string leftOutNote(const LevelDistribution& d)
{
    auto plural = [](std::uint64_t n, const char* one, const char* many) {
        return std::to_string(n) + (n == 1 ? one : many);
    };
    std::string note;
    if (d.skipped() > 0)
        note = plural(d.skipped(), " record without a level", " records without a level");
    if (d.outOfRange() > 0) {
        if (!note.empty())
            note += " and ";
        note += plural(d.outOfRange(), " level outside 0.0 .. 140.0 dB", " levels outside 0.0 .. 140.0 dB");
    }
    if (!note.empty())
        note += " left out";
    if (d.leftOut() > 0) {
        if (!note.empty())
            note += "; ";
        note += plural(d.leftOut(), " reading", " readings") + " left out of the exposure analysis";
    }
    return note;
}

} // namespace km740
