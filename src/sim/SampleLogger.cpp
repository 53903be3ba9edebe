// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/SampleLogger.h"

#include "link/Codes.h"
#include "sim/LiveLevel.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace km740 {

namespace {

constexpr double eightHours = 8 * 3600.0;

std::uint16_t tenths(double db)
{
    return static_cast<std::uint16_t>(std::clamp(std::lround(db * 10.0), 0L, 1599L));
}

// Running sums of one set, second by second.
struct Exposure {
    double criterion = 90;
    double exchange = 5;
    double threshold = 80;
    double dose = 0;        // percent
    double energy = 0;      // sum of 10^(L/10) over all seconds
    double seconds = 0;
    double maxDb = 0;
    double minDb = 200;

    void addSecond(double db)
    {
        if (db >= threshold)
            dose += 100.0 / eightHours * std::pow(2.0, (db - criterion) / exchange);
        energy += std::pow(10.0, db / 10.0);
        seconds += 1;
        maxDb = std::max(maxDb, db);
        minDb = std::min(minDb, db);
    }
    double leq() const { return seconds > 0 ? 10.0 * std::log10(energy / seconds) : 0.0; }
};

} // namespace

void recordSet(LoggerImageBuilder& builder, const SetHeader& header, std::size_t records,
               std::span<const LoggerPause> pauses, std::uint64_t seed,
               const std::array<std::uint8_t, 8>& calibration)
{
    const int interval = IntervalCodeToSeconds(header.intervalCode).value_or(60);
    const MeterSettings s = DecodeSettings(header.settings, header.thresholdCode, header.criterionCode);
    const double top = s.rangeTop;
    const double bottom = top - 70.0;

    Exposure all;
    all.criterion = s.criterionLevel.value_or(90);
    all.exchange = s.exchangeRate;
    all.threshold = s.thresholdLevel;

    LiveLevel live(seed, 0.0);
    const SetTimeline t = LoggerImageBuilder::timeline(interval, records, pauses);
    std::vector<LoggedDoseRecord> doseRecords;
    std::vector<std::uint16_t> levels;
    double setPeak = 0;
    std::uint32_t previous = 0;

    for (std::size_t i = 0; i < records; ++i) {
        const std::uint32_t at = t.recordTimes[i];
        // A record sums the sampling step that ends at its time; a step
        // after a pause starts at the release.
        Exposure step = all;
        step.energy = 0;
        step.seconds = 0;
        step.maxDb = 0;
        step.minDb = 200;
        double peak = 0;
        const std::uint32_t from = std::max<std::uint32_t>(previous, at >= static_cast<std::uint32_t>(interval) ? at - interval : 0);
        for (std::uint32_t sec = from + 1; sec <= at; ++sec) {
            live.advanceTo(sec);
            const double db = std::clamp(live.level(), bottom, top);
            step.addSecond(db);
            all.addSecond(db);
            peak = std::max(peak, live.peak());
        }
        previous = at;
        setPeak = std::max(setPeak, peak);
        const double db = std::clamp(live.level(), bottom, top);

        if (interval < 60) {
            levels.push_back(tenths(db));
            continue;
        }
        LoggedDoseRecord r;
        r.dosePercent = all.dose;
        r.averageTenths = tenths(step.leq());
        r.projectedDose = all.seconds > 0 ? all.dose * eightHours / all.seconds : 0;
        r.values = {tenths(step.maxDb), tenths(step.minDb), tenths(all.leq()),
                    tenths(all.leq() + 10.0 * std::log10(std::max(all.seconds, 1.0)) - 30.0),
                    tenths(step.leq()), tenths(all.maxDb), tenths(all.minDb),
                    static_cast<std::uint16_t>(std::min(all.seconds / 60.0, 1440.0)),
                    tenths(std::min(peak, 159.9))};
        r.calibration = calibration;
        doseRecords.push_back(r);
    }

    if (interval >= 60) {
        builder.addDbLSet(header, doseRecords, pauses);
        return;
    }
    LoggedDoseRecord summary;
    summary.dosePercent = all.dose;
    summary.averageTenths = tenths(all.leq());
    summary.projectedDose = all.seconds > 0 ? all.dose * eightHours / all.seconds : 0;
    summary.values = {tenths(all.maxDb), tenths(all.minDb), tenths(all.leq()),
                      tenths(all.leq() + 10.0 * std::log10(std::max(all.seconds, 1.0)) - 30.0),
                      tenths(all.leq()), tenths(all.maxDb), tenths(all.minDb),
                      static_cast<std::uint16_t>(std::min(all.seconds / 60.0, 1440.0)),
                      tenths(std::min(setPeak, 159.9))};
    summary.calibration = calibration;
    builder.addDbSSet(header, levels, summary, pauses);
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
