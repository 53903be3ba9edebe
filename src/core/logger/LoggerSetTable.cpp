// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/logger/LoggerSetTable.h"

#include "core/common/NoValue.h"
#include "core/logger/FieldText.h"

#include <cstring>

namespace km740 {

namespace {

using logger::bcdValue;
using logger::twoDecimal;
using logger::twoHex;

// Offsets from the marker's first byte.
enum HeaderOffset : std::size_t {
    hSecond = 5,
    hMinute = 6,
    hHour = 7,
    hDay = 8,
    hMonth = 9,
    hYear = 10,
    hInterval = 11,
    hPreset = 12,
    hSettings = 13,
    hThreshold = 14,
    hCriterion = 16,
    hRecords = 17, // first record or pause entry
};

std::uint32_t le24(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16;
}

// The first set marker at or after from that begins before the downloaded end.
std::size_t nextMarker(const LoggerImage& image, std::size_t from)
{
    const auto bytes = image.bytes();
    const std::size_t end = image.downloadedSize();
    for (std::size_t p = from; p < end; ++p) {
        const void* hit = std::memchr(bytes.data() + p, 0x00, end - p);
        if (!hit)
            return end;
        p = static_cast<std::size_t>(static_cast<const std::uint8_t*>(hit) - bytes.data());
        if (image.isSetMarkerAt(p))
            return p;
    }
    return end;
}

void readHeader(const LoggerImage& image, std::size_t m, LoggerSet& set)
{
    const std::uint8_t* h = image.bytes().data() + m;
    set.intervalCode = h[hInterval];
    set.intervalSeconds = IntervalCodeToSeconds(h[hInterval]);
    set.startText = logger::stampText(h[hYear], h[hMonth], h[hDay], twoDecimal(h[hHour]),
                                      twoDecimal(h[hMinute]), twoHex(h[hSecond]));
    if (auto second = bcdValue(h[hSecond]))
        set.start = logger::soundTime(h[hYear], h[hMonth], h[hDay], h[hHour], h[hMinute], *second);
    set.presetNumber = h[hPreset];
    set.presetName = presetName(h[hPreset]).value_or(kNoValueText);
    set.settings = DecodeSettings(h[hSettings], h[hThreshold], h[hCriterion]);
}

struct Walk {
    std::size_t records = 0;
    std::vector<PauseEntry> pauses;
    std::size_t end = 0;   // first byte after the last whole record or pause entry
    bool closed = false;   // ended at the closing marker (end is then the marker)
};

// Counts records and pause entries from the first record position, one
// record or pause entry at a time, up to the closing marker, never reading at
// or past limit. Markers are looked for only where a record would begin: a
// record's free bytes may hold the marker's four bytes. Each step spends one
// of budget; a walk that runs out of it ends unclosed.
Walk walkRecords(const LoggerImage& image, std::size_t m, bool dose, std::size_t limit, std::size_t& budget)
{
    const std::size_t recordSize = dose ? LoggerSet::doseRecordSize : LoggerSet::levelRecordSize;
    const std::size_t tail = dose ? 0 : LoggerSet::summarySize;
    const std::uint8_t* bytes = image.bytes().data();
    Walk w;
    std::size_t pos = m + hRecords;
    for (; budget > 0; --budget) {
        // The end of the downloaded bytes closes the last set like a marker
        // (it is where the appended copy of the first marker stands).
        if (pos + tail <= limit && (pos + tail == image.downloadedSize() || image.isSetMarkerAt(pos + tail))) {
            w.closed = true;
            w.end = pos + tail;
            return w;
        }
        if (pos + 4 <= limit && image.isPauseMarkerAt(pos)) {
            if (pos + LoggerSet::pauseSize > limit)
                break;
            w.pauses.push_back({le24(bytes + pos + 4), le24(bytes + pos + 7), w.records});
            pos += LoggerSet::pauseSize;
            continue;
        }
        if (pos + recordSize > limit)
            break;
        ++w.records;
        pos += recordSize;
    }
    w.end = pos;
    return w;
}

} // namespace

const LoggerSet* LoggerSetTable::find(int number) const
{
    if (number < 1 || static_cast<std::size_t>(number) > sets.size())
        return nullptr;
    return &sets[static_cast<std::size_t>(number - 1)];
}

LoggerSetTable splitSets(const LoggerImage& image)
{
    LoggerSetTable table;
    const std::size_t dataEnd = image.downloadedSize();
    const std::uint8_t* bytes = image.bytes().data();
    table.beganWithMarker = image.isSetMarkerAt(0) && dataEnd >= 4;
    std::size_t pos = nextMarker(image, 0);
    std::size_t walkBudget = 4 * dataEnd + 64;
    while (pos < dataEnd) {
        const std::size_t m = pos;
        if (m + hRecords > dataEnd) // a marker without a whole header holds nothing
            break;
        if (table.sets.size() == LoggerSetTable::maxSets) {
            table.setLimitReached = true;
            break;
        }
        LoggerSet set;
        set.number = static_cast<int>(table.sets.size()) + 1;
        set.imageOffset = m;
        readHeader(image, m, set);

        std::size_t blockEnd;
        if (!set.recordsKnown()) {
            // Without the interval the record size is unknown: keep the bytes
            // up to the next set and go on there.
            pos = nextMarker(image, m + hRecords);
            blockEnd = pos;
        } else {
            // Walk the records to the marker that closes the set. One that
            // never closes within the image (cut short, or lost its step)
            // ends at its last whole record before the next marker. Walks
            // that do not close share a budget of a few passes over the
            // image, so the split stays linear on any bytes.
            const std::size_t next = nextMarker(image, m + hRecords);
            Walk w = walkRecords(image, m, set.isDoseSet(), dataEnd, walkBudget);
            if (!w.closed) {
                std::size_t bounded = dataEnd;
                w = walkRecords(image, m, set.isDoseSet(), next, bounded);
            }
            set.incomplete = !w.closed;
            pos = w.closed ? w.end : next;
            set.recordCount = w.records;
            set.pauses = std::move(w.pauses);
            blockEnd = w.end; // a level set's summary ends where the closing marker begins
        }
        set.block.assign(bytes + m + 1, bytes + blockEnd);
        table.sets.push_back(std::move(set));
        if (pos < dataEnd && !image.isSetMarkerAt(pos))
            pos = nextMarker(image, pos);
    }
    return table;
}

} // namespace km740
