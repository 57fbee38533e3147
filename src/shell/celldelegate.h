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
    // The text the cell shows, without the rest of its drawing options.
    QString shownText(const QModelIndex &index) const;

private:
    // Money shows two decimals; anything else as it comes.
    QString shown(int column, const QString &text) const;

    QVector<CellKind> m_kinds;
};
