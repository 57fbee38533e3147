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
    if (option->features.testFlag(QStyleOptionViewItem::HasDisplay))
        option->text = shown(index.column(), option->text);
}

QString CellDelegate::shownText(const QModelIndex &index) const
{
    return shown(index.column(), index.data().toString());
}

QString CellDelegate::shown(int column, const QString &text) const
{
    if (m_kinds.value(column, CellKind::Text) == CellKind::Money) {
        if (const auto amount = Values::parseNumber(text))
            return Values::money(*amount);
    }
    return text;
}
