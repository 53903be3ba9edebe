// SPDX-License-Identifier: GPL-3.0-or-later
// derive over a file with levels no meter reports: they are left out of the
// sums and counted, as the "----" cells are.
#include "support/TempFolder.h"
#include "support/ToolProcess.h"

#include <gtest/gtest.h>

using namespace km740::test;

TEST(ToolDerive, ImpossibleLevelsAreLeftOutAndCounted)
{
    TempFolder dir;
    std::string text = "Real Time Data\r\n\r\n\r\n\r\n"
                       "Calibrated dB:94.0\r\nTime Weight:Slow\r\nFrequency Weight:A\r\n"
                       "Threshold Level:80\r\nCriterion Level:90\r\nExchange Rate:5\r\n"
                       "Peak Type:Lcpk\r\nRange:70-140\r\nCalibrated Time:2026/12/01 07:55:00\r\n"
                       "No.s\t      Date Time    \tdB\r\n";
    const char* cells[] = {"90.0", "1e400", "1e-400", "3100", "----", "nan", "inf", "90.0"};
    for (int n = 1; const char* cell : cells) {
        const std::string number = std::to_string(n++);
        text += number + "\t2026/12/01 08:00:0" + number + "\t" + cell + "\t\r\n";
    }
    writeBytes(dir / "odd.sonx", text);

    auto r = runProgram(KM740_TOOL_PATH, {"derive", (dir / "odd.sonx").string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "km740-tool: 6 level cells without a reading were left out of the sums\n");
    // Every row's Leq, the ninth column, is that of the 90 dB readings alone.
    std::size_t rows = 0;
    for (std::size_t at = r.out.find('\n'); at != std::string::npos && at + 1 < r.out.size();
         at = r.out.find('\n', at + 1)) {
        const std::string line = r.out.substr(at + 1, r.out.find('\n', at + 1) - at - 1);
        std::size_t tab = 0;
        for (int column = 0; column < 8; ++column)
            tab = line.find('\t', tab) + 1;
        EXPECT_EQ(line.substr(tab, 4), "90.0") << line;
        ++rows;
    }
    EXPECT_EQ(rows, 8u);
}
