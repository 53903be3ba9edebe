// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/sim/SampleLogger.h"

#include "core/link/Codes.h"
#include "core/sim/LiveLevel.h"
#include "core/sim/SetRecorder.h"

#include <algorithm>

namespace km740 {

void recordSet(LoggerImageBuilder& builder, const SetHeader& header, std::size_t records,
               std::span<const LoggerPause> pauses, std::uint64_t seed, const std::array<std::uint8_t, 8>& calibration)
{
    SetRecorder set(header, calibration);
    LiveLevel live(seed, 0.0);
    const SetTimeline t = LoggerImageBuilder::timeline(set.interval(), records, pauses);
    const std::uint32_t last = records > 0 ? t.recordTimes.back() : 0;
    std::size_t next = 0; // the pause to come
    for (std::uint32_t sec = 1; sec <= last; ++sec) {
        // A pause entry goes in when the pause is over.
        while (next < pauses.size() && pauses[next].release <= sec) {
            set.addPause(pauses[next].start, pauses[next].release);
            ++next;
        }
        live.advanceTo(sec);
        if (next < pauses.size() && pauses[next].start <= sec)
            continue; // paused: nothing measured, no record
        set.addSecond(live.level(), live.peak());
        if (sec % static_cast<std::uint32_t>(set.interval()) == 0)
            set.endStep(live.level());
    }
    for (; next < pauses.size(); ++next)
        set.addPause(pauses[next].start, pauses[next].release);
    builder.addRaw(set.bytes());
}

Bytes sampleLoggerImage(std::uint64_t seed, const std::array<std::uint8_t, 8>& calibration)
{
    LoggerImageBuilder b;
    // Morning shift in the workshop: two hours, one record a minute, OSHA-80.
    recordSet(b, SetHeader{{26, 3, 16, 7, 30, 0}, 8, 0, 0x80, 80, 3}, 120, {}, seed, calibration);
    // Ten minutes at a machine, one level a second, ISO85.
    recordSet(b, SetHeader{{26, 3, 16, 13, 5, 0}, 1, 6, 0x11, 70, 2}, 600, {}, seed + 1, calibration);
    // A working day of five-minute records, ACGIH, with a break and lunch.
    const LoggerPause pauses[] = {{10950, 11850}, {16320, 18120}};
    recordSet(b, SetHeader{{26, 3, 17, 8, 0, 0}, 10, 5, 0x00, 80, 2}, 90, pauses, seed + 2, calibration);
    return b.take();
}

Bytes filledLoggerImage(std::size_t bytes, std::uint64_t seed, const std::array<std::uint8_t, 8>& calibration)
{
    LoggerImageBuilder b;
    std::int64_t start = toMeterSeconds(MeterDateTime{26, 2, 2, 7, 0, 0});
    // The marker's first byte comes before the block.
    const std::size_t smallestSet = 1 + LoggerImageBuilder::dbSBlockLength(1, 0);
    for (std::uint64_t k = 0; bytes - b.size() >= smallestSet; ++k) {
        const std::size_t room = bytes - b.size();
        SetHeader h{fromMeterSeconds(start), 1, 0, 0x80, 80, 3};
        std::size_t records = 0;
        const std::size_t dbLFixed = 1 + LoggerImageBuilder::dbLBlockLength(0, 0);
        if (k % 3 == 2 && room >= dbLFixed + LoggerImageBuilder::dbLRecordBytes) {
            h.intervalCode = 8; // one a minute, a shift at most
            records = std::min<std::size_t>(480, (room - dbLFixed) / LoggerImageBuilder::dbLRecordBytes);
        } else {
            const std::size_t fixed = 1 + LoggerImageBuilder::dbSBlockLength(0, 0);
            records = std::min<std::size_t>(3600, (room - fixed) / LoggerImageBuilder::dbSRecordBytes);
        }
        recordSet(b, h, records, {}, seed + k, calibration);
        const int interval = IntervalCodeToSeconds(h.intervalCode).value_or(1);
        start += static_cast<std::int64_t>(records) * interval + 900;
    }
    return b.take();
}

} // namespace km740
