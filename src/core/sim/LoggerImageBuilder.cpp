// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/sim/LoggerImageBuilder.h"

#include "core/link/Codes.h"

#include <cmath>

namespace km740 {

namespace {

constexpr std::uint8_t setMarker[4] = {0x00, 0x55, 0xAA, 0x00};
constexpr std::uint8_t pauseMarker[4] = {0xAA, 0xBB, 0xCC, 0xDD};

// Packed BCD, least significant byte first, `count` bytes of value.
void putBcd(Bytes& out, std::size_t at, std::uint64_t value, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        out[at + i] = toBcd(static_cast<int>(value % 100));
        value /= 100;
    }
}

void putWord(Bytes& out, std::size_t at, std::uint16_t v)
{
    out[at] = static_cast<std::uint8_t>(v & 0xFF);
    out[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

std::uint64_t scaled(double value, double factor)
{
    return value <= 0 ? 0 : static_cast<std::uint64_t>(std::llround(value * factor));
}

} // namespace

LoggerImageBuilder& LoggerImageBuilder::beginSet(const SetHeader& h)
{
    image_.insert(image_.end(), std::begin(setMarker), std::end(setMarker));
    const std::uint8_t header[13] = {
        0x00,                                      // offset 4
        toBcd(h.start.second),                     // 5: second, BCD
        static_cast<std::uint8_t>(h.start.minute), // 6..10: plain numbers
        static_cast<std::uint8_t>(h.start.hour),
        static_cast<std::uint8_t>(h.start.day),
        static_cast<std::uint8_t>(h.start.month),
        static_cast<std::uint8_t>(h.start.year),
        h.intervalCode,  // 11
        h.presetNumber,  // 12
        h.settings,      // 13
        h.thresholdCode, // 14
        h.thresholdCode, // 15: repeated, as in the preset records
        h.criterionCode, // 16
    };
    image_.insert(image_.end(), std::begin(header), std::end(header));
    return *this;
}

Bytes LoggerImageBuilder::encode(const LoggedDoseRecord& r)
{
    Bytes out(dbLRecordBytes, 0);
    putBcd(out, 3, scaled(r.dosePercent, 1e6), 8);
    putWord(out, 11, r.averageTenths);
    putBcd(out, 16, scaled(r.projectedDose, 1e4), 5);
    for (std::size_t i = 0; i < r.values.size(); ++i)
        putWord(out, 21 + 2 * i, r.values[i]);
    for (std::size_t i = 0; i < r.calibration.size(); ++i)
        out[40 + i] = r.calibration[i];
    return out;
}

LoggerImageBuilder& LoggerImageBuilder::addDbLRecord(const LoggedDoseRecord& record)
{
    const Bytes b = encode(record);
    image_.insert(image_.end(), b.begin(), b.end());
    return *this;
}

LoggerImageBuilder& LoggerImageBuilder::addDbSRecord(std::uint16_t levelTenths)
{
    image_.push_back(static_cast<std::uint8_t>(levelTenths & 0xFF));
    image_.push_back(static_cast<std::uint8_t>(levelTenths >> 8));
    return *this;
}

LoggerImageBuilder& LoggerImageBuilder::addPause(std::uint32_t start, std::uint32_t release)
{
    image_.insert(image_.end(), std::begin(pauseMarker), std::end(pauseMarker));
    for (const std::uint32_t v : {start, release}) {
        image_.push_back(static_cast<std::uint8_t>(v & 0xFF));
        image_.push_back(static_cast<std::uint8_t>(v >> 8 & 0xFF));
        image_.push_back(static_cast<std::uint8_t>(v >> 16 & 0xFF));
    }
    return *this;
}

LoggerImageBuilder& LoggerImageBuilder::addSummary(const LoggedDoseRecord& summary)
{
    return addDbLRecord(summary);
}

LoggerImageBuilder& LoggerImageBuilder::addRaw(std::span<const std::uint8_t> bytes)
{
    image_.insert(image_.end(), bytes.begin(), bytes.end());
    return *this;
}

SetTimeline LoggerImageBuilder::timeline(int interval, std::size_t records, std::span<const LoggerPause> pauses)
{
    SetTimeline t;
    t.recordTimes.reserve(records);
    std::size_t skipped = 0;
    std::size_t next = 0;
    for (std::size_t i = 1; i <= records; ++i) {
        for (;;) {
            const std::uint64_t at = static_cast<std::uint64_t>(i + skipped) * static_cast<std::uint64_t>(interval);
            if (next < pauses.size() && pauses[next].start <= at) {
                if (at < pauses[next].release) {
                    ++skipped; // this sampling step fell into the pause
                } else {
                    t.pauseBefore.push_back(i - 1);
                    ++next;
                }
                continue;
            }
            t.recordTimes.push_back(static_cast<std::uint32_t>(at));
            break;
        }
    }
    while (next++ < pauses.size())
        t.pauseBefore.push_back(records);
    return t;
}

LoggerImageBuilder& LoggerImageBuilder::addDbLSet(const SetHeader& header, std::span<const LoggedDoseRecord> records,
                                                  std::span<const LoggerPause> pauses)
{
    const int interval = IntervalCodeToSeconds(header.intervalCode).value_or(60);
    const SetTimeline t = timeline(interval, records.size(), pauses);
    beginSet(header);
    std::size_t p = 0;
    for (std::size_t i = 0; i <= records.size(); ++i) {
        while (p < pauses.size() && t.pauseBefore[p] == i) {
            addPause(pauses[p].start, pauses[p].release);
            ++p;
        }
        if (i < records.size())
            addDbLRecord(records[i]);
    }
    return *this;
}

LoggerImageBuilder& LoggerImageBuilder::addDbSSet(const SetHeader& header, std::span<const std::uint16_t> levels,
                                                  const LoggedDoseRecord& summary, std::span<const LoggerPause> pauses)
{
    const int interval = IntervalCodeToSeconds(header.intervalCode).value_or(1);
    const SetTimeline t = timeline(interval, levels.size(), pauses);
    beginSet(header);
    std::size_t p = 0;
    for (std::size_t i = 0; i <= levels.size(); ++i) {
        while (p < pauses.size() && t.pauseBefore[p] == i) {
            addPause(pauses[p].start, pauses[p].release);
            ++p;
        }
        if (i < levels.size())
            addDbSRecord(levels[i]);
    }
    return addSummary(summary);
}

std::size_t LoggerImageBuilder::dbLBlockLength(std::size_t records, std::size_t pauses)
{
    return headerBytes + dbLRecordBytes * records + pauseBytes * pauses;
}

std::size_t LoggerImageBuilder::dbSBlockLength(std::size_t records, std::size_t pauses)
{
    return headerBytes + summaryBytes + dbSRecordBytes * records + pauseBytes * pauses;
}

} // namespace km740
