// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/link/Transport.h"
#include "core/common/MeterCalendar.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace km740 {

// What a logger set's header says about the set.
struct SetHeader {
    MeterDateTime start;
    std::uint8_t intervalCode = 8; // 1..15; 60 s and slower makes a dBL set
    std::uint8_t presetNumber = 0; // 0..16
    std::uint8_t settings = 0x80;  // settings byte
    std::uint8_t thresholdCode = 80;
    std::uint8_t criterionCode = 3;
};

// A pause, in seconds after the set's start.
struct LoggerPause {
    std::uint32_t start = 0;
    std::uint32_t release = 0;
};

// One 48-byte dose record (a dBL record or the closing summary of a dBS set).
struct LoggedDoseRecord {
    double dosePercent = 0;                    // offsets 3-10, BCD, six decimals kept
    std::uint16_t averageTenths = 0;           // offsets 11-12
    double projectedDose = 0;                  // offsets 16-20, BCD, four decimals
    std::array<std::uint16_t, 9> values{};     // offsets 21-38; values[8] is the peak word,
                                               // its top two bits are flags
    std::array<std::uint8_t, 8> calibration{}; // offsets 40-47, as the grave-accent reply
};

// Where records and pause entries of a set fall in time.
struct SetTimeline {
    std::vector<std::uint32_t> recordTimes; // seconds after the start, one per record
    std::vector<std::size_t> pauseBefore;   // per pause: records written before its entry
};

// Builds a logger memory image byte by byte as the meter writes it: each set
// is a 4-byte marker 00 55 AA 00, a 12-byte header (marker offsets 4..16),
// then records and 10-byte pause entries; a dBS set ends with its 48-byte
// closing summary. No marker follows the last set.
class LoggerImageBuilder {
public:
    static constexpr std::size_t headerBytes = 16; // block bytes before the first record
    static constexpr std::size_t dbLRecordBytes = 48;
    static constexpr std::size_t dbSRecordBytes = 2;
    static constexpr std::size_t pauseBytes = 10;
    static constexpr std::size_t summaryBytes = 48;

    // Set by set, in the order the bytes lie in memory.
    LoggerImageBuilder& beginSet(const SetHeader& header);
    LoggerImageBuilder& addDbLRecord(const LoggedDoseRecord& record);
    LoggerImageBuilder& addDbSRecord(std::uint16_t levelTenths);
    LoggerImageBuilder& addPause(std::uint32_t start, std::uint32_t release);
    LoggerImageBuilder& addSummary(const LoggedDoseRecord& summary);
    LoggerImageBuilder& addRaw(std::span<const std::uint8_t> bytes);

    // Whole sets, with each pause entry placed where the pause falls in the
    // record stream (after the last record before it, before the first after it).
    LoggerImageBuilder& addDbLSet(const SetHeader& header, std::span<const LoggedDoseRecord> records,
                                  std::span<const LoggerPause> pauses = {});
    LoggerImageBuilder& addDbSSet(const SetHeader& header, std::span<const std::uint16_t> levels,
                                  const LoggedDoseRecord& summary, std::span<const LoggerPause> pauses = {});

    const Bytes& image() const { return image_; }
    Bytes take() { return std::move(image_); }
    std::size_t size() const { return image_.size(); }

    static Bytes encode(const LoggedDoseRecord& record);
    // The set block's length (from marker offset 1 on).
    static std::size_t dbLBlockLength(std::size_t records, std::size_t pauses);
    static std::size_t dbSBlockLength(std::size_t records, std::size_t pauses);
    // Record times of a set sampled every intervalSeconds, records moved past
    // the pauses they would fall into. Pauses are taken in order of start.
    static SetTimeline timeline(int intervalSeconds, std::size_t records, std::span<const LoggerPause> pauses);

private:
    Bytes image_;
};

} // namespace km740
