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
    set.startText = logger::stampText(h[hYear], h[hMonth], h[hDay], twoDecimal(h[hHour]), twoDecimal(h[hMinute]),
                                      twoHex(h[hSecond]));
    if (auto second = bcdValue(h[hSecond]))
        set.start = logger::soundTime(h[hYear], h[hMonth], h[hDay], h[hHour], h[hMinute], *second);
    set.presetNumber = h[hPreset];
    set.presetName = presetName(h[hPreset]).value_or(kNoValueText);
    set.settings = DecodeSettings(h[hSettings], h[hThreshold], h[hCriterion]);
}

// A marker that starts a set: its header's date and time are a date and a
// time. Four marker bytes inside a record are rarely followed by one, so a
// walk that meets such a marker out of step has lost its step.
bool startsSet(const LoggerImage& image, std::size_t p)
{
    if (!image.isSetMarkerAt(p) || p + hRecords > image.downloadedSize())
        return false;
    const std::uint8_t* h = image.bytes().data() + p;
    return h[hMonth] >= 1 && h[hMonth] <= 12 && h[hDay] >= 1 && h[hDay] <= 31 && h[hHour] <= 23 && h[hMinute] <= 59;
}

// The first marker at or after from that starts a set, or the downloaded end.
std::size_t nextSetStart(const LoggerImage& image, std::size_t from)
{
    std::size_t p = nextMarker(image, from);
    while (p < image.downloadedSize() && !startsSet(image, p))
        p = nextMarker(image, p + 1);
    return p;
}

// A level no meter logs (above 200 dB): the walk is out of step.
constexpr unsigned kMaxLevelTenths = 2000;

struct Walk {
    std::size_t records = 0;
    std::vector<PauseEntry> pauses;
    std::size_t end = 0;         // first byte after the set's last whole part
    bool closed = false;         // ended at the closing marker or the downloaded end
    bool summaryMissing = false; // a level set whose closing summary is not there
};

// Counts records and pause entries from the first record position, one at a
// time, up to the marker that closes the set. Markers are looked for only
// where a record would begin: a record's free bytes may hold the marker's
// four bytes. The walk never passes next, where the next set starts: a
// record that cannot be whole before it, or one that cannot be a reading,
// means the walk lost its step, and the set ends at its last whole record.
Walk walkRecords(const LoggerImage& image, std::size_t m, bool dose, std::size_t next)
{
    const std::size_t recordSize = dose ? LoggerSet::doseRecordSize : LoggerSet::levelRecordSize;
    const std::size_t tail = dose ? 0 : LoggerSet::summarySize;
    const std::uint8_t* bytes = image.bytes().data();
    const std::size_t dataEnd = image.downloadedSize();
    auto possibleLevel = [&](std::size_t p) { return unsigned(bytes[p] | bytes[p + 1] << 8) <= kMaxLevelTenths; };
    Walk w;
    std::size_t pos = m + hRecords;
    bool noRoom = false;
    for (;;) {
        // The end of the downloaded bytes closes the last set like a marker
        // (it is where the appended copy of the first marker stands).
        if (pos + tail <= next && (pos + tail == dataEnd || image.isSetMarkerAt(pos + tail))) {
            w.closed = true;
            w.end = pos + tail;
            return w;
        }
        if (pos + LoggerSet::pauseSize <= next && image.isPauseMarkerAt(pos)) {
            w.pauses.push_back({le24(bytes + pos + 4), le24(bytes + pos + 7), w.records});
            pos += LoggerSet::pauseSize;
            continue;
        }
        noRoom = pos + recordSize + tail > next;
        if (noRoom || (!dose && !possibleLevel(pos)))
            break;
        ++w.records;
        pos += recordSize;
    }
    w.end = pos;
    if (dose)
        return w;
    // A level set out of step. A summary followed by a stray byte still
    // ends it; otherwise the summary is missing (cut off, or never written)
    // and the whole readings up to the next set are its records.
    if (noRoom && next - pos == LoggerSet::summarySize + 1) {
        w.end = pos + LoggerSet::summarySize;
        return w;
    }
    w.summaryMissing = true;
    while (pos + recordSize <= next && possibleLevel(pos) && !(pos + 4 <= next && image.isPauseMarkerAt(pos))) {
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
    std::size_t next = 0; // the next set's start after pos, found once per stretch
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

        if (next <= m + hRecords || next > dataEnd)
            next = nextSetStart(image, m + hRecords);
        std::size_t blockEnd;
        if (!set.recordsKnown()) {
            // Without the interval the record size is unknown: keep the bytes
            // up to the next set and go on there.
            pos = nextMarker(image, m + hRecords);
            blockEnd = pos;
        } else {
            Walk w = walkRecords(image, m, set.isDoseSet(), next);
            set.incomplete = !w.closed;
            set.summaryMissing = w.summaryMissing;
            set.recordCount = w.records;
            set.pauses = std::move(w.pauses);
            blockEnd = w.end;
            // A set that lost its step resumes the split where the next set starts.
            pos = w.closed ? w.end : next;
        }
        set.block.assign(bytes + m + 1, bytes + blockEnd);
        table.sets.push_back(std::move(set));
        if (pos < dataEnd && !image.isSetMarkerAt(pos))
            pos = nextMarker(image, pos);
    }
    return table;
}

} // namespace km740
