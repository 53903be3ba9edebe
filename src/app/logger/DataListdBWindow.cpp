// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/logger/DataListdBWindow.h"

#include <QAction>
#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

namespace km740 {

DataListdBWindow::DataListdBWindow(AppState& state, FileChooser chooser, QWidget* panel)
    : LoggerListWindow(QStringLiteral("DataListdB"), QStringLiteral("Data List"), state, std::move(chooser), panel)
{
    summaryModel_ = new QStandardItemModel(0, 2, this);
    summaryModel_->setHorizontalHeaderLabels({QStringLiteral("Dose"), QStringLiteral("TWA")});
    GridSummary = new QTableView(this);
    GridSummary->setObjectName(QStringLiteral("GridSummary"));
    GridSummary->setAccessibleName(tr("Dose and TWA of the set"));
    GridSummary->setToolTip(tr("Click to save the list"));
    GridSummary->setModel(summaryModel_);
    GridSummary->verticalHeader()->hide();
    GridSummary->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GridSummary->setSelectionMode(QAbstractItemView::NoSelection);
    GridSummary->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    GridSummary->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const QFontMetrics fm(GridSummary->font());
    GridSummary->setColumnWidth(0, fm.horizontalAdvance(QStringLiteral("AAAAAAAAAAAA")) + 16);
    GridSummary->setColumnWidth(1, fm.horizontalAdvance(QStringLiteral("AAAAAAAAAAA")) + 16);
    GridSummary->setFixedHeight(GridSummary->horizontalHeader()->sizeHint().height() + fm.height() + 12);
    GridSummary->setFixedWidth(GridSummary->columnWidth(0) + GridSummary->columnWidth(1) +
                               2 * GridSummary->frameWidth());
    connect(GridSummary, &QTableView::clicked, this, [this] { onSaveClicked(); });
    listColumn()->insertWidget(0, GridSummary);
    setRecordColumnWidths({QStringLiteral("ABCADE"), QStringLiteral("AAAA/AA/AAHH:NN:SS"), QStringLiteral("AAAAA")});
    ExposureAction = toolbar()->addAction(tr("Exposure"));
    ExposureAction->setObjectName(QStringLiteral("Exposure"));
    ExposureAction->setToolTip(tr("Exposure Summary"));
    ExposureAction->setEnabled(false);
    connect(ExposureAction, &QAction::triggered, this, &DataListdBWindow::onExposureClicked);
    placeBelowPanel(60, 40);
}

void DataListdBWindow::setExposureSink(ExposureSink sink)
{
    exposureSink_ = std::move(sink);
    ExposureAction->setEnabled(bool(exposureSink_));
}

void DataListdBWindow::onExposureClicked()
{
    const auto* level = hasSet() ? std::get_if<LevelLoggerFile>(&decoded()) : nullptr;
    if (!level || !exposureSink_)
        return;
    ExposureRequest request;
    request.from = this;
    request.caption = caption();
    request.kind = DataFileKind::levelLogger;
    request.settings = level->settings;
    request.records = std::make_shared<const std::vector<LevelRecord>>(level->records);
    exposureSink_(request);
}

void DataListdBWindow::showKindExtras(const DataFile& file)
{
    summaryModel_->removeRows(0, summaryModel_->rowCount());
    if (const auto* level = std::get_if<LevelLoggerFile>(&file))
        summaryModel_->appendRow({new QStandardItem(QString::fromStdString(level->summary.dose)),
                                  new QStandardItem(QString::fromStdString(level->summary.twa))});
}

} // namespace km740
