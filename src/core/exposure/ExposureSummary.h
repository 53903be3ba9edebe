// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The exposure summary of one recording: its readings judged under several
// standards at once, with spans that do not represent the work left out and
// the exposure time the shift really lasted.
//
//   summarizeExposure(history, options) -> ExposureSummary
//
// `history` hands over the recording's readings in one pass (a data file as
// it streams from the disk, or the real-time list in memory); memory stays
// flat in the number of readings but for the 0.1 dB level counts.
//
// Conventions, as the file lists use them (n used readings of t seconds each,
// T = n·t the time measured, Te the exposure time, q = Q / lg 2):
//   LAeq  = 10 lg(Σ 10^(L/10) / n)         SEL = LAeq + 10 lg T
//   E     = Σ 4e-10 Pa² · 10^(L/10) · t      (Pa²h, the time measured)
//   LEX,8h = LAeq + 10 lg(Te / 8 h)          points = 100 · 10^((LEX,8h - 85) / 10)
//   dose  = Σ_{L >= T} 2^((L - C)/Q) · t / 288  (%; 100 % is eight hours at C)
//   TWA   = C + q lg(dose / 100)             (eight-hour criterion time)
//   projected dose = dose · 8 h / T          projected TWA = Lavg = C + q lg(projected dose / 100)
//   shift dose = dose · Te / T              shift TWA = C + q lg(shift dose / 100)
// TWA-like values are empty while the dose is 0.
//
// L(n) is the level exceeded during n % of the time used: each reading
// stands for the 0.1 dB class around it (85.3 for 85.25 .. 85.35), spread
// evenly over it, and L(n) is read off the exceedance curve between the
// class edges by linear interpolation. Where the curve is flat (no reading
// between two levels) the highest such level is taken.

#include "core/common/Result.h"
#include "core/exposure/ExposureValues.h"
#include "core/exposure/LocalTime.h"
#include "core/exposure/Standards.h"

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace km740 {

// One record of a level history: when it began (empty when its time cannot
// be read) and its level (empty for a record without a reading, kNoValueText).
struct LevelReading {
    std::optional<LocalSeconds> time{};
    std::optional<double> level{};
};

// What is known of a history before its readings.
struct HistoryStart {
    DoseParameters file{};                   // the recording's own settings: the "File" standard
    std::optional<double> intervalSeconds{}; // empty: the smallest step between record times
};

// A recording handed over reading by reading, oldest first.
class LevelHistory {
public:
    virtual ~LevelHistory() = default;
    using StartHandler = std::function<bool(const HistoryStart&)>;
    using ReadingHandler = std::function<bool(const LevelReading&)>;
    // Calls `start` once, then `reading` for every record. A handler
    // returning false stops the read, which then fails as cancelled.
    virtual Status read(const StartHandler& start, const ReadingHandler& reading) const = 0;
};

// A time span of the recording, start inclusive, end exclusive: a reading
// that began at `from` is inside, one that began at `to` is not.
struct TimeSpan {
    LocalSeconds from = 0;
    LocalSeconds to = 0;
    bool operator==(const TimeSpan&) const = default;
};

// What to work out, as the analysis file keeps it.
struct ExposureOptions {
    // Standard names as standardNamed() reads them; empty: "File" and the
    // eight presets.
    std::vector<std::string> standards{};
    // Spans left out of every value; they may come in any order but must
    // not overlap.
    std::vector<TimeSpan> exclusions{};
    // Te; empty: the time the used readings cover.
    std::optional<double> exposureSeconds{};
    // The level "time above" counts from (at or above it).
    double aboveLevel = 85.0;
    // Why a span was left out, by its start and end, as the user gave it.
    std::map<std::pair<LocalSeconds, LocalSeconds>, std::string> reasons{};
    bool operator==(const ExposureOptions&) const = default;
};

// The reason given for leaving out a span; empty when none was.
std::string reasonFor(const ExposureOptions& options, const TimeSpan& span);

// The standards summarised when none are named.
std::vector<std::string> defaultStandards();

struct StandardExposure {
    Standard standard;
    double dose = 0.0;                   // %
    std::optional<double> twa;           // dB
    std::optional<double> projectedDose; // %, empty when nothing was measured
    std::optional<double> projectedTwa;  // dB
    std::optional<double> lavg;          // dB
    std::optional<double> shiftDose;     // %
    std::optional<double> shiftTwa;      // dB
};

struct ExclusionCount {
    TimeSpan span;
    std::uint64_t readings = 0; // readings left out by this span
};

// The percentages of the statistical levels, in the order of ExposureSummary::ln.
inline constexpr std::array<int, 7> kLnPercents = {1, 5, 10, 50, 90, 95, 99};

struct ExposureSummary {
    std::uint64_t records = 0;             // records of the history
    std::uint64_t readings = 0;            // records with a level
    std::uint64_t excluded = 0;            // readings inside an exclusion
    std::uint64_t used = 0;                // readings - excluded
    double intervalSeconds = 1.0;          // time one reading stands for
    double measuredSeconds = 0.0;          // used · interval
    double exposureSeconds = 0.0;          // Te
    std::optional<LocalSeconds> firstTime; // of the first and last dated record
    std::optional<LocalSeconds> lastTime;
    std::optional<double> laeq;
    std::optional<double> lmax;
    std::optional<double> lmin;
    std::optional<double> sel;
    double pa2h = 0.0;
    std::optional<double> lex8h;
    std::optional<double> points;
    double aboveLevel = 85.0;
    double aboveSeconds = 0.0;
    std::array<std::optional<double>, kLnPercents.size()> ln; // L1 L5 L10 L50 L90 L95 L99
    std::vector<StandardExposure> standards;
    std::vector<ExclusionCount> exclusions; // sorted by start
};

// The spans in time order, or a message naming the first span that ends
// before (or where) it starts, or that overlaps another.
Result<std::vector<TimeSpan>> checkExclusions(std::vector<TimeSpan> spans);

// The span of sorted, non-overlapping `spans` that holds the moment `t`.
std::optional<std::size_t> spanHolding(const std::vector<TimeSpan>& spans, LocalSeconds t);

// Reads the history once and sums it up. Fails (data) for a bad standard
// name, a bad span, a span that lies wholly outside the recording and an
// exposure time or "above" level that is not a positive number; fails as the
// history does when it cannot be read.
Result<ExposureSummary> summarizeExposure(const LevelHistory& history, const ExposureOptions& options);

} // namespace km740
