// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ports/DeviceManagerWindow.h"
#include "app/ports/PortWindow.h"
#include "support/PtyPeer.h"
#include "support/TempFolder.h"
#include "support/WaitFor.h"

#include <QComboBox>
#include <QPushButton>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace km740;
namespace fs = std::filesystem;

namespace {

struct Fixture {
    test::TempFolder dir;
    fs::path mapFile = dir / "ports.ini";
    std::vector<std::string> probed;

    PortWindow::Options options()
    {
        PortWindow::Options o;
        o.mapFile = mapFile;
        // COM3 free, the user's COM5 held by another program: both present.
        o.prober = [this](const std::string& dev) {
            probed.push_back(dev);
            return dev == "/dev/ttyS2" || dev == "/dev/ttyUSB0" ? ProbeResult::present : ProbeResult::absent;
        };
        o.lister = [] {
            return QList<SerialPortEntry>{{"/dev/ttyS0", "ttyS0", "", ""},
                                          {"/dev/ttyUSB0", "FT232R USB UART", "FTDI", "0403:6001"}};
        };
        return o;
    }
};

QStringList items(QComboBox* c)
{
    QStringList out;
    for (int i = 0; i < c->count(); ++i)
        out << c->itemText(i);
    return out;
}

// The chooser's OK with this text typed in, starting from `current`.
std::pair<int, QString> okWith(Fixture& f, const QString& text, int current)
{
    PortWindow w(current, f.options());
    auto* combo = w.findChild<QComboBox*>("TxtCOM");
    combo->setEditText(text);
    QSignalSpy spy(&w, &PortWindow::accepted);
    QTest::mouseClick(w.findChild<QPushButton*>("CmdOK"), Qt::LeftButton);
    EXPECT_EQ(spy.count(), 1);
    if (spy.count() != 1)
        return {-1, {}};
    return {spy.at(0).at(0).toInt(), spy.at(0).at(1).toString()};
}

} // namespace

TEST(PortWindow, LoadsAllSixteenAtItsPlaceAndOkRules)
{
    Fixture f;
    {
        std::ofstream(f.mapFile) << "COM5=/dev/ttyUSB0\n";
    }
    PortWindow w(0, f.options());
    EXPECT_EQ(w.windowTitle(), "COM Port");
    EXPECT_EQ(w.pos(), QPoint(247, 180));
    auto* combo = w.findChild<QComboBox*>("TxtCOM");
    ASSERT_EQ(combo->count(), 16);
    EXPECT_EQ(combo->itemText(0), "COM  1");
    EXPECT_EQ(combo->itemText(15), "COM  16");
    EXPECT_EQ(combo->currentText(), "COM  1");

    EXPECT_EQ(okWith(f, "COM  3", 0), std::make_pair(3, QString("/dev/ttyS2")));
    EXPECT_EQ(okWith(f, "COM  5", 0), std::make_pair(5, QString("/dev/ttyUSB0")));
    EXPECT_EQ(okWith(f, "Auto", 9), std::make_pair(1, QString("/dev/ttyS0")));
    EXPECT_EQ(okWith(f, "COM3", 7), std::make_pair(7, QString("/dev/ttyS6")));
    EXPECT_EQ(okWith(f, "COM3", 0), std::make_pair(0, QString()));
}

