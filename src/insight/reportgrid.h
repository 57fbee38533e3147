#pragma once

#include "shell/celldelegate.h"

#include <QAbstractTableModel>
#include <QTableView>
#include <QVector>
#include <functional>

// One column of a report: its caption, how its cells show, and its width in twips.
struct ReportColumn
{
    QString caption;
    CellKind kind;
    int widthTwips;
};

// The rows of a computed list, read only. A cell's value is asked for only when the cell is
// drawn, so that a list of tens of thousands of rows costs no more to show than its first page.
// Marked rows show in red.
class ReportModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    using Cell = std::function<QVariant(int row, int column)>;
    using Mark = std::function<bool(int row)>;

    ReportModel(const QVector<ReportColumn> &columns, QObject *parent = nullptr);

    const QVector<ReportColumn> &columns() const { return m_columns; }
    // Replaces every row: `cell` gives the values of `rows` rows, `marked` (when given) tells
    // the rows shown in red. Both are asked as long as the rows are shown.
    void setRows(int rows, const Cell &cell, const Mark &marked = {});
    bool isMarked(int row) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    QVector<ReportColumn> m_columns;
    int m_rows = 0;
    Cell m_cell;
    Mark m_marked;
};

// A read-only grid over a report: compact rows as in the data grids, whole rows selected,
// numbers right-aligned and money with two decimals, columns of the report's widths.
class ReportGrid : public QTableView
{
    Q_OBJECT

public:
    ReportGrid(const QVector<ReportColumn> &columns, const QString &name,
               QWidget *parent = nullptr);

    ReportModel *report() const { return m_model; }

private:
    ReportModel *m_model;
};
