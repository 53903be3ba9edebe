// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/link/WriteCheck.h"

#include "core/common/MeterCalendar.h"

#include <optional>
#include <string>

namespace km740 {

namespace {

// Seconds since 2000-01-01 of a clock record; nothing for one that is no
// date and time.
std::optional<std::int64_t> secondsOf(const ClockRecord& c)
{
    const auto s = fromBcd(c.second);
    const auto m = fromBcd(c.minute);
    const auto h = fromBcd(c.hour);
    if (!s || !m || !h)
        return std::nullopt;
    const MeterDateTime t{c.year, c.month, c.day, *h, *m, *s};
    if (!isValidDateTime(t))
        return std::nullopt;
    return toMeterSeconds(t);
}

} // namespace

Status confirmMeterAnswers(MeterLink& link, std::string_view written)
{
    auto frame = link.readStatus();
    if (!frame) {
        Failure f = frame.error();
        if (f.kind != FailureKind::cancelled && f.kind != FailureKind::io)
            f.message += " after " + std::string(written) + " was written";
        return f;
    }
    return success();
}

Status setClockChecked(MeterLink& link, const DateTime& when)
{
    const double started = link.clock().now();
    const ClockRecord sent = clockRecordFor(when);
    if (auto s = link.setClock(when); !s)
        return s;
    // The meter takes its six bytes before it answers again.
    if (auto s = link.delay(0.2); !s)
        return s;
    auto read = link.readClock();
    if (!read) {
        Failure f = read.error();
        if (f.kind != FailureKind::cancelled && f.kind != FailureKind::io)
            f.message += " after the clock was set; the meter clock may not be set";
        return f;
    }
    const double elapsed = link.clock().now() - started;
    const auto want = secondsOf(sent);
    const auto got = secondsOf(*read);
    if (!want || !got || static_cast<double>(*got - *want) < -kClockTolerance ||
        static_cast<double>(*got - *want) > elapsed + kClockTolerance)
        return failure(FailureKind::protocol, "the meter clock reads " + meterClockText(*read) +
                                                  " after it was set to " + meterClockText(sent) +
                                                  ": the time did not take");
    return success();
}

} // namespace km740
