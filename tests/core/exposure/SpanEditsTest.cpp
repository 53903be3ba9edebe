// SPDX-License-Identifier: GPL-3.0-or-later
// Spans left out and taken back in from the graph, and the rows of a list
// they hold.
#include "core/exposure/ExcludedRows.h"
#include "core/exposure/SpanEdits.h"

#include <gtest/gtest.h>

namespace km740 {
namespace {

ExposureOptions spans(std::vector<TimeSpan> s)
{
    ExposureOptions o;
    o.exclusions = std::move(s);
    return o;
}

TEST(SpanEdits, ExcludingJoinsWhatItTouchesAndIncludingCutsAHole)
{
    ExposureOptions o = spans({{100, 200}, {300, 400}, {600, 700}});
    o.reasons[{300, 400}] = "lunch";
    // 200 .. 300 closes the gap: three spans become one, keeping the reason.
    const ExposureOptions joined = withSpanExcluded(o, {200, 350});
    EXPECT_EQ(joined.exclusions, (std::vector<TimeSpan>{{100, 400}, {600, 700}}));
    EXPECT_EQ(reasonFor(joined, {100, 400}), "lunch");
    EXPECT_EQ(joined.reasons.size(), 1u);
    // A span apart from all others is added in its place.
    EXPECT_EQ(withSpanExcluded(o, {450, 500}).exclusions,
              (std::vector<TimeSpan>{{100, 200}, {300, 400}, {450, 500}, {600, 700}}));

    // Including the middle of one splits it, both ends keeping its reason;
    // a span wholly inside the one included goes.
    const ExposureOptions cut = withSpanIncluded(o, {350, 650});
    EXPECT_EQ(cut.exclusions, (std::vector<TimeSpan>{{100, 200}, {300, 350}, {650, 700}}));
    EXPECT_EQ(reasonFor(cut, {300, 350}), "lunch");
    EXPECT_EQ(withSpanIncluded(o, {0, 1000}).exclusions, std::vector<TimeSpan>{});
    EXPECT_EQ(withSpanIncluded(o, {320, 330}).exclusions,
              (std::vector<TimeSpan>{{100, 200}, {300, 320}, {330, 400}, {600, 700}}));
    // A span that ends where it starts changes nothing.
    EXPECT_EQ(withSpanExcluded(o, {500, 500}), o);
    EXPECT_EQ(withSpanIncluded(o, {150, 150}), o);
}

TEST(ExcludedRows, RowsInsideTheSpansAndTheSpanOfRowsBetweenCursors)
{
    // Ten records a second apart from t = 1000, row 4 without a readable time.
    RecordTimes times;
    for (int i = 0; i < 10; ++i)
        times.push_back(i == 4 ? std::nullopt : std::optional<LocalSeconds>(1000 + i));
    const ExcludedRows rows = ExcludedRows::of(times, {{1002, 1006}, {1009, 2000}});
    // Start inside, end outside; the row without a time stays in.
    EXPECT_EQ(rows.runs(), (std::vector<ExcludedRows::Run>{{2, 3}, {5, 5}, {9, 9}}));
    EXPECT_EQ(rows.count(), 4u);
    EXPECT_TRUE(rows.contains(3));
    EXPECT_FALSE(rows.contains(4));
    EXPECT_FALSE(rows.contains(6));
    EXPECT_TRUE(ExcludedRows::of(times, {}).empty());

    EXPECT_EQ(recordStep(times), 1);
    // Cursors on rows 7 and 2 leave out rows 2 .. 7: up to the end of row 7.
    EXPECT_EQ(spanOfRows(times, 7, 2, 1), (TimeSpan{1002, 1008}));
    // A cursor on the row without a time takes the next one inward.
    EXPECT_EQ(spanOfRows(times, 4, 6, 60), (TimeSpan{1005, 1066}));
    EXPECT_EQ(spanOfRows(times, 4, 4, 1), std::nullopt);
    // Past the end counts as the last row.
    EXPECT_EQ(spanOfRows(times, 8, 50, 1), (TimeSpan{1008, 1010}));
}

} // namespace
} // namespace km740
