// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/recording/RealTimeList.h"

#include <QAbstractTableModel>

namespace km740 {

// The real-time list as three columns of one table (the list's GridN(0..2)):
// number, date and time, level. The list grows outside the model; sync()
// tells the views what changed.
class RealTimeListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit RealTimeListModel(const RealTimeList& list, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Call after the list changed: rows added at the end, or emptied.
    void sync();
    // Call after rows were put back in front: the views start over.
    void resetAll();

private:
    const RealTimeList& list_;
    int shown_ = 0;
};

} // namespace km740
