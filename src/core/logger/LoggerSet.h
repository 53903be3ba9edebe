// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/link/Codes.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace km740 {

// A pause of a logged set, in seconds after the set's start.
struct PauseEntry {
    std::uint32_t start = 0;
    std::uint32_t release = 0;
    std::size_t recordsBefore = 0; // where the entry stands in the record stream
};

// One set of the logger memory, as the split found it.
struct LoggerSet {
    static constexpr std::size_t headerSize = 16; // block bytes before the first record
    static constexpr std::size_t doseRecordSize = 48;
    static constexpr std::size_t levelRecordSize = 2;
    static constexpr std::size_t pauseSize = 10;
    static constexpr std::size_t summarySize = 48; // closing record of a level set
    static constexpr std::size_t maxPauses = 254;  // rows of the pause list

    int number = 0;              // 1, 2, ... in image order
    std::size_t imageOffset = 0; // where its marker begins in the image
    // The block: the bytes from marker offset 1 on (header, records, pause
    // entries and, for a level set, the closing summary).
    std::vector<std::uint8_t> block;

    int intervalCode = 0;
    std::optional<int> intervalSeconds; // empty: the code is not one the meter has
    std::string startText;              // "2008/03/18 09:05:00"
    // The start as a time, when every field of it is sound.
    std::optional<std::chrono::sys_seconds> start;

    std::size_t recordCount = 0;
    // Every pause entry of the block. The pause list shows the first
    // maxPauses of them; all of them place and time the records.
    std::vector<PauseEntry> pauses;

    int presetNumber = 0;
    std::string presetName; // "OSHA-80" .. "User9", kNoValueText when unknown
    MeterSettings settings; // criterion empty when the code is unknown

    // Cut short: the stream ran out (end of the image, or the next set's
    // marker) before the set's closing marker, or its walk lost step (a
    // record that cannot be whole before the next set, a level no meter
    // logs): the set holds its whole records up to there.
    bool incomplete = false;
    // A level set that ends without its closing summary (cut off, or out of
    // step before it): it has no dose and TWA summary.
    bool summaryMissing = false;

    // Sampled every 60 s or slower: a dose set ("Data Logger dBL").
    bool isDoseSet() const { return intervalSeconds && *intervalSeconds >= 60; }
    bool recordsKnown() const { return intervalSeconds.has_value(); }
    // A complete level set ends with its 48-byte summary.
    bool hasSummary() const { return recordsKnown() && !isDoseSet() && !summaryMissing; }
    // Pause entries beyond what the pause list holds.
    std::size_t droppedPauses() const { return pauses.size() > maxPauses ? pauses.size() - maxPauses : 0; }
};

// The set's row in the Memory directory: set number, start text, interval in
// seconds, record count (kNoValueText for what is not known).
std::array<std::string, 4> directoryCells(const LoggerSet& set);

// "OSHA-80" .. "ISO90" for 0..7, "User1" .. "User9" for 8..16.
std::optional<std::string> presetName(int number);

} // namespace km740
