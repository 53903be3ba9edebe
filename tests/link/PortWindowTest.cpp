// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/DeviceManagerWindow.h"
#include "link/PortWindow.h"

#include <QComboBox>
#include <QPushButton>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

using namespace km740;
namespace fs = std::filesystem;

namespace {

struct Fixture {
    fs::path dir = fs::temp_directory_path() / ("km740-portwin-" + std::to_string(::getpid()));
    fs::path mapFile = dir / "ports.ini";
    std::vector<std::string> probed;
    Fixture()
    {
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    ~Fixture() { fs::remove_all(dir); }

    PortWindow::Options options()
    {
        PortWindow::Options o;
        o.mapFile = mapFile;
        // COM3 free, the user's COM5 held by another program: both present.
        o.prober = [this](const std::string& dev) {
            probed.push_back(dev);
            return dev == "/dev/ttyS2" || dev == "/dev/ttyUSB0" ? ProbeResult::present
                                                                : ProbeResult::absent;
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
    QTRY_VERIFY_WITH_TIMEOUT(!w.scanning(), 5000);
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
    QTRY_VERIFY_WITH_TIMEOUT(!empty.scanning(), 5000);
    EXPECT_EQ(empty.findChild<QComboBox*>("TxtCOM")->count(), 0);
    // The in-process meter is always there.
    none.simulatedPort = 1;
    PortWindow simulated(0, none);
    QTest::mouseClick(simulated.findChild<QPushButton*>("BtnAutoScan"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!simulated.scanning(), 5000);
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
    { std::ofstream(f.mapFile.string() + "-file") << "x"; }
    DeviceManagerWindow bad(dm.portMap(), fs::path(f.mapFile.string() + "-file") / "ports.ini",
                            f.options().lister);
    bad.findChild<QTableWidget*>("GridPorts")->selectRow(1);
    EXPECT_FALSE(bad.bindSelected(7));
    EXPECT_EQ(bad.portMap().device(3), "/dev/ttyUSB0");
}

TEST(SerialProbe, OpenBusyAndMissingDevices)
{
    EXPECT_EQ(probeSerialDevice("/dev/km740-no-such-port"), ProbeResult::absent);

    // A pseudo-terminal stands in for a serial port.
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    const std::string slave = ::ptsname(master);
    EXPECT_EQ(probeSerialDevice(slave), ProbeResult::present);

    // Held by another program (here: another port object): still present.
    QSerialPort holder;
    holder.setPortName(QString::fromStdString(slave));
    if (holder.open(QIODevice::ReadWrite)) {
        EXPECT_EQ(probeSerialDevice(slave), ProbeResult::present);
    }
    holder.close();
    ::close(master);
}
