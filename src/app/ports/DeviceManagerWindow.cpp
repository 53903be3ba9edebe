// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ports/DeviceManagerWindow.h"
#include "app/ui/ReaderNames.h"

#include "app/ui/KeyHints.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace km740 {

namespace {
enum Column { colDevice, colDescription, colUsb, colCom, colCount };
}

DeviceManagerWindow::DeviceManagerWindow(PortMap map, std::filesystem::path mapFile, SerialPortLister lister,
                                         QWidget* parent)
    : QDialog(parent), map_(std::move(map)), mapFile_(std::move(mapFile)), lister_(std::move(lister))
{
    setObjectName(QStringLiteral("DeviceManager"));
    addCloseKeys(this, true);
    setWindowTitle(tr("Device Manager"));
    if (!lister_)
        lister_ = listSerialPorts;

    GridPorts = new QTableWidget(0, colCount, this);
    GridPorts->setObjectName(QStringLiteral("GridPorts"));
    GridPorts->setAccessibleName(tr("Serial ports"));
    GridPorts->setHorizontalHeaderLabels({tr("Port"), tr("Description"), tr("USB ids"), tr("COM")});
    GridPorts->setSelectionBehavior(QAbstractItemView::SelectRows);
    GridPorts->setSelectionMode(QAbstractItemView::SingleSelection);
    GridPorts->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GridPorts->verticalHeader()->hide();
    GridPorts->horizontalHeader()->setStretchLastSection(true);

    ComboCOM = new QComboBox(this);
    ComboCOM->setObjectName(QStringLiteral("ComboCOM"));
    nameComboBox(ComboCOM, tr("COM number"));
    for (int n = 1; n <= PortMap::kPortCount; ++n)
        ComboCOM->addItem(QString::fromStdString(comName(n)), n);
    CmdBind = new QPushButton(tr("Bind"), this);
    CmdBind->setObjectName(QStringLiteral("CmdBind"));
    CmdRefresh = new QPushButton(tr("Refresh"), this);
    CmdRefresh->setObjectName(QStringLiteral("CmdRefresh"));
    CmdClose = new QPushButton(tr("Close"), this);
    CmdClose->setObjectName(QStringLiteral("CmdClose"));
    LblStatus = new QLabel(this);
    LblStatus->setObjectName(QStringLiteral("LblStatus"));
    LblStatus->setWordWrap(true);

    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(tr("Selected port is"), this));
    row->addWidget(ComboCOM);
    row->addWidget(CmdBind);
    row->addStretch();
    row->addWidget(CmdRefresh);
    row->addWidget(CmdClose);
    auto* box = new QVBoxLayout(this);
    box->addWidget(GridPorts);
    box->addLayout(row);
    box->addWidget(LblStatus);

    connect(CmdBind, &QPushButton::clicked, this, [this] { bindSelected(ComboCOM->currentData().toInt()); });
    connect(CmdRefresh, &QPushButton::clicked, this, &DeviceManagerWindow::refresh);
    connect(CmdClose, &QPushButton::clicked, this, &QDialog::accept);
    connect(GridPorts, &QTableWidget::itemSelectionChanged, this, &DeviceManagerWindow::onRowChanged);

    resize(640, 300);
    refresh();
}

void DeviceManagerWindow::refresh()
{
    const int selected = GridPorts->currentRow();
    ports_ = lister_();
    GridPorts->setRowCount(static_cast<int>(ports_.size()));
    for (int r = 0; r < ports_.size(); ++r) {
        const SerialPortEntry& p = ports_[r];
        auto com = map_.comFor(p.device.toStdString());
        const QString cells[colCount] = {p.device,
                                         p.manufacturer.isEmpty() || p.description.contains(p.manufacturer)
                                             ? p.description
                                             : p.description + QStringLiteral(" (") + p.manufacturer +
                                                   QStringLiteral(")"),
                                         p.usbIds, com ? QString::fromStdString(comName(*com)) : QString()};
        for (int c = 0; c < colCount; ++c)
            GridPorts->setItem(r, c, new QTableWidgetItem(cells[c]));
    }
    GridPorts->resizeColumnsToContents();
    GridPorts->horizontalHeader()->setStretchLastSection(true);
    if (ports_.isEmpty())
        LblStatus->setText(tr("No serial port found."));
    if (selected >= 0 && selected < ports_.size())
        GridPorts->selectRow(selected);
    else if (!ports_.isEmpty())
        GridPorts->selectRow(0);
    CmdBind->setEnabled(!ports_.isEmpty());
}

void DeviceManagerWindow::onRowChanged()
{
    const int r = GridPorts->currentRow();
    if (r < 0 || r >= ports_.size())
        return;
    if (auto com = map_.comFor(ports_[r].device.toStdString()))
        ComboCOM->setCurrentIndex(*com - 1);
}

bool DeviceManagerWindow::bindSelected(int com)
{
    const int r = GridPorts->currentRow();
    if (r < 0 || r >= ports_.size())
        return false;
    const QString device = ports_[r].device;
    PortMap changed = map_;
    if (!changed.bind(com, device.toStdString())) {
        LblStatus->setText(tr("%1 cannot be bound to %2.").arg(device, QString::fromStdString(comName(com))));
        return false;
    }
    if (Status saved = savePortMap(mapFile_, changed); !saved) {
        LblStatus->setText(QString::fromStdString(saved.error().message));
        return false;
    }
    map_ = changed;
    LblStatus->setText(
        tr("%1 is now %2 (saved in %3).")
            .arg(device, QString::fromStdString(comName(com)), QString::fromStdString(mapFile_.string())));
    refresh();
    return true;
}

} // namespace km740
