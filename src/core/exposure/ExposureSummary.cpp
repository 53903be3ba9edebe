// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/exposure/ExposureSummary.h"

#include "core/exposure/DoseUnits.h"
#include "core/exposure/LevelCell.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace km740 {

namespace {

// Readings are counted in 0.1 dB classes from 0.0 to the highest level.
constexpr std::size_t kClasses = static_cast<std::size_t>(kHighestLevel * 10) + 1;

std::size_t classOf(double level)
{
    return std::min(kClasses - 1, static_cast<std::size_t>(std::lround(level * 10.0)));
}

// The dose sum of one standard, with 2^((L - C)/Q) remembered per 0.1 dB
// class: a level that is exactly its class's value (all a meter reports)
// takes the remembered term, which is the very number the sum would add.
struct DoseSum {
    Standard standard;
    double sum = 0.0;
    std::vector<double> terms = std::vector<double>(kClasses, std::numeric_limits<double>::quiet_NaN());

    void add(double level, std::size_t cls)
    {
        if (standard.threshold && level < *standard.threshold)
            return;
        const bool onGrid = static_cast<double>(cls) / 10.0 == level;
        if (onGrid && !std::isnan(terms[cls])) {
            sum += terms[cls];
            return;
        }
        const double term = std::pow(10.0, ((level - standard.criterion) / standard.exchangeRate) * kLog10Of2);
        if (onGrid)
            terms[cls] = term;
        sum += term;
    }
};

std::optional<double> tenLog10(double x)
{
    if (!(x > 0.0) || !std::isfinite(x))
        return std::nullopt;
    return 10.0 * std::log10(x);
}

std::optional<double> twaOf(const Standard& s, std::optional<double> dose)
{
    if (!dose || !(*dose > 0.0) || !std::isfinite(*dose))
        return std::nullopt;
    return s.criterion + s.exchangeRate / kLog10Of2 * std::log10(*dose / 100.0);
}

// L(n) off the exceedance curve of the 0.1 dB classes (see the header).
std::optional<double> levelExceeded(const std::vector<std::uint64_t>& counts, std::uint64_t total, int percent)
{
    if (total == 0)
        return std::nullopt;
    const double wanted = static_cast<double>(total) * percent / 100.0;
    double above = 0.0;
    for (std::size_t cls = counts.size(); cls-- > 0;) {
        const auto c = static_cast<double>(counts[cls]);
        if (c > 0.0 && above + c >= wanted) {
            const double top = static_cast<double>(cls) / 10.0 + 0.05;
            return top - 0.1 * (wanted - above) / c;
        }
        above += c;
    }
    return std::nullopt;
}

std::string spanText(const TimeSpan& s)
{
    return formatLocalTime(s.from) + "/" + formatLocalTime(s.to);
}

} // namespace

std::string reasonFor(const ExposureOptions& options, const TimeSpan& span)
{
    const auto it = options.reasons.find({span.from, span.to});
    return it == options.reasons.end() ? std::string() : it->second;
}

std::vector<std::string> defaultStandards()
{
    std::vector<std::string> names{std::string(kFileStandard)};
    for (const Standard& s : presetStandards())
        names.push_back(s.name);
    return names;
}

Result<std::vector<TimeSpan>> checkExclusions(std::vector<TimeSpan> spans)
{
    for (const TimeSpan& s : spans)
        if (s.to <= s.from)
            return failure(FailureKind::data, "the span " + spanText(s) + " does not end after it starts");
    std::sort(spans.begin(), spans.end(), [](const TimeSpan& a, const TimeSpan& b) { return a.from < b.from; });
    for (std::size_t i = 1; i < spans.size(); ++i)
        if (spans[i].from < spans[i - 1].to)
            return failure(FailureKind::data,
                           "the spans " + spanText(spans[i - 1]) + " and " + spanText(spans[i]) + " overlap");
    return spans;
}

std::optional<std::size_t> spanHolding(const std::vector<TimeSpan>& spans, LocalSeconds t)
{
    auto after =
        std::upper_bound(spans.begin(), spans.end(), t, [](LocalSeconds v, const TimeSpan& s) { return v < s.from; });
    if (after == spans.begin())
        return std::nullopt;
    const auto at = static_cast<std::size_t>(after - spans.begin() - 1);
    return t < spans[at].to ? std::optional<std::size_t>(at) : std::nullopt;
}

