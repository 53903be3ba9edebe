// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/exposure/SpanEdits.h"

#include <algorithm>

namespace km740 {

namespace {

std::vector<TimeSpan> sorted(std::vector<TimeSpan> spans)
{
    std::sort(spans.begin(), spans.end(), [](const TimeSpan& a, const TimeSpan& b) { return a.from < b.from; });
    return spans;
}

void keepReason(std::map<std::pair<LocalSeconds, LocalSeconds>, std::string>& reasons, const std::string& reason,
                const TimeSpan& span)
{
    if (!reason.empty())
        reasons[{span.from, span.to}] = reason;
}

} // namespace

ExposureOptions withSpanExcluded(ExposureOptions options, TimeSpan span)
{
    if (span.to <= span.from)
        return options;
    std::vector<TimeSpan> kept;
    std::map<std::pair<LocalSeconds, LocalSeconds>, std::string> reasons;
    TimeSpan joined = span;
    std::string joinedReason;
    for (const TimeSpan& s : sorted(options.exclusions)) {
        const std::string reason = reasonFor(options, s);
        if (s.to < span.from || s.from > span.to) {
            kept.push_back(s);
            keepReason(reasons, reason, s);
            continue;
        }
        joined.from = std::min(joined.from, s.from);
        joined.to = std::max(joined.to, s.to);
        if (joinedReason.empty())
            joinedReason = reason;
    }
    kept.push_back(joined);
    keepReason(reasons, joinedReason, joined);
    options.exclusions = sorted(std::move(kept));
    options.reasons = std::move(reasons);
    return options;
}

ExposureOptions withSpanIncluded(ExposureOptions options, TimeSpan span)
{
    if (span.to <= span.from)
        return options;
    std::vector<TimeSpan> kept;
    std::map<std::pair<LocalSeconds, LocalSeconds>, std::string> reasons;
    for (const TimeSpan& s : sorted(options.exclusions)) {
        const std::string reason = reasonFor(options, s);
        if (s.to <= span.from || s.from >= span.to) {
            kept.push_back(s);
            keepReason(reasons, reason, s);
            continue;
        }
        if (s.from < span.from) {
            kept.push_back({s.from, span.from});
            keepReason(reasons, reason, kept.back());
        }
        if (s.to > span.to) {
            kept.push_back({span.to, s.to});
            keepReason(reasons, reason, kept.back());
        }
    }
    options.exclusions = std::move(kept);
    options.reasons = std::move(reasons);
    return options;
}

} // namespace km740
