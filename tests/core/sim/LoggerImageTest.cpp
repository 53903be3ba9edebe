// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/sim/LoggerImageBuilder.h"
#include "core/sim/SampleLogger.h"
#include "core/sim/VirtualMeter.h"

#include <gtest/gtest.h>

#include <cmath>

namespace km740 {
namespace {

// One set as a reader walking the image finds it.
struct FoundSet {
    std::size_t marker = 0; // offset of the marker in the image
    std::size_t blockLength = 0;
    int interval = 0; // seconds
    std::size_t records = 0;
    std::vector<std::size_t> pauseOffsets; // from the marker
    std::vector<std::pair<std::uint32_t, std::uint32_t>> pauses;
};

bool markerAt(const Bytes& b, std::size_t at, std::uint8_t m0, std::uint8_t m1, std::uint8_t m2, std::uint8_t m3)
{
    return at + 4 <= b.size() && b[at] == m0 && b[at + 1] == m1 && b[at + 2] == m2 && b[at + 3] == m3;
}

std::uint32_t le24(const Bytes& b, std::size_t at)
{
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16;
}

// The reader's walk: the image with its first 4 bytes appended, sets found at
// markers, pause entries tested first at each record position, a set ending
// where a marker follows its fixed part.
std::vector<FoundSet> walk(Bytes image)
{
    const std::size_t downloaded = image.size();
    image.insert(image.end(), image.begin(), image.begin() + 4);
    static const int seconds[] = {0, 1, 2, 5, 10, 15, 20, 30, 60, 120, 300, 600, 900, 1200, 1800, 3600};
    std::vector<FoundSet> sets;
    std::size_t pos = 0;
    while (pos + 4 <= image.size()) {
        if (!markerAt(image, pos, 0x00, 0x55, 0xAA, 0x00)) {
            ++pos;
            continue;
        }
        FoundSet s;
        s.marker = pos;
        s.interval = image[pos + 11] <= 15 ? seconds[image[pos + 11]] : 0;
        const bool dbL = s.interval >= 60;
        const std::size_t record = dbL ? 48 : 2;
        const std::size_t tail = dbL ? 0 : 48;
        std::size_t at = pos + 17;
        while (at + tail + 4 <= image.size() && !markerAt(image, at + tail, 0x00, 0x55, 0xAA, 0x00)) {
            if (markerAt(image, at, 0xAA, 0xBB, 0xCC, 0xDD)) {
                s.pauseOffsets.push_back(at - pos);
                s.pauses.emplace_back(le24(image, at + 4), le24(image, at + 7));
                at += 10;
            } else {
                ++s.records;
                at += record;
            }
        }
        if (at + tail + 4 > image.size())
            break; // no marker after this set
        s.blockLength = at + tail - pos - 1;
        sets.push_back(s);
        pos = at + tail;
        if (pos == downloaded)
            break;
    }
    return sets;
}

double bcdDose(const Bytes& b, std::size_t record, int fractionBytes)
{
    auto digits = [&](std::size_t at) { return (b[at] >> 4) * 10 + (b[at] & 15); };
    double whole = 0;
    for (std::size_t at = record + 10; at >= record + 6; --at)
        whole = whole * 100 + digits(at);
    double fraction = digits(record + 5) / 100.0 + digits(record + 4) / 1e4;
    if (fractionBytes == 3)
        fraction += digits(record + 3) / 1e6;
    return whole + fraction;
}

const std::array<std::uint8_t, 8> calibration = {0x05, 0x30, 0x14, 7, 3, 26, 0xAC, 0x03};

TEST(SimLogger, SampleHoldsADbLADbSAndAPausedSet)
{
    const Bytes image = sampleLoggerImage(1, calibration);
    const auto sets = walk(image);
    ASSERT_EQ(sets.size(), 3u);

    // Sets follow one another with nothing between, the last ends the image.
    EXPECT_EQ(sets[0].marker, 0u);
    EXPECT_EQ(sets[1].marker, sets[0].marker + 1 + sets[0].blockLength);
    EXPECT_EQ(sets[2].marker, sets[1].marker + 1 + sets[1].blockLength);
    EXPECT_EQ(sets[2].marker + 1 + sets[2].blockLength, image.size());

    EXPECT_EQ(sets[0].interval, 60);
    EXPECT_EQ(sets[0].records, 120u);
    EXPECT_EQ(sets[0].blockLength, 16u + 48 * 120);

    EXPECT_EQ(sets[1].interval, 1);
    EXPECT_EQ(sets[1].records, 600u);
    EXPECT_EQ(sets[1].blockLength, 64u + 2 * 600);

    EXPECT_EQ(sets[2].interval, 300);
    EXPECT_EQ(sets[2].records, 90u);
    EXPECT_EQ(sets[2].blockLength, 16u + 48 * 90 + 10 * 2);
    // 36 records (to 10800 s) before the break at 10950 s; records at
    // 11100..11700 s fall into it; 15 more (12000..16200 s) before lunch.
    ASSERT_EQ(sets[2].pauseOffsets.size(), 2u);
    EXPECT_EQ(sets[2].pauseOffsets[0], 17u + 36 * 48);
    EXPECT_EQ(sets[2].pauseOffsets[1], 17u + 51 * 48 + 10);
    EXPECT_EQ(sets[2].pauses[0], (std::pair<std::uint32_t, std::uint32_t>{10950, 11850}));
    EXPECT_EQ(sets[2].pauses[1], (std::pair<std::uint32_t, std::uint32_t>{16320, 18120}));
}

TEST(SimLogger, HeadersAndRecordsCarryTheirFields)
{
    const Bytes image = sampleLoggerImage(1, calibration);
    const auto sets = walk(image);
    ASSERT_EQ(sets.size(), 3u);

    // Header of the dBS set: 2026/03/16 13:05:00, second in BCD, the rest plain.
    const std::size_t h = sets[1].marker;
    EXPECT_EQ(Bytes(image.begin() + h + 5, image.begin() + h + 17),
              (Bytes{0x00, 5, 13, 16, 3, 26, 1, 6, 0x11, 70, 70, 2}));

    // dBL doses grow record by record and stay plausible; each record ends
    // with the calibration.
    double previous = 0;
    for (std::size_t i = 0; i < sets[0].records; ++i) {
        const std::size_t r = sets[0].marker + 17 + 48 * i;
        const double dose = bcdDose(image, r, 2);
        EXPECT_GE(dose, previous);
        previous = dose;
        EXPECT_EQ(Bytes(image.begin() + r + 40, image.begin() + r + 48), Bytes(calibration.begin(), calibration.end()));
        const int peakWord = image[r + 37] | image[r + 38] << 8;
        EXPECT_LT(peakWord & 0x3FFF, 1600);
    }
    EXPECT_GT(previous, 1.0); // two hours in a workshop against OSHA-80
    EXPECT_LT(previous, 100.0);

    // dBS levels within the 70-140 range; the summary holds the dose with six decimals.
    for (std::size_t i = 0; i < sets[1].records; ++i) {
        const std::size_t r = sets[1].marker + 17 + 2 * i;
        const int level = image[r] | image[r + 1] << 8;
        EXPECT_GE(level, 700);
        EXPECT_LE(level, 1400);
    }
    const std::size_t summary = sets[1].marker + 17 + 2 * 600;
    EXPECT_GT(bcdDose(image, summary, 3), 0.0);
    EXPECT_EQ(image[summary + 46] | image[summary + 47] << 8, 940);
}

TEST(SimLogger, BuilderLaysOutPausesAndTheSummary)
{
    LoggerImageBuilder b;
    SetHeader fast{{26, 1, 2, 3, 4, 0x05}, 4, 1, 0x80, 80, 3}; // 10 s
    const std::uint16_t levels[] = {850, 851, 852, 853};
    const LoggerPause pause[] = {{25, 45}}; // 20 and 30 s recorded, 40 s falls in it
    LoggedDoseRecord summary;
    summary.dosePercent = 12.345678;
    b.addDbSSet(fast, levels, summary, pause);
    const Bytes& img = b.image();
    ASSERT_EQ(img.size(), 1 + LoggerImageBuilder::dbSBlockLength(4, 1));
    // Records at 10 and 20 s, the pause entry, records at 50 and 60 s.
    EXPECT_EQ(img[17], 0x52);
    EXPECT_EQ(img[19], 0x53);
    EXPECT_EQ(Bytes(img.begin() + 21, img.begin() + 31), (Bytes{0xAA, 0xBB, 0xCC, 0xDD, 25, 0, 0, 45, 0, 0}));
    EXPECT_EQ(img[31], 0x54);
    // The summary: dose 12.345678 %, BCD least significant byte first.
    const std::size_t s = 35;
    EXPECT_EQ(Bytes(img.begin() + s + 3, img.begin() + s + 11), (Bytes{0x78, 0x56, 0x34, 0x12, 0, 0, 0, 0}));

    const auto t = LoggerImageBuilder::timeline(10, 4, pause);
    EXPECT_EQ(t.recordTimes, (std::vector<std::uint32_t>{10, 20, 50, 60}));
    EXPECT_EQ(t.pauseBefore, (std::vector<std::size_t>{2}));
}

TEST(SimLogger, FilledMemoryIsAllWholeSets)
{
    const Bytes image = filledLoggerImage(192 * 1024, 3, calibration);
    const auto sets = walk(image);
    ASSERT_GT(sets.size(), 10u);
    std::size_t total = 0;
    for (const FoundSet& s : sets) {
        const std::size_t expected = s.interval >= 60 ? LoggerImageBuilder::dbLBlockLength(s.records, 0)
                                                      : LoggerImageBuilder::dbSBlockLength(s.records, 0);
        EXPECT_EQ(s.blockLength, expected);
        total += 1 + s.blockLength;
    }
    EXPECT_EQ(total, image.size());
    EXPECT_LE(image.size(), 192u * 1024);
}

} // namespace
} // namespace km740
