// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/link/PortMap.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace km740;
namespace fs = std::filesystem;

TEST(PortMap, DefaultsAndUserEntries)
{
    PortMap m;
    EXPECT_EQ(m.device(1), "/dev/ttyS0");
    EXPECT_EQ(m.device(16), "/dev/ttyS15");
    EXPECT_EQ(m.device(0), "");
    EXPECT_EQ(m.device(17), "");

    ASSERT_TRUE(m.bind(3, "/dev/ttyUSB0"));
    EXPECT_EQ(m.device(3), "/dev/ttyUSB0");
    EXPECT_EQ(m.comFor("/dev/ttyUSB0"), 3);
    // One COM number per device: moving it drops the old binding.
    ASSERT_TRUE(m.bind(5, "/dev/ttyUSB0"));
    EXPECT_EQ(m.device(3), "/dev/ttyS2");
    EXPECT_EQ(m.comFor("/dev/ttyUSB0"), 5);
    // Binding to the default removes the entry.
    ASSERT_TRUE(m.bind(5, "/dev/ttyS4"));
    EXPECT_TRUE(m.userEntries().empty());
    EXPECT_FALSE(m.bind(17, "/dev/ttyUSB0"));
    EXPECT_FALSE(m.bind(2, "ttyUSB0"));
    EXPECT_FALSE(m.bind(2, std::string("/dev/tty\nS1")));
}

TEST(PortMap, ParsesDefensively)
{
    auto parsed = parsePortMap("# mine\r\n"
                               "[ports]\n"
                               "COM3=/dev/ttyUSB0\r\n"
                               "  com 4 = /dev/ttyACM0  \n"
                               "COM17=/dev/ttyUSB1\n"
                               "COM0=/dev/ttyUSB1\n"
                               "COMx=/dev/ttyUSB1\n"
                               "COM6\n"
                               "COM7=\n"
                               "COM8=relative\n"
                               "\n"
                               "COM9=/dev/serial/by-id/usb-FTDI_x-if00-port0");
    EXPECT_EQ(parsed.map.device(3), "/dev/ttyUSB0");
    EXPECT_EQ(parsed.map.device(4), "/dev/ttyACM0");
    EXPECT_EQ(parsed.map.device(7), "/dev/ttyS6");
    EXPECT_EQ(parsed.map.device(9), "/dev/serial/by-id/usb-FTDI_x-if00-port0");
    ASSERT_EQ(parsed.problems.size(), 6u);
    EXPECT_EQ(parsed.problems[0].rfind("line 5:", 0), 0u);
    EXPECT_EQ(parsed.problems[5].rfind("line 10:", 0), 0u);

    // Binary junk and a huge line are skipped, never trusted.
    std::string junk(5000, 'A');
    junk += "\nCOM2=/dev/ttyUSB2\n";
    junk += std::string("\0\xff\x01=", 4);
    auto j = parsePortMap(junk);
    EXPECT_EQ(j.map.device(2), "/dev/ttyUSB2");
    EXPECT_EQ(j.problems.size(), 2u);
}

TEST(PortMap, SavesAndLoadsBack)
{
    test::TempFolder dir;
    fs::path file = dir / "km740" / "ports.ini";
    auto none = loadPortMap(file);
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->map.userEntries().empty());

    PortMap m;
    m.bind(3, "/dev/ttyUSB0");
    m.bind(16, "/dev/ttyACM1");
    ASSERT_TRUE(savePortMap(file, m));
    EXPECT_FALSE(fs::exists(file.string() + ".tmp"));
    auto back = loadPortMap(file);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->map.userEntries(), m.userEntries());
    EXPECT_TRUE(back->problems.empty());

    // A folder that cannot be written leaves the old file alone.
    fs::path blocked = dir / "file-not-folder";
    {
        std::ofstream(blocked) << "x";
    }
    EXPECT_FALSE(savePortMap(blocked / "ports.ini", m));
}

TEST(PortChoice, OkRules)
{
    EXPECT_EQ(portNumberFromChoice("COM  3", 0), 3);
    EXPECT_EQ(portNumberFromChoice("COM  16", 0), 16);
    EXPECT_EQ(portNumberFromChoice("Auto", 7), 1);
    EXPECT_EQ(portNumberFromChoice("COM3", 7), 7);
    EXPECT_EQ(portNumberFromChoice("COM  17", 0), 0);
    EXPECT_EQ(portNumberFromChoice("auto", 2), 2);
}
