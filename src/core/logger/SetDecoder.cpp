// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/logger/SetDecoder.h"

#include "core/common/NoValue.h"
#include "core/logger/DoseText.h"
#include "core/logger/FieldText.h"

#include <chrono>
#include <span>

namespace km740 {

namespace {

using Bytes = std::span<const std::uint8_t>;

// Offsets within a 48-byte record or summary.
enum RecordOffset : std::size_t {
    rPeak = 37,
    rCalSecond = 40,
    rCalMinute = 41,
    rCalHour = 42,
    rCalDay = 43,
    rCalMonth = 44,
    rCalYear = 45,
    rCalLevel = 46,
};

constexpr std::size_t kDoseCut = 6;
constexpr std::size_t kSummaryCut = 4;
constexpr std::size_t kRecordFraction = 2;
constexpr std::size_t kSummaryFraction = 3;

void put2(char* p, unsigned v)
{
    p[0] = static_cast<char>('0' + v / 10 % 10);
    p[1] = static_cast<char>('0' + v % 10);
}

// "YYYY/MM/DD hh:nn:ss" under the regional separators. The date part is
// kept between calls, since consecutive records mostly share it.
class StampFormatter {
public:
    explicit StampFormatter(const Regional& regional) : regional_(regional) {}

    std::string format(std::chrono::sys_seconds t)
    {
        using namespace std::chrono;
        const auto day = floor<days>(t);
        if (day != day_) {
            day_ = day;
            const year_month_day ymd{day};
            const int y = static_cast<int>(ymd.year());
            date_.assign(10, '0');
            date_[0] = static_cast<char>('0' + y / 1000 % 10);
            date_[1] = static_cast<char>('0' + y / 100 % 10);
            put2(&date_[2], static_cast<unsigned>(y % 100));
            date_[4] = regional_.dateSep;
            put2(&date_[5], static_cast<unsigned>(ymd.month()));
            date_[7] = regional_.dateSep;
            put2(&date_[8], static_cast<unsigned>(ymd.day()));
        }
        const auto s = static_cast<unsigned>((t - day).count());
        std::string out;
        out.resize(19);
        std::copy(date_.begin(), date_.end(), out.begin());
        out[10] = ' ';
        put2(&out[11], s / 3600);
        out[13] = regional_.timeSep;
        put2(&out[14], s / 60 % 60);
        out[16] = regional_.timeSep;
        put2(&out[17], s % 60);
        return out;
    }

    // "hh:nn:ss" of the time of day.
    std::string timeOfDay(std::chrono::sys_seconds t) const
    {
        using namespace std::chrono;
        const auto s = static_cast<unsigned>((t - floor<days>(t)).count());
        std::string out(8, regional_.timeSep);
        put2(&out[0], s / 3600);
        put2(&out[3], s / 60 % 60);
        put2(&out[6], s % 60);
        return out;
    }

private:
    const Regional& regional_;
    std::chrono::sys_days day_{};
    std::string date_;
};

// Where the records and pause entries of the block lie.
class RecordStream {
public:
    RecordStream(const LoggerSet& set, std::size_t recordSize)
        : block_(set.block), pauses_(set.pauses), recordSize_(recordSize)
    {
    }

    // Bytes of record i (0-based), skipping the pause entries before it.
    Bytes record(std::size_t i)
    {
        while (next_ < pauses_.size() && pauses_[next_].recordsBefore <= i)
            ++next_;
        const std::size_t offset = LoggerSet::headerSize + i * recordSize_ + next_ * LoggerSet::pauseSize;
        if (offset + recordSize_ > block_.size())
            return {};
        return Bytes(block_).subspan(offset, recordSize_);
    }

private:
    const std::vector<std::uint8_t>& block_;
    const std::vector<PauseEntry>& pauses_;
    std::size_t recordSize_;
    std::size_t next_ = 0;
};

std::string peakText(Bytes last, int rangeTop, const Regional& regional)
{
    if (last.size() < LoggerSet::doseRecordSize)
        return kNoValueText;
    const unsigned word = (last[rPeak] | last[rPeak + 1] << 8) & 0x3FFF; // top two bits are flags
    if (word < 10 || word >= 1600)
        return rangeTop == 140 ? "< 103" : "< 93";
    return formatGeneral(word / 10.0, regional);
}

void fillPanel(const LoggerSet& set, Bytes last, const Regional& regional, SettingsBlock& panel)
{
    const MeterSettings& s = set.settings;
    panel.timeWeight = s.timeWeightingText;
    panel.freqWeight = s.freqWeightingText;
    panel.threshold = std::to_string(s.thresholdLevel);
    panel.criterion = s.criterionLevel ? std::to_string(*s.criterionLevel) : kNoValueText;
    panel.exchangeRate = std::to_string(s.exchangeRate);
    panel.range = std::to_string(s.rangeTop - 70) + "-" + std::to_string(s.rangeTop);
    panel.peak = peakText(last, s.rangeTop, regional);
    if (last.size() >= LoggerSet::doseRecordSize) {
        panel.calibratedTime =
            logger::stampText(last[rCalYear], last[rCalMonth], last[rCalDay], logger::twoHex(last[rCalHour]),
                              logger::twoHex(last[rCalMinute]), logger::twoHex(last[rCalSecond]));
        panel.calibratedDb = FormatLevel(last[rCalLevel], last[rCalLevel + 1], regional).text;
    } else {
        panel.calibratedTime = kNoValueText;
        panel.calibratedDb = kNoValueText;
    }
}

std::vector<PauseRow> pauseRows(const LoggerSet& set, const StampFormatter& stamps)
{
    std::vector<PauseRow> rows;
    const std::size_t shown = set.pauses.size() - set.droppedPauses();
    rows.reserve(shown);
    int k = 0;
    for (const auto& p : std::span(set.pauses).first(shown)) {
        PauseRow row;
        row.times = std::to_string(++k);
        if (set.start) {
            row.pause = stamps.timeOfDay(*set.start + std::chrono::seconds(p.start));
            row.release = stamps.timeOfDay(*set.start + std::chrono::seconds(p.release));
        } else {
            row.pause = row.release = kNoValueText;
        }
        row.period = p.release >= p.start ? periodText(p.release - p.start) : kNoValueText;
        rows.push_back(std::move(row));
    }
    return rows;
}

// Sampling steps: record i (from 1) lies at (i + s) * interval seconds after
// the start, where s counts the steps that fell inside pauses.
class StepClock {
public:
    StepClock(const std::vector<PauseEntry>& pauses, std::int64_t interval) : pauses_(pauses), interval_(interval) {}