Result<ExposureSummary> summarizeExposure(const LevelHistory& history, const ExposureOptions& options)
{
    auto spans = checkExclusions(options.exclusions);
    if (!spans)
        return spans.error();
    if (options.exposureSeconds && !(*options.exposureSeconds > 0.0 && std::isfinite(*options.exposureSeconds)))
        return failure(FailureKind::data, "the exposure time is not a positive number of hours");
    if (!isPossibleLevel(options.aboveLevel))
        return failure(FailureKind::data, "the level for the time above is not a level from 0 to 200 dB");
    const std::vector<std::string> names = options.standards.empty() ? defaultStandards() : options.standards;

    ExposureSummary out;
    out.aboveLevel = options.aboveLevel;
    for (const TimeSpan& s : *spans)
        out.exclusions.push_back({s, 0});

    std::vector<DoseSum> doses;
    std::optional<Failure> badStandard;
    std::optional<double> interval;
    double energy = 0.0;
    std::uint64_t above = 0;
    std::optional<LocalSeconds> previous;
    std::optional<double> step; // smallest step between record times
    std::vector<std::uint64_t> counts(kClasses, 0);

    auto start = [&](const HistoryStart& h) {
        for (const std::string& name : names) {
            auto s = standardNamed(name, h.file);
            if (!s) {
                badStandard = s.error();
                return false;
            }
            doses.push_back({std::move(*s)});
        }
        interval = h.intervalSeconds;
        return true;
    };
    auto reading = [&](const LevelReading& r) {
        ++out.records;
        if (r.time) {
            if (previous && *r.time > *previous && (!step || *r.time - *previous < *step))
                step = static_cast<double>(*r.time - *previous);
            previous = r.time;
            out.firstTime = out.firstTime ? std::min(*out.firstTime, *r.time) : *r.time;
            out.lastTime = out.lastTime ? std::max(*out.lastTime, *r.time) : *r.time;
        }
        if (!r.level || !isPossibleLevel(*r.level))
            return true;
        ++out.readings;
        if (r.time && !out.exclusions.empty())
            if (auto at = spanHolding(*spans, *r.time)) {
                ++out.exclusions[*at].readings;
                ++out.excluded;
                return true;
            }
        const double level = *r.level;
        ++out.used;
        energy += std::pow(10.0, level / 10.0);
        out.lmax = out.lmax ? std::max(*out.lmax, level) : level;
        out.lmin = out.lmin ? std::min(*out.lmin, level) : level;
        if (level >= options.aboveLevel)
            ++above;
        const std::size_t cls = classOf(level);
        ++counts[cls];
        for (DoseSum& d : doses)
            d.add(level, cls);
        return true;
    };

    Status read = history.read(start, reading);
    if (badStandard)
        return *badStandard;
    if (!read)
        return read.error();

    for (const ExclusionCount& e : out.exclusions) {
        const LocalSeconds end =
            out.lastTime ? *out.lastTime + static_cast<LocalSeconds>(interval.value_or(step.value_or(1.0))) : 0;
        if (!out.firstTime || e.span.to <= *out.firstTime || e.span.from >= end)
            return failure(FailureKind::data, "the span " + spanText(e.span) + " lies outside the recording" +
                                                  (out.firstTime ? " (" + formatLocalTime(*out.firstTime) + " to " +
                                                                       formatLocalTime(end) + ")"
                                                                 : std::string(" (it has no dated records)")));
    }

    const double t = interval.value_or(step.value_or(1.0));
    const double n = static_cast<double>(out.used);
    out.intervalSeconds = t;
    out.measuredSeconds = n * t;
    out.exposureSeconds = options.exposureSeconds.value_or(out.measuredSeconds);
    out.aboveSeconds = static_cast<double>(above) * t;
    out.pa2h = energy * kReferenceSecondPa2h * t;
    if (out.used > 0) {
        out.laeq = tenLog10(energy / n);
        if (out.laeq) {
            out.sel = *out.laeq + 10.0 * std::log10(out.measuredSeconds);
            if (out.exposureSeconds > 0.0) {
                out.lex8h = *out.laeq + 10.0 * std::log10(out.exposureSeconds / kEightHourSeconds);
                out.points = 100.0 * std::pow(10.0, (*out.lex8h - 85.0) / 10.0);
            }
        }
    }
    for (std::size_t i = 0; i < kLnPercents.size(); ++i)
        out.ln[i] = levelExceeded(counts, out.used, kLnPercents[i]);

    for (DoseSum& d : doses) {
        StandardExposure s;
        s.standard = std::move(d.standard);
        s.dose = d.sum * t / kDoseDivisor;
        s.twa = twaOf(s.standard, s.dose);
        if (out.measuredSeconds > 0.0) {
            s.projectedDose = s.dose * kEightHourSeconds / out.measuredSeconds;
            s.projectedTwa = twaOf(s.standard, s.projectedDose);
            s.lavg = s.projectedTwa;
            s.shiftDose = s.dose * out.exposureSeconds / out.measuredSeconds;
            s.shiftTwa = twaOf(s.standard, s.shiftDose);
        }
        out.standards.push_back(std::move(s));
    }
    return out;
}

} // namespace km740
