#include "stock/kucuncshfrm.h"

#include "shell/datagrid.h"
#include "shell/entrykeys.h"
#include "shell/messages.h"
#include "store/cursor.h"
#include "store/cursormodel.h"

#include <QLineEdit>
#include <QPushButton>

KucuncshFrm::KucuncshFrm(Store &store, QWidget *parent)
    : StockScreen(store, QStringLiteral("kucuncshfrm"), QStringLiteral("库存初始化"), 0, parent)
{
    Command2 = addButton(QStringLiteral("Command2"), QStringLiteral("添加"), 4095);
    Command3 = addButton(QStringLiteral("Command3"), QStringLiteral("删除"), 5190);
    Command4 = addButton(QStringLiteral("Command4"), QStringLiteral("全删"), 6285);

    connect(Command1, &QPushButton::clicked, this, &KucuncshFrm::search);
    connect(Command2, &QPushButton::clicked, this, &KucuncshFrm::addRow);
    connect(Command3, &QPushButton::clicked, this, &KucuncshFrm::deleteRow);
    connect(Command4, &QPushButton::clicked, this, &KucuncshFrm::deleteAllRows);
    EntryKeys::onEnter(Text1, [this] { search(); });

    showRows(Query(StockColumns::table));
}

void KucuncshFrm::search()
{
    saveGridEdits();
    showRows(Query(StockColumns::table, codeOrNameStarting(Text1->text())));
}

void KucuncshFrm::addRow()
{
    saveGridEdits();
    // The window writes only the empty code; the user types everything else into the cells.
    Data1->addNew();
    if (!Data1->setValue(StockColumns::code, QStringLiteral("")) || !Data1->update()) {
        Data1->cancelUpdate();
        reportCursorError();
        return;
    }
    // Stand on the new row, on its first cell, so that typing goes straight into it.
    Data1->last();
    const QModelIndex first = DBGrid1->cursorModel()->index(Data1->position(), 0);
    DBGrid1->setCurrentIndex(first);
    DBGrid1->scrollTo(first);
    DBGrid1->setFocus();
}

void KucuncshFrm::deleteRow()
{
    saveGridEdits();
    if (!requireCurrentRow())
        return;
    if (!Data1->remove())
        reportCursorError();
}

void KucuncshFrm::deleteAllRows()
{
    saveGridEdits();
    if (Data1->isEmpty()) {
        Messages::inform(this, QStringLiteral("列表中没有记录"));
        return;
    }
    if (!Messages::confirm(
            this, QStringLiteral("删除列表中的全部 %1 条库存记录吗？").arg(Data1->count())))
        return;

    // Either every listed row goes or, on a failure, none does.
    if (!Data1->removeAll())
        reportCursorError();
}
