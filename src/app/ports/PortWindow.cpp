// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ports/PortWindow.h"
#include "app/ui/ReaderNames.h"

#include "app/ui/KeyHints.h"

#include "core/common/Twips.h"
#include "app/ports/DeviceManagerWindow.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace km740 {

PortWindow::PortWindow(int portNumber, QWidget* parent) : PortWindow(portNumber, Options{}, parent) {}

PortWindow::PortWindow(int portNumber, Options options, QWidget* parent)
    : QWidget(parent), options_(std::move(options)), portNumber_(portNumber)
{
    setObjectName(QStringLiteral("Port"));
    addCloseKeys(this, true);
    setWindowTitle(QStringLiteral("COM Port"));
    if (options_.mapFile.empty())
        options_.mapFile = defaultPortMapFile();
    if (!options_.prober)
        options_.prober = probeSerialDevice;
    if (!options_.lister)
        options_.lister = listSerialPorts;

    // A damaged map is read as far as it goes; the defaults fill the rest.
    if (auto loaded = loadPortMap(options_.mapFile))
        map_ = loaded->map;

    TxtCOM = new QComboBox(this);
    TxtCOM->setObjectName(QStringLiteral("TxtCOM"));
    nameComboBox(TxtCOM, tr("Port"));
    TxtCOM->setEditable(true);
    TxtCOM->setInsertPolicy(QComboBox::NoInsert);
    TxtCOM->setMinimumContentsLength(10);
    BtnAutoScan = new QPushButton(QStringLiteral("AutoScan"), this);
    BtnAutoScan->setObjectName(QStringLiteral("BtnAutoScan"));
    BtnReset = new QPushButton(QStringLiteral("Reset"), this);
    BtnReset->setObjectName(QStringLiteral("BtnReset"));
    BtnDeviceManager = new QPushButton(QStringLiteral("Device Manager"), this);
    BtnDeviceManager->setObjectName(QStringLiteral("BtnDeviceManager"));
    CmdOK = new QPushButton(QStringLiteral("OK"), this);
    CmdOK->setObjectName(QStringLiteral("CmdOK"));
    CmdOK->setDefault(true);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setAccessibleName(tr("Port scan progress"));
    ProgressBar1->setRange(0, PortMap::kPortCount);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);

    auto* grid = new QGridLayout(this);
    grid->addWidget(TxtCOM, 0, 0);
    grid->addWidget(CmdOK, 0, 1);
    grid->addWidget(BtnAutoScan, 1, 0);
    grid->addWidget(BtnReset, 1, 1);
    grid->addWidget(BtnDeviceManager, 2, 0, 1, 2);
    grid->addWidget(ProgressBar1, 3, 0, 1, 2);

    connect(BtnReset, &QPushButton::clicked, this, &PortWindow::onBtnResetClicked);
    connect(BtnAutoScan, &QPushButton::clicked, this, &PortWindow::onBtnAutoScanClicked);
    connect(BtnDeviceManager, &QPushButton::clicked, this, &PortWindow::onBtnDeviceManagerClicked);
    connect(CmdOK, &QPushButton::clicked, this, &PortWindow::onCmdOKClicked);

    move(twipsToPixels(3700), twipsToPixels(2700));
    onBtnResetClicked();
    TxtCOM->setCurrentIndex(0);
}

void PortWindow::onBtnResetClicked()
{
    if (scanning())
        return;
    TxtCOM->clear();
    for (int n = 1; n <= PortMap::kPortCount; ++n)
        TxtCOM->addItem(QString::fromStdString(comName(n)));
    TxtCOM->setCurrentIndex(0);
}

void PortWindow::onBtnAutoScanClicked()
{
    if (scanning())
        return;
    // One port per turn of the event loop, so the bar moves and the window
    // stays responsive while devices are opened.
    TxtCOM->clear();
    found_.clear();
    ProgressBar1->setMaximum(PortMap::kPortCount);
    for (QPushButton* b : {BtnAutoScan, BtnReset, BtnDeviceManager, CmdOK})
        b->setEnabled(false);
    scanNext_ = 1;
    QTimer::singleShot(0, this, &PortWindow::scanStep);
}

void PortWindow::scanStep()
{
    const int n = scanNext_;
    ProgressBar1->setValue(n);
    if (n == options_.simulatedPort || options_.prober(map_.device(n)) == ProbeResult::present) {
        found_.push_back(n);
        TxtCOM->addItem(QString::fromStdString(comName(n)));
    }
    if (n >= PortMap::kPortCount) {
        finishScan();
        return;
    }
    scanNext_ = n + 1;
    QTimer::singleShot(0, this, &PortWindow::scanStep);
}

void PortWindow::finishScan()
{
    scanNext_ = 0;
    for (QPushButton* b : {BtnAutoScan, BtnReset, BtnDeviceManager, CmdOK})
        b->setEnabled(true);
    if (TxtCOM->count() > 0)
        TxtCOM->setCurrentIndex(0);
    else
        TxtCOM->setEditText(QString());
}

void PortWindow::onBtnDeviceManagerClicked()
{
    DeviceManagerWindow dm(map_, options_.mapFile, options_.lister, this);
    dm.exec();
    map_ = dm.portMap();
}

void PortWindow::onCmdOKClicked()
{
    if (scanning())
        return;
    portNumber_ = portNumberFromChoice(TxtCOM->currentText().toStdString(), portNumber_);
    emit accepted(portNumber_, QString::fromStdString(map_.device(portNumber_)));
    close();
}

} // namespace km740
