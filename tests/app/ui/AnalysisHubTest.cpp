// SPDX-License-Identifier: GPL-3.0-or-later
// The spans left out of a data file, as the analysis file beside it holds
// them after the windows changed them: saved off the window thread, in order.
#include "app/ui/AnalysisHub.h"

#include "core/exposure/ExposureAnalysis.h"
#include "support/TempFolder.h"
#include "support/WaitFor.h"

#include <QString>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace km740 {
namespace {

QString qPath(const std::filesystem::path& p)
{
    return QString::fromStdString(p.string());
}

// Spans of one minute, `n` of them from 08:00, a minute apart.
ExposureOptions spans(int n)
{
    const LocalSeconds eight = *parseLocalTime("2026-12-01T08:00:00");
    ExposureOptions o;
    for (int i = 0; i < n; ++i)
        o.exclusions.push_back({eight + 120 * i, eight + 120 * i + 60});
    return o;
}

TEST(AnalysisHub, AfterABurstOfChangesTheFileHoldsTheLastSetAndTheOtherSettings)
{
    test::TempFolder dir;
    const auto data = dir / "shift.sonx";
    ExposureOptions settings;
    settings.standards = {"OSHA-90", "85/none/3"};
    settings.exposureSeconds = 36000.0;
    ASSERT_TRUE(writeAnalysis(analysisPathFor(data), settings, "shift.sonx"));

    AnalysisHub hub;
    std::vector<int> told; // the changes whose save was reported, by number of spans
    for (int n = 1; n <= 40; ++n)
        ASSERT_TRUE(hub.changeExclusions(qPath(data), spans(n), [&told, n](const Status& s) {
            EXPECT_TRUE(s) << s.error().message;
            told.push_back(n);
        }));
    // The windows see the newest set at once, before it is written.
    EXPECT_EQ(hub.exclusions(qPath(data)).exclusions, spans(40).exclusions);
    ASSERT_TRUE(test::waitFor([&] { return !hub.isSaving(); }, 10000));

    auto saved = readAnalysis(analysisPathFor(data));
    ASSERT_TRUE(saved) << saved.error().message;
    EXPECT_EQ(saved->exclusions, spans(40).exclusions);
    EXPECT_EQ(saved->standards, settings.standards);
    EXPECT_EQ(saved->exposureSeconds, settings.exposureSeconds);
    // Only the newest save speaks; the older ones were written over.
    EXPECT_EQ(told, std::vector<int>{40});

    // Whole options saved, then a span changed before that save is done:
    // both hold.
    ExposureOptions whole = spans(2);
    whole.standards = {"DOD"};
    hub.saveAnalysis(qPath(data), whole, {});
    ASSERT_TRUE(hub.changeExclusions(qPath(data), spans(3)));
    ASSERT_TRUE(test::waitFor([&] { return !hub.isSaving(); }, 10000));
    saved = readAnalysis(analysisPathFor(data));
    ASSERT_TRUE(saved) << saved.error().message;
    EXPECT_EQ(saved->standards, std::vector<std::string>{"DOD"});
    EXPECT_EQ(saved->exclusions, spans(3).exclusions);
}

TEST(AnalysisHub, AFailedSaveIsToldAndTheSpansHoldForTheRun)
{
    test::TempFolder dir;
    const auto data = dir / "shift.sonx";
    // A folder where the analysis file would go: nothing can be written there.
    std::filesystem::create_directory(analysisPathFor(data));
    AnalysisHub hub;
    std::vector<std::string> failures;
    ASSERT_TRUE(hub.changeExclusions(qPath(data), spans(1), [&](const Status& s) {
        if (!s)
            failures.push_back(s.error().message);
    }));
    ASSERT_TRUE(test::waitFor([&] { return !hub.isSaving(); }, 10000));
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_NE(failures[0].find("shift.sonx.km740a"), std::string::npos) << failures[0];
    EXPECT_EQ(hub.exclusions(qPath(data)).exclusions, spans(1).exclusions);

    // Bad spans are refused at once and change nothing.
    ExposureOptions backwards;
    backwards.exclusions = {{100, 50}};
    EXPECT_FALSE(hub.changeExclusions(qPath(data), backwards));
    EXPECT_EQ(hub.exclusions(qPath(data)).exclusions, spans(1).exclusions);
}

TEST(AnalysisHub, ASaveUnderWayIsFinishedWhenTheHubGoes)
{
    test::TempFolder dir;
    const auto data = dir / "shift.sonx";
    {
        AnalysisHub hub;
        for (int n = 1; n <= 5; ++n)
            ASSERT_TRUE(hub.changeExclusions(qPath(data), spans(n)));
    }
    ASSERT_TRUE(backgroundPool().waitForDone(10000));
    auto saved = readAnalysis(analysisPathFor(data));
    ASSERT_TRUE(saved) << saved.error().message;
    EXPECT_EQ(saved->exclusions, spans(5).exclusions);
}

} // namespace
} // namespace km740
