#include "windows/statistics/report_table_model.h"

namespace tumblecast {

namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

bool ReportTableModel::show(const stats::ReportTable& table)
{
    if (table == m_table) return false;
    const bool reshaped =
        table.rows.size() != m_table.rows.size() || table.heads.size() != m_table.heads.size();
    if (reshaped) {
        beginResetModel();
        m_table = table;
        endResetModel();
        return true;
    }
    const bool newHeads = table.heads != m_table.heads;
    // The first and last rows that differ: a poll changes the counts of some bins, not the labels.
    int first = -1;
    int last = -1;
    for (std::size_t r = 0; r < table.rows.size(); ++r)
        if (table.rows[r] != m_table.rows[r]) {
            if (first < 0) first = static_cast<int>(r);
            last = static_cast<int>(r);
        }
    m_table = table;
    if (newHeads) emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
    if (first >= 0) emit dataChanged(index(first, 0), index(last, columnCount() - 1), {Qt::DisplayRole});
    return false;
}

int ReportTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_table.rows.size());
}

int ReportTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_table.heads.size());
}

QVariant ReportTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid()) return {};
    const auto& row = m_table.rows[static_cast<std::size_t>(index.row())];
    const auto column = static_cast<std::size_t>(index.column());
    if (column >= row.size()) return {};
    switch (role) {
        case Qt::DisplayRole:
            return qs(row[column].shown);
        case Qt::ToolTipRole:
            return row[column].exact.empty() ? QVariant() : QVariant(qs(row[column].exact));
        case Qt::TextAlignmentRole:
            return static_cast<int>(column == 0 ? Qt::AlignLeft | Qt::AlignVCenter
                                                : Qt::AlignRight | Qt::AlignVCenter);
        default:
            return {};
    }
}

QVariant ReportTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 ||
        static_cast<std::size_t>(section) >= m_table.heads.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    const stats::Cell& head = m_table.heads[static_cast<std::size_t>(section)];
    if (role == Qt::DisplayRole) return qs(head.shown);
    if (role == Qt::ToolTipRole && !head.exact.empty()) return qs(head.exact);
    return QAbstractTableModel::headerData(section, orientation, role);
}

}  // namespace tumblecast
