#pragma once

#include <QStyledItemDelegate>
#include <QVector>

class Cursor;

// How a grid shows the cells of a column: text as stored, numbers right-aligned, money also with
// two decimals.
enum class CellKind { Text, Number, Money };

// The kind of each column of the cursor's result, from the definition of its table.
QVector<CellKind> cellKinds(const Cursor &cursor);

// Draws and measures the cells of a grid by their column's kind. Only the shown text changes:
// an editor still gets the stored value.
class CellDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void setColumnKinds(const QVector<CellKind> &kinds) { m_kinds = kinds; }

    // Public, so that the text and alignment a cell is drawn with can be read back.
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;

private:
    QVector<CellKind> m_kinds;
};
