// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/exposure/LnTable.h"

namespace km740 {

LnTable computeLnTable(const LevelDistribution& distribution, Resolution resolution, const Regional& regional)
{
    LnTable table;
    const auto& counts = distribution.counts(resolution);
    std::uint64_t total = 0;
    for (auto c : counts)
        total += c;
    if (total == 0)
        return table;

    // Walk down from the top bin; entry n is due at the first bin where the
    // samples at or above it reach n % of the total. The rising n only ever
    // needs lower bins, so one walk fills the whole table.
    std::size_t n = 0;
    std::uint64_t atOrAbove = 0;
    for (std::size_t bin = counts.size(); bin-- > 0 && n < table.size();) {
        atOrAbove += counts[bin];
        if (atOrAbove == 0)
            continue;
        const std::string text = formatFixed(LevelDistribution::binLevel(resolution, bin), 1, regional);
        while (n < table.size() && atOrAbove * 100 >= static_cast<std::uint64_t>(n) * total) {
            table[n] = text;
            ++n;
        }
    }
    return table;
}

std::array<std::string, 10> gridLnRows(const LnTable& table)
{
    std::array<std::string, 10> rows;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        std::string row = "L(" + std::to_string(i) + "0)";
        for (std::size_t j = 0; j < 10; ++j) {
            std::size_t entry = 10 * i + j;
            row += '\t';
            row += entry == 99 && table[99].empty() ? table[98] : table[entry];
        }
        rows[i] = std::move(row);
    }
    return rows;
}

std::string gridLnHeader()
{
    std::string header = "Ln";
    for (int j = 0; j < 10; ++j)
        header += "\t " + std::to_string(j);
    return header;
}

} // namespace km740
