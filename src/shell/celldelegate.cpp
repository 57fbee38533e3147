#include "shell/celldelegate.h"

#include "store/cursor.h"
#include "store/schema.h"
#include "store/values.h"

QVector<CellKind> cellKinds(const Cursor &cursor)
{
    QVector<CellKind> kinds;
    const TableDef *table = Schema::table(cursor.source().table);
    for (const QString &name : cursor.columnNames()) {
        const ColumnDef *column = table ? table->column(name) : nullptr;
        if (!column || column->kind != ColumnKind::Number)
            kinds.append(CellKind::Text);
        else
            kinds.append(column->money ? CellKind::Money : CellKind::Number);
    }
    return kinds;
}

void CellDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    const CellKind kind = m_kinds.value(index.column(), CellKind::Text);
    if (kind == CellKind::Text)
        return;
    option->displayAlignment = Qt::AlignRight | Qt::AlignVCenter;
    if (kind == CellKind::Money && option->features.testFlag(QStyleOptionViewItem::HasDisplay)) {
        if (const auto amount = Values::parseNumber(option->text))
            option->text = Values::money(*amount);
    }
}