    std::int64_t elapsed(std::int64_t i)
    {
        for (;;) {
            const std::int64_t t = (i + skipped_) * interval_;
            while (next_ < pauses_.size() && t >= pauses_[next_].release)
                ++next_; // left behind
            if (next_ == pauses_.size() || t < pauses_[next_].start)
                return t;
            // Inside the pause: move to the first step at or after the release.
            const std::int64_t release = pauses_[next_].release;
            skipped_ = (release + interval_ - 1) / interval_ - i;
        }
    }

private:
    const std::vector<PauseEntry>& pauses_;
    std::int64_t interval_;
    std::int64_t skipped_ = 0;
    std::size_t next_ = 0;
};

} // namespace

std::string periodText(std::uint32_t seconds)
{
    auto two = [](std::uint32_t v) { return v < 10 ? "0" + std::to_string(v) : std::to_string(v); };
    return two(seconds / 3600) + ":" + two(seconds / 60 % 60) + ":" + two(seconds % 60);
}

Result<DataFile> decodeSet(const LoggerSet& set, const Regional& regional)
{
    if (!set.recordsKnown())
        return failure(FailureKind::data, "set " + std::to_string(set.number) + " has the unknown interval code " +
                                              std::to_string(set.intervalCode) + "; its records cannot be decoded");
    const bool dose = set.isDoseSet();
    const std::size_t recordSize = dose ? LoggerSet::doseRecordSize : LoggerSet::levelRecordSize;
    StampFormatter stamps(regional);
    StepClock clock(set.pauses, *set.intervalSeconds);
    RecordStream stream(set, recordSize);
    auto stampOf = [&](std::size_t i) -> std::string {
        const std::int64_t t = clock.elapsed(static_cast<std::int64_t>(i));
        return set.start ? stamps.format(*set.start + std::chrono::seconds(t)) : kNoValueText;
    };

    // The record whose peak and calibration fields the panel shows.
    Bytes last;
    if (set.hasSummary() && set.block.size() >= LoggerSet::summarySize)
        last = Bytes(set.block).last(LoggerSet::summarySize);
    else if (dose && set.recordCount > 0)
        last = RecordStream(set, recordSize).record(set.recordCount - 1);

    if (dose) {
        DoseLoggerFile file;
        fillPanel(set, last, regional, file.settings);
        file.pauses = pauseRows(set, stamps);
        file.records.reserve(set.recordCount);
        for (std::size_t i = 1; i <= set.recordCount; ++i) {
            const Bytes r = stream.record(i - 1);
            const auto d = r.empty() ? std::nullopt : readDose(r, kRecordFraction);
            file.records.push_back({std::to_string(i), stampOf(i), doseText(d, kDoseCut, regional),
                                    twaText(d, set.settings.criterionLevel, set.settings.exchangeRate, regional)});
        }
        return DataFile(std::move(file));
    }

    LevelLoggerFile file;
    fillPanel(set, last, regional, file.settings);
    file.pauses = pauseRows(set, stamps);
    if (!last.empty()) {
        const auto d = readDose(last, kSummaryFraction);
        const bool small = d && d->percent >= 0.01 && d->percent <= 100;
        file.summary = {doseText(d, small ? kSummaryCut : kDoseCut, regional),
                        twaText(d, set.settings.criterionLevel, set.settings.exchangeRate, regional)};
    } else {
        file.summary = {kNoValueText, kNoValueText};
    }
    file.records.reserve(set.recordCount);
    for (std::size_t i = 1; i <= set.recordCount; ++i) {
        const Bytes r = stream.record(i - 1);
        std::string level = r.size() == 2 ? tenthsText(r[0] | r[1] << 8, regional) : kNoValueText;
        file.records.push_back({static_cast<std::int64_t>(i), stampOf(i), std::move(level)});
    }
    return DataFile(std::move(file));
}

} // namespace km740
