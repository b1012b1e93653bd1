#pragma once

#include <QAbstractTableModel>

#include "stats/roll_report.h"

namespace tumblecast {

// A table of the statistics report as Qt's views read it: the view draws it and a screen reader reads every
// cell through it. The first column labels its row; the others are figures, aligned right. A cell or head
// whose exact figure or notation differs from what it shows carries it as its tooltip.
class ReportTableModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    // Shows table in place of the last one. True when its rows or columns changed, so that the view may
    // size its columns again; else only the cells that changed are redrawn.
    bool show(const stats::ReportTable& table);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    stats::ReportTable m_table;
};

}  // namespace tumblecast
