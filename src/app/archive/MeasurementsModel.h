// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/archive/Measurement.h"
#include "core/common/Regional.h"

#include <QAbstractTableModel>

#include <vector>

namespace km740 {

// The rows of the "Measurements" window. Display texts follow the regional
// decimal separator; sorting reads the values under them (SortRole).
class MeasurementsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Person, Sector, Company, Start, Duration, Kind, Laeq, Lex8h, Worst, ColumnCount };
    static constexpr int SortRole = Qt::UserRole + 1;

    explicit MeasurementsModel(QObject* parent = nullptr);

    void setRows(std::vector<Measurement> rows, const Regional& regional);
    const std::vector<Measurement>& rows() const { return rows_; }
    const Measurement& at(int row) const { return rows_.at(static_cast<std::size_t>(row)); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<Measurement> rows_;
    Regional regional_;
};

// "ISO85 131.9 %": the standard with the highest dose; empty without results.
QString worstJudgement(const Measurement& m, const Regional& regional);

} // namespace km740
