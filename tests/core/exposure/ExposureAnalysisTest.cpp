// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/exposure/ExposureAnalysis.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace km740 {
namespace {

TEST(ExposureAnalysis, WrittenAndReadBackBesideTheDataFile)
{
    test::TempFolder dir;
    const auto path = analysisPathFor(dir / "shift.sonx");
    EXPECT_EQ(path.filename(), "shift.sonx.km740a");
    const auto noon = parseLocalTime("2026-12-01T12:00:00");
    ASSERT_TRUE(noon);
    ExposureOptions o{.standards = {"File", "OSHA-90", "85/none/3"},
                      .exclusions = {{*noon + 3600, *noon + 5400}, {*noon, *noon + 1800}},
                      .exposureSeconds = 36000.0,
                      .aboveLevel = 90.0,
                      .reasons = {{{*noon, *noon + 1800}, "Badge left on the compressor"}}};
    ASSERT_TRUE(writeAnalysis(path, o, "shift.sonx"));
    EXPECT_EQ(dir.entries(), 1u);
    const std::string text = test::readBytes(path);
    EXPECT_NE(text.find("\"from\": \"2026-12-01T12:00:00\""), std::string::npos) << text;
    auto back = readAnalysis(path);
    ASSERT_TRUE(back) << back.error().message;
    EXPECT_EQ(back->standards, o.standards);
    // Spans come back in time order.
    ASSERT_EQ(back->exclusions.size(), 2u);
    EXPECT_EQ(back->exclusions[0], (TimeSpan{*noon, *noon + 1800}));
    EXPECT_EQ(back->exposureSeconds, 36000.0);
    EXPECT_EQ(back->aboveLevel, 90.0);
    EXPECT_EQ(reasonFor(*back, back->exclusions[0]), "Badge left on the compressor");
    EXPECT_EQ(reasonFor(*back, back->exclusions[1]), "");
}

TEST(ExposureAnalysis, BesideADataFileNoneDamagedAndReadAreToldApart)
{
    test::TempFolder dir;
    const auto data = dir / "shift.sonx";
    auto none = readAnalysisBeside(data);
    ASSERT_TRUE(none) << none.error().message;
    EXPECT_FALSE(*none);

    test::writeBytes(analysisPathFor(data), R"({"format": "km740-exposure-analysis", "version": 1, "above": 90})");
    auto read = readAnalysisBeside(data);
    ASSERT_TRUE(read && *read);
    EXPECT_EQ((*read)->aboveLevel, 90.0);

    test::writeBytes(analysisPathFor(data), R"({"format": "km740-exposure-analysis", "version": 1, "above": "x"})");
    auto damaged = readAnalysisBeside(data);
    ASSERT_FALSE(damaged);
    EXPECT_EQ(damaged.error().kind, FailureKind::data);
    EXPECT_NE(damaged.error().message.find("shift.sonx.km740a"), std::string::npos) << damaged.error().message;
    EXPECT_NE(damaged.error().message.find("\"above\""), std::string::npos) << damaged.error().message;

    // A folder in its place cannot be read: that is no "none".
    std::filesystem::remove(analysisPathFor(data));
    std::filesystem::create_directory(analysisPathFor(data));
    EXPECT_FALSE(readAnalysisBeside(data));
}

TEST(ExposureAnalysis, AnythingOddIsRefusedNamingIt)
{
    auto refused = [](const std::string& text, const std::string& words) {
        auto o = parseAnalysis(text);
        ASSERT_FALSE(o) << text;
        EXPECT_EQ(o.error().kind, FailureKind::data);
        EXPECT_NE(o.error().message.find(words), std::string::npos) << o.error().message;
    };
    const std::string head = R"({"format": "km740-exposure-analysis", "version": 1, )";
    refused("{\"exclusions\": []", "not JSON");
    refused(R"({"format": "other", "version": 1})", "format");
    refused(R"({"format": "km740-exposure-analysis", "version": 7})", "version 7");
    refused(head + R"("standards": ["OSHA-100"]})", "is no standard");
    refused(head + R"("exclusions": [{"from": "2026-12-01T12:00:00", "to": "2026-02-30T12:00:00"}]})", "no date");
    refused(head + R"("exclusions": [{"from": "2026-12-01T12:00:00", "to": "2026-12-01T13:00:00"},
                                     {"from": "2026-12-01T12:30:00", "to": "2026-12-01T14:00:00"}]})",
            "overlap");
    refused(head + R"("exclusions": [{"from": "2026-12-01T12:00:00", "to": "2026-12-01T13:00:00", "reason": 7}]})",
            "reason");
    refused(head + R"("exposure_seconds": -3})", "exposure_seconds");
    refused(head + R"("above": "loud"})", "above");
    // Missing values keep their defaults.
    auto bare = parseAnalysis(head + R"("data_file": "x.sonx"})");
    ASSERT_TRUE(bare);
    EXPECT_EQ(*bare, ExposureOptions{});
}

TEST(ExposureAnalysis, RecordTimesInAnyRegionalForm)
{
    const auto t = parseLocalTime("2026/12/01 08:00:05");
    ASSERT_TRUE(t);
    EXPECT_EQ(parseLocalTime("2026-12-01T08:00:05"), t);
    EXPECT_EQ(parseLocalTime("2026.12.01 08.00.05"), t);
    EXPECT_EQ(formatLocalTime(*t), "2026-12-01T08:00:05");
    EXPECT_EQ(*parseLocalTime("2024-03-01T00:00:00") - *parseLocalTime("2024-02-28T00:00:00"), 2 * 86400);
    EXPECT_FALSE(parseLocalTime("2026/13/01 08:00:00"));
    EXPECT_FALSE(parseLocalTime("2025/02/29 08:00:00"));
    EXPECT_FALSE(parseLocalTime("26/12/01 08:00:00"));
    EXPECT_FALSE(parseLocalTime("2026/12/01 08:00"));
}

} // namespace
} // namespace km740
