// SPDX-License-Identifier: GPL-3.0-or-later
// Random level cells through the derived columns and the level distribution:
// lines 1 to 3 are the threshold, criterion and exchange rate texts of a
// file, every further line a level cell. Whatever the cells, every value
// shown is finite, Leq stays within the levels a meter reports, and each
// cell is either counted or left out.
#include "core/common/Regional.h"
#include "core/exposure/ExposureValues.h"
#include "core/exposure/LevelCell.h"
#include "core/exposure/LevelDistribution.h"
#include "core/exposure/LnTable.h"

#include <cmath>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

std::vector<std::string_view> lines(std::string_view text)
{
    std::vector<std::string_view> out;
    while (!text.empty()) {
        const std::size_t nl = text.find('\n');
        out.push_back(text.substr(0, nl));
        text.remove_prefix(nl == std::string_view::npos ? text.size() : nl + 1);
    }
    return out;
}

void check(bool holds)
{
    if (!holds)
        std::abort();
}

bool finiteOrEmpty(const std::optional<double>& v)
{
    return !v || std::isfinite(*v);
}

bool noNumberWentWrong(const std::string& text)
{
    return text.find("nan") == std::string::npos && text.find("inf") == std::string::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace km740;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto all = lines(text);
    if (all.size() < 3)
        return 0;
    const DoseParameters parameters{numericPrefix(all[0], true), numericPrefix(all[1], true),
                                    numericPrefix(all[2], true)};
    auto created = ExposureValues::create(parameters);
    LevelDistribution distribution;
    const Regional regional = size % 2 ? Regional::comma() : Regional::point();
    std::uint64_t cells = 0;
    for (std::size_t i = 3; i < all.size(); ++i) {
        ++cells;
        distribution.addCell(all[i]);
        if (!created)
            continue;
        const Exposure& e = created->addCell(all[i]);
        check(std::isfinite(e.dose) && e.dose >= 0.0 && std::isfinite(e.soundExposure));
        check(finiteOrEmpty(e.leq) && finiteOrEmpty(e.sel) && finiteOrEmpty(e.lepd) && finiteOrEmpty(e.twa) &&
              finiteOrEmpty(e.ptwa) && finiteOrEmpty(e.pdose) && finiteOrEmpty(e.lavg));
        if (e.leq)
            check(*e.leq >= kLowestLevel - 1e-6 && *e.leq <= kHighestLevel + 1e-6);
        for (const auto& cell : exposureCells(e, regional))
            check(noNumberWentWrong(cell));
    }
    if (created)
        check(created->current().count + created->skipped() == cells);
    check(distribution.counted() + distribution.skipped() + distribution.outOfRange() == cells);
    for (auto resolution : {Resolution::tenth, Resolution::whole})
        for (const auto& row : gridLnRows(computeLnTable(distribution, resolution, regional)))
            check(noNumberWentWrong(row));
    return 0;
}
