// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/archive/MeasurementFacts.h"

#include "core/exposure/LevelCell.h"
#include "core/files/DataFileReader.h"

#include <algorithm>
#include <cmath>

namespace km740 {

namespace {

constexpr double kEightHours = 8.0 * 3600.0;

class FactsSink : public DataFileSink {
public:
    bool header(const DataFileHeader& header) override
    {
        facts.kind = header.kind;
        facts.settings = header.settings;
        return true;
    }
    bool levelRecord(const LevelRecord& record) override
    {
        time(record.dateTime);
        if (const auto level = readLevelCell(record.level)) {
            ++facts.readings;
            energy_ += std::pow(10.0, *level / 10.0);
            facts.lmax = std::max(facts.lmax.value_or(*level), *level);
            facts.lmin = std::min(facts.lmin.value_or(*level), *level);
        }
        return true;
    }
    bool doseRecord(const DoseRow& record) override
    {
        time(record.dateTime);
        return true;
    }

    void finish()
    {
        const std::int64_t step = facts.intervalSeconds.value_or(1);
        if (facts.start && last_)
            facts.end = *last_ + step;
        facts.durationSeconds = facts.records * step;
        if (facts.readings == 0)
            return;
        facts.laeq = 10.0 * std::log10(energy_ / static_cast<double>(facts.readings));
        // Every reading stands for one interval of exposure.
        const double seconds = static_cast<double>(facts.readings * step);
        facts.lex8h = *facts.laeq + 10.0 * std::log10(seconds / kEightHours);
        facts.points = exposurePoints(*facts.lex8h);
    }

    MeasurementFacts facts;

private:
    void time(const std::string& text)
    {
        ++facts.records;
        const auto t = parseLocalTime(text);
        if (!t)
            return;
        if (!facts.start)
            facts.start = *t;
        if (last_ && *t > *last_ && (!facts.intervalSeconds || *t - *last_ < *facts.intervalSeconds))
            facts.intervalSeconds = *t - *last_;
        last_ = *t;
    }

    std::optional<LocalSeconds> last_;
    double energy_ = 0.0;
};

} // namespace

double exposurePoints(double lex8h)
{
    return 100.0 * std::pow(10.0, (lex8h - 85.0) / 10.0);
}

Result<MeasurementFacts> measurementFacts(std::istream& in)
{
    FactsSink sink;
    auto read = readDataFile(in, sink);
    if (!read)
        return read.error();
    sink.finish();
    return sink.facts;
}

} // namespace km740
