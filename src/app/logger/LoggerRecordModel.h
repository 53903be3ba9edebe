// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/files/DataFile.h"

#include <QAbstractTableModel>

#include <memory>

namespace km740 {

// The record grids GridN(0..3) of a logger list as the columns of one
// table: "No.s", Date Time, Dose and TWA of a dose set, or "No.s", Date Time
// and "dB" of a level set. It reads the decoded set in place, so a list of
// any length costs no per-row objects.
class LoggerRecordModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit LoggerRecordModel(std::shared_ptr<const DataFile> file, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    std::shared_ptr<const DataFile> file_;
};

} // namespace km740
