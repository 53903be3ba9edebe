// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Changes to the spans an analysis leaves out, as the graph makes them:
// "exclude" adds a span (joining the spans it overlaps or touches), and
// "include" cuts a span out of the ones that hold it.

#include "core/exposure/ExposureSummary.h"

namespace km740 {

// The options with `span` left out too. Spans it overlaps or touches become
// one, which keeps the reason of the first of them that had one.
ExposureOptions withSpanExcluded(ExposureOptions options, TimeSpan span);

// The options with `span` taken back in: the parts of spans before and after
// it stay, each with the reason of the span it came from.
ExposureOptions withSpanIncluded(ExposureOptions options, TimeSpan span);

} // namespace km740
