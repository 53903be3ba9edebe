// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/panel/RealTimeListModel.h"

namespace km740 {

namespace {
QString latin1(std::string_view s)
{
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}
} // namespace

RealTimeListModel::RealTimeListModel(const RealTimeList& list, QObject* parent)
    : QAbstractTableModel(parent), list_(list), shown_(static_cast<int>(list.size()))
{
}

int RealTimeListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : shown_;
}

int RealTimeListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 3;
}

QVariant RealTimeListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= static_cast<int>(list_.size()))
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromStdString(list_.cell(static_cast<std::size_t>(index.row()), index.column()));
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    return {};
}

QVariant RealTimeListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case 0: return latin1(datafile::numberHeader);
    case 1: return latin1(datafile::dateTimeHeader);
    case 2: return latin1(datafile::levelHeader);
    default: return {};
    }
}

void RealTimeListModel::sync()
{
    const int now = static_cast<int>(list_.size());
    if (now == shown_)
        return;
    if (now < shown_) {
        beginResetModel();
        shown_ = now;
        endResetModel();
        return;
    }
    beginInsertRows({}, shown_, now - 1);
    shown_ = now;
    endInsertRows();
}

void RealTimeListModel::resetAll()
{
    beginResetModel();
    shown_ = static_cast<int>(list_.size());
    endResetModel();
}

} // namespace km740