TEST(PortWindow, AutoScanListsPresentPortsAndResetRestores)
{
    Fixture f;
    {
        std::ofstream(f.mapFile) << "COM5=/dev/ttyUSB0\n";
    }
    PortWindow w(0, f.options());
    auto* combo = w.findChild<QComboBox*>("TxtCOM");
    QTest::mouseClick(w.findChild<QPushButton*>("BtnAutoScan"), Qt::LeftButton);
    EXPECT_TRUE(w.scanning());
    EXPECT_FALSE(w.findChild<QPushButton*>("CmdOK")->isEnabled());
    ASSERT_TRUE(test::waitFor([&] { return !w.scanning(); }, 10000));
    EXPECT_EQ(items(combo), QStringList({"COM  3", "COM  5"}));
    EXPECT_EQ(combo->currentText(), "COM  3");
    ASSERT_EQ(f.probed.size(), 16u);
    EXPECT_EQ(f.probed[4], "/dev/ttyUSB0");

    QTest::mouseClick(w.findChild<QPushButton*>("BtnReset"), Qt::LeftButton);
    EXPECT_EQ(combo->count(), 16);
    EXPECT_EQ(combo->currentText(), "COM  1");

    // Nothing present: an empty list and an OK that keeps the number.
    PortWindow::Options none = f.options();
    none.prober = [](const std::string&) { return ProbeResult::absent; };
    PortWindow empty(4, none);
    QTest::mouseClick(empty.findChild<QPushButton*>("BtnAutoScan"), Qt::LeftButton);
    ASSERT_TRUE(test::waitFor([&] { return !empty.scanning(); }, 10000));
    EXPECT_EQ(empty.findChild<QComboBox*>("TxtCOM")->count(), 0);
    // The in-process meter is always there.
    none.simulatedPort = 1;
    PortWindow simulated(0, none);
    QTest::mouseClick(simulated.findChild<QPushButton*>("BtnAutoScan"), Qt::LeftButton);
    ASSERT_TRUE(test::waitFor([&] { return !simulated.scanning(); }, 10000));
    EXPECT_EQ(items(simulated.findChild<QComboBox*>("TxtCOM")), QStringList({"COM  1"}));
    QSignalSpy spy(&empty, &PortWindow::accepted);
    QTest::mouseClick(empty.findChild<QPushButton*>("CmdOK"), Qt::LeftButton);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toInt(), 4);
}

TEST(DeviceManagerWindow, ListsPortsWithTheirComNumberAndBindsOne)
{
    Fixture f;
    PortMap map;
    DeviceManagerWindow dm(map, f.mapFile, f.options().lister);
    auto* grid = dm.findChild<QTableWidget*>("GridPorts");
    ASSERT_EQ(grid->rowCount(), 2);
    EXPECT_EQ(grid->item(0, 0)->text(), "/dev/ttyS0");
    EXPECT_EQ(grid->item(0, 3)->text(), "COM  1");
    EXPECT_EQ(grid->item(1, 2)->text(), "0403:6001");
    EXPECT_EQ(grid->item(1, 3)->text(), "");

    grid->selectRow(1);
    ASSERT_TRUE(dm.bindSelected(3));
    EXPECT_EQ(grid->item(1, 3)->text(), "COM  3");
    EXPECT_EQ(dm.portMap().device(3), "/dev/ttyUSB0");
    auto saved = loadPortMap(f.mapFile);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->map.device(3), "/dev/ttyUSB0");

    // A map that cannot be saved leaves the binding as it was.
    {
        std::ofstream(f.mapFile.string() + "-file") << "x";
    }
    DeviceManagerWindow bad(dm.portMap(), fs::path(f.mapFile.string() + "-file") / "ports.ini", f.options().lister);
    bad.findChild<QTableWidget*>("GridPorts")->selectRow(1);
    EXPECT_FALSE(bad.bindSelected(7));
    EXPECT_EQ(bad.portMap().device(3), "/dev/ttyUSB0");
}

TEST(SerialProbe, OpenBusyAndMissingDevices)
{
    EXPECT_EQ(probeSerialDevice("/dev/km740-no-such-port"), ProbeResult::absent);
    EXPECT_EQ(probeSerialDevice("/dev/null"), ProbeResult::absent) << "not a serial line";

    test::PtyPeer peer;
    ASSERT_FALSE(peer.device().empty());
    EXPECT_EQ(probeSerialDevice(peer.device()), ProbeResult::present);

    // Held by another program (here: another port object, which locks it):
    // the probe cannot open it, and still counts it as present.
    QSerialPort holder;
    holder.setPortName(QString::fromStdString(peer.device()));
    ASSERT_TRUE(holder.open(QIODevice::ReadWrite)) << holder.errorString().toStdString();
    QSerialPort second;
    second.setPortName(QString::fromStdString(peer.device()));
    ASSERT_FALSE(second.open(QIODevice::ReadWrite)) << "the holder does not hold the port";
    EXPECT_EQ(probeSerialDevice(peer.device()), ProbeResult::present);
    holder.close();
}
