#include "insight/reportgrid.h"

#include "shell/twips.h"
#include "store/values.h"

#include <QBrush>
#include <QHeaderView>

namespace {

// As in the data grids: rows as high as the text plus this margin.
constexpr int RowMargin = 4;

} // namespace

ReportModel::ReportModel(const QVector<ReportColumn> &columns, QObject *parent)
    : QAbstractTableModel(parent), m_columns(columns)
{
}

void ReportModel::setRows(int rows, const Cell &cell, const Mark &marked)
{
    beginResetModel();
    m_rows = rows;
    m_cell = cell;
    m_marked = marked;
    endResetModel();
}

bool ReportModel::isMarked(int row) const
{
    return m_marked && m_marked(row);
}

int ReportModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int ReportModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant ReportModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows)
        return QVariant();
    if (role == Qt::ForegroundRole)
        return isMarked(index.row()) ? QVariant(QBrush(Qt::red)) : QVariant();
    if (role != Qt::DisplayRole)
        return QVariant();
    const QVariant value = m_cell(index.row(), index.column());
    if (value.isNull())
        return QVariant();
    // Sums show in their plain form, without the binary noise of adding decimals.
    if (value.typeId() == QMetaType::Double)
        return Values::plainNumber(value.toDouble());
    return value.toString();
}

QVariant ReportModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return QVariant();
    return m_columns.value(section).caption;
}

ReportGrid::ReportGrid(const QVector<ReportColumn> &columns, const QString &name, QWidget *parent)
    : QTableView(parent), m_model(new ReportModel(columns, this))
{
    setObjectName(name);
    setModel(m_model);
    auto *delegate = new CellDelegate(this);
    QVector<CellKind> kinds;
    for (const ReportColumn &column : columns)
        kinds << column.kind;
    delegate->setColumnKinds(kinds);
    setItemDelegate(delegate);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setWordWrap(false);
    const int rowHeight = fontMetrics().height() + RowMargin;
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(rowHeight);
    verticalHeader()->setDefaultSectionSize(rowHeight);
    verticalHeader()->hide();
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    for (int column = 0; column < columns.size(); ++column)
        setColumnWidth(column, twips(columns.at(column).widthTwips));
    horizontalHeader()->setStretchLastSection(true);
}
