// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/archive/WeeklyExposure.h"

#include "core/archive/MeasurementFacts.h"

#include <cmath>
#include <map>

namespace km740 {

namespace {

constexpr double kNominalDays = 5.0;

} // namespace

WeekExposure weekExposure(const std::vector<DayExposure>& measurements)
{
    struct Sum {
        double energy = 0.0;
        std::vector<std::int64_t> ids;
    };
    std::map<Day, Sum> byDay;
    for (const DayExposure& m : measurements) {
        Sum& s = byDay[m.day];
        s.energy += std::pow(10.0, 0.1 * m.lex8h);
        s.ids.push_back(m.id);
    }
    WeekExposure week;
    double energy = 0.0;
    for (auto& [day, sum] : byDay) {
        const double lex = 10.0 * std::log10(sum.energy);
        week.days.push_back({day, lex, exposurePoints(lex), std::move(sum.ids)});
        week.points += week.days.back().points;
        energy += sum.energy;
    }
    if (!week.days.empty())
        week.lexW = 10.0 * std::log10(energy / kNominalDays);
    return week;
}

WeekExposure weekExposure(const std::vector<Measurement>& measurements)
{
    std::vector<DayExposure> parts;
    for (const Measurement& m : measurements)
        if (m.facts.lex8h && m.facts.start)
            parts.push_back({m.id, dayOf(*m.facts.start), *m.facts.lex8h});
    return weekExposure(parts);
}

} // namespace km740
