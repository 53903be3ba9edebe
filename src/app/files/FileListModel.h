// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/common/Regional.h"
#include "core/exposure/PlotInputs.h"
#include "core/lists/FileListTable.h"

#include <QAbstractTableModel>

#include <memory>

namespace km740 {

// The record grids GridN(0), GridN(1), ... of a file list window as the
// columns of one model over the opened file: rows stay aligned by
// construction and a cell's text is made only when the view paints it.
class FileListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    FileListModel(FileListKind window, QObject* parent = nullptr);

    void setTable(std::shared_ptr<const FileListTable> table, const Regional& regional);
    const FileListTable* table() const { return table_.get(); }
    // Every cell may read differently now (rows left out, running columns).
    void refresh();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    FileListKind window_;
    std::shared_ptr<const FileListTable> table_;
    Regional regional_;
};

} // namespace km740
