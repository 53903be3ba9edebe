// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/logger/LoggerImage.h"
#include "core/logger/LoggerSet.h"

#include <vector>

namespace km740 {

// The sets of one download, in image order, numbered from 1.
struct LoggerSetTable {
    static constexpr std::size_t maxSets = 16383;

    std::vector<LoggerSet> sets;
    bool setLimitReached = false; // the image held more sets than the table takes
    bool beganWithMarker = false;

    const LoggerSet* find(int number) const;
};

// Walks the image from its first byte: each set marker starts a set, whose
// records and pause entries are counted, record by record, up to the marker
// that closes it (markers inside a record do not count). A set that never
// closes within the image ends at its last whole record before the next
// marker and is marked incomplete; bytes between sets are skipped.
LoggerSetTable splitSets(const LoggerImage& image);

} // namespace km740
