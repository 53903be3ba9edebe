// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ui/AppState.h"
#include "core/link/Codes.h"

#include <gtest/gtest.h>

using namespace km740;

TEST(AppState, PeakTypeComesFromThePresetInForce)
{
    AppState s;
    const auto peakOf = [&](int preset) {
        s.presetIndex = preset;
        return s.peakTypeForPreset();
    };
    EXPECT_EQ(peakOf(0), "Llpk");
    EXPECT_EQ(peakOf(3), "Llpk");
    EXPECT_EQ(peakOf(5), "Llpk");
    EXPECT_EQ(peakOf(6), "Lcpk");
    EXPECT_EQ(peakOf(7), "Lcpk");

    // Preset 9 is the second user record: bit 4 of its settings byte.
    s.userPresetTable.fill(0);
    s.userPresetTable[4] = EncodeSettings(0, false, false, true, false, 3);
    EXPECT_EQ(peakOf(9), "Lcpk");
    EXPECT_EQ(peakOf(8), "Llpk");
    s.userPresetTable[4] = EncodeSettings(0, false, false, false, false, 3);
    EXPECT_EQ(peakOf(9), "Llpk");
    // Last user record and a number no preset has: no read past the table.
    s.userPresetTable[32] = 0x10;
    EXPECT_EQ(peakOf(16), "Lcpk");
    EXPECT_EQ(peakOf(200), "Llpk");
}

TEST(AppState, PortLabelIsTheComNumberOrElseTheDevicesOwnName)
{
    AppState s;
    s.portNumber = 3;
    s.portDevice = "/dev/ttyUSB0"; // bound to COM 3 by the user
    EXPECT_EQ(s.portCaption(), "COM  3");
    // Given by path, no COM number stands for it.
    s.portNumber = 0;
    EXPECT_EQ(s.portCaption(), "ttyUSB0");
    s.portDevice = "/dev/pts/7";
    EXPECT_EQ(s.portCaption(), "pts/7");
    s.portDevice = "/home/ana/meter-link";
    EXPECT_EQ(s.portCaption(), "/home/ana/meter-link");
}
