#pragma once

#include "shell/celldelegate.h"

#include <QAbstractTableModel>
#include <QTableView>
#include <QVariantList>
#include <QVector>

// One column of a report: its caption, how its cells show, and its width in twips.
struct ReportColumn
{
    QString caption;
    CellKind kind;
    int widthTwips;
};

// The rows of a computed list, read only. Marked rows show in red.
class ReportModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    ReportModel(const QVector<ReportColumn> &columns, QObject *parent = nullptr);

    const QVector<ReportColumn> &columns() const { return m_columns; }
    // Replaces every row; `marked` holds the indexes of the rows shown in red.
    void setRows(const QVector<QVariantList> &rows, const QVector<int> &marked = {});
    bool isMarked(int row) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    QVector<ReportColumn> m_columns;
    QVector<QVariantList> m_rows;
    QVector<bool> m_marked;
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
