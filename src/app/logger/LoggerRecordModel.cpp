// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/logger/LoggerRecordModel.h"
#include "app/ui/QtText.h"

namespace km740 {

LoggerRecordModel::LoggerRecordModel(std::shared_ptr<const DataFile> file, QObject* parent)
    : QAbstractTableModel(parent), file_(std::move(file))
{
}

int LoggerRecordModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return std::visit([](const auto& f) { return static_cast<int>(f.records.size()); }, *file_);
}

int LoggerRecordModel::columnCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return kindOf(*file_) == DataFileKind::doseLogger ? 4 : 3;
}

QVariant LoggerRecordModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == Qt::TextAlignmentRole)
        return index.column() == 1 ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                                   : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)
        return {};
    const auto row = static_cast<std::size_t>(index.row());
    if (const auto* dose = std::get_if<DoseLoggerFile>(file_.get())) {
        const DoseRow& r = dose->records[row];
        switch (index.column()) {
        case 0: return q(r.number);
        case 1: return q(r.dateTime);
        case 2: return q(r.dose);
        case 3: return q(r.twa);
        default: return {};
        }
    }
    if (const auto* level = std::get_if<LevelLoggerFile>(file_.get())) {
        const LevelRecord& r = level->records[row];
        switch (index.column()) {
        case 0: return QString::number(r.number);
        case 1: return q(r.dateTime);
        case 2: return q(r.level);
        default: return {};
        }
    }
    return {};
}

QVariant LoggerRecordModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || (role != Qt::DisplayRole && role != Qt::AccessibleTextRole))
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case 0: return q(datafile::numberHeader);
    case 1: return role == Qt::DisplayRole ? q(datafile::dateTimeHeader) : QStringLiteral("Date Time");
    case 2: return q(kindOf(*file_) == DataFileKind::doseLogger ? datafile::doseHeader : datafile::levelHeader);
    case 3: return q(datafile::twaHeader);
    default: return {};
    }
}

} // namespace km740
