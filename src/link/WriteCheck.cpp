// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/WriteCheck.h"

#include <chrono>
#include <optional>
#include <string>

namespace km740 {

namespace {

std::optional<int> fromBcd(std::uint8_t b)
{
    const int high = b >> 4;
    const int low = b & 0x0F;
    if (high > 9 || low > 9)
        return std::nullopt;
    return high * 10 + low;
}

// Seconds since 2000-01-01 of a clock record; nothing for one that is no
// date and time.
std::optional<double> secondsOf(const ClockRecord& c)
{
    using namespace std::chrono;
    const auto s = fromBcd(c.second);
    const auto m = fromBcd(c.minute);
    const auto h = fromBcd(c.hour);
    const year_month_day date{year{2000 + c.year}, month{c.month}, day{c.day}};
    if (!s || !m || !h || *s > 59 || *m > 59 || *h > 23 || !date.ok())
        return std::nullopt;
    const auto days = sys_days(date) - sys_days(year{2000} / January / 1);
    return static_cast<double>(days.count()) * 86400.0 + *h * 3600.0 + *m * 60.0 + *s;
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
    if (!want || !got || *got < *want - kClockTolerance || *got > *want + elapsed + kClockTolerance)
        return failure(FailureKind::protocol, "the meter clock reads " + meterClockText(*read) +
                                                  " after it was set to " + meterClockText(sent) +
                                                  ": the time did not take");
    return success();
}

} // namespace km740
