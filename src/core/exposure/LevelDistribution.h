// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace km740 {

// Bin width of a level distribution.
enum class Resolution {
    tenth, // 0.1 dB: 1401 bins, 0.0 .. 140.0 dB
    whole, // 1 dB: 141 bins, 0 .. 140 dB
};

// Counts of the level column of a list at both resolutions, filled one cell
// at a time. A level L falls into bin Fix(L * 10) of the 0.1 dB counts and
// bin Fix(L) of the 1 dB counts.
class LevelDistribution {
public:
    LevelDistribution();

    // Counts one cell. Cells without a reading (kNoValueText, text) are left out
    // and counted as skipped; readings outside 0.0 .. 140.0 dB have no bin and
    // are counted as out of range.
    void addCell(std::string_view levelCell);
    void addLevel(double level);
    // A reading left out of the exposure analysis: not counted.
    void addLeftOut() { ++leftOut_; }

    const std::vector<std::uint64_t>& counts(Resolution resolution) const;
    // The dB value at the low edge of a bin.
    static double binLevel(Resolution resolution, std::size_t bin);

    std::optional<std::size_t> lowestBin(Resolution resolution) const;
    std::optional<std::size_t> highestBin(Resolution resolution) const;

    std::uint64_t counted() const { return counted_; }
    std::uint64_t skipped() const { return skipped_; }
    std::uint64_t outOfRange() const { return outOfRange_; }
    std::uint64_t leftOut() const { return leftOut_; }

private:
    std::vector<std::uint64_t> tenths_;
    std::vector<std::uint64_t> wholes_;
    std::uint64_t counted_ = 0;
    std::uint64_t skipped_ = 0;
    std::uint64_t outOfRange_ = 0;
    std::uint64_t leftOut_ = 0;
};

// A line for the histogram's message label saying what was not counted:
// "2 records without a level and 1 level above 140.0 dB left out"; empty
// when every record was counted.
std::string leftOutNote(const LevelDistribution& distribution);

} // namespace km740
