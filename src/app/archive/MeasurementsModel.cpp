// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/archive/MeasurementsModel.h"

#include "app/ui/QtText.h"

namespace km740 {

namespace {

QString level(const std::optional<double>& v, const Regional& regional)
{
    return v ? q(formatFixed(*v, 1, regional)) : QStringLiteral("-");
}

QString duration(std::int64_t s)
{
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600)
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

QVariant optionalNumber(const std::optional<double>& v)
{
    // Rows without a value sort below every level.
    return v ? QVariant(*v) : QVariant(-1.0e9);
}

} // namespace

QString worstJudgement(const Measurement& m, const Regional& regional)
{
    if (!m.worstDose)
        return {};
    return q(m.worstStandard) + QLatin1Char(' ') + q(formatFixed(*m.worstDose, 1, regional)) + QStringLiteral(" %");
}

MeasurementsModel::MeasurementsModel(QObject* parent) : QAbstractTableModel(parent) {}

void MeasurementsModel::setRows(std::vector<Measurement> rows, const Regional& regional)
{
    beginResetModel();
    rows_ = std::move(rows);
    regional_ = regional;
    endResetModel();
}

int MeasurementsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int MeasurementsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant MeasurementsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const Measurement& m = at(index.row());
    if (role == Qt::TextAlignmentRole)
        return index.column() >= Duration && index.column() != Kind && index.column() != Worst
                   ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                   : QVariant();
    if (role == Qt::ToolTipRole)
        return q(m.fileName) + (m.labels.notes.empty() ? QString() : QStringLiteral("\n") + q(m.labels.notes));
    if (role != Qt::DisplayRole && role != SortRole)
        return {};
    const bool sort = role == SortRole;
    switch (index.column()) {
    case Person: return q(m.labels.person);
    case Sector: return q(m.labels.sector);
    case Company: return q(m.labels.company);
    case Start: {
        const QString t = m.facts.start ? q(formatLocalTime(*m.facts.start)) : QString();
        return sort ? t : QString(t).replace(QLatin1Char('T'), QLatin1Char(' '));
    }
    case Duration:
        return sort ? QVariant(static_cast<qlonglong>(m.facts.durationSeconds)) : duration(m.facts.durationSeconds);
    case Kind: return q(dataFileTitle(m.facts.kind));
    case Laeq: return sort ? optionalNumber(m.facts.laeq) : level(m.facts.laeq, regional_);
    case Lex8h: return sort ? optionalNumber(m.facts.lex8h) : level(m.facts.lex8h, regional_);
    case Worst: return sort ? optionalNumber(m.worstDose) : worstJudgement(m, regional_);
    default: return {};
    }
}

QVariant MeasurementsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char* const titles[ColumnCount] = {"Person", "Sector", "Company", "Start", "Duration",
                                                    "Kind",   "LAeq",   "LEX,8h",  "Worst"};
    return section >= 0 && section < ColumnCount ? QString::fromLatin1(titles[section]) : QVariant();
}

} // namespace km740
