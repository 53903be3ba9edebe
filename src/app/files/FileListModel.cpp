// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/files/FileListModel.h"

#include "core/lists/FileListColumns.h"

#include <QBrush>
#include <QColor>

namespace km740 {

FileListModel::FileListModel(FileListKind window, QObject* parent) : QAbstractTableModel(parent), window_(window) {}

void FileListModel::setTable(std::shared_ptr<const FileListTable> table, const Regional& regional)
{
    beginResetModel();
    table_ = std::move(table);
    regional_ = regional;
    endResetModel();
}

void FileListModel::refresh()
{
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

int FileListModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !table_)
        return 0;
    return static_cast<int>(table_->rowCount());
}

int FileListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(listColumns(window_).size());
}

QVariant FileListModel::data(const QModelIndex& index, int role) const
{
    if (!table_ || !index.isValid())
        return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return QString::fromStdString(table_->cell(static_cast<std::size_t>(index.row()), index.column(), regional_));
    const auto row = static_cast<std::size_t>(index.row());
    // Rows left out of the exposure analysis keep their values, in grey.
    if (role == Qt::ForegroundRole && !table_->leftOut().empty() && table_->leftOut().contains(row))
        return QBrush(QColor(140, 140, 140));
    if (role == Qt::AccessibleDescriptionRole && !table_->leftOut().empty() && table_->leftOut().contains(row))
        return tr("left out of the exposure analysis");
    if (role == Qt::TextAlignmentRole)
        return (index.column() == 1 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignRight | Qt::AlignVCenter).toInt();
    return {};
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || (role != Qt::DisplayRole && role != Qt::AccessibleTextRole))
        return {};
    const auto columns = listColumns(window_);
    if (section < 0 || section >= static_cast<int>(columns.size()))
        return {};
    const std::string_view h = columns[static_cast<std::size_t>(section)].header;
    return QString::fromUtf8(h.data(), static_cast<qsizetype>(h.size()));
}

} // namespace km740
