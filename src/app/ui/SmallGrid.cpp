// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ui/SmallGrid.h"

#include <QHeaderView>
#include <QTableWidget>

namespace km740 {

QTableWidget* smallGrid(const QString& name, const QString& spoken, const QStringList& headers, QWidget* parent)
{
    auto* grid = new QTableWidget(0, static_cast<int>(headers.size()), parent);
    grid->setObjectName(name);
    grid->setAccessibleName(spoken);
    grid->setHorizontalHeaderLabels(headers);
    grid->verticalHeader()->hide();
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    return grid;
}

} // namespace km740
