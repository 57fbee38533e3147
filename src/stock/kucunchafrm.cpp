#include "stock/kucunchafrm.h"

#include "shell/datagrid.h"
#include "shell/entrykeys.h"
#include "shell/gridexport.h"
#include "shell/messages.h"
#include "store/store.h"
#include "store/values.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

QLineEdit *makeTotalBox(QLineEdit *box)
{
    // The totals are the window's answer, not an input.
    box->setReadOnly(true);
    box->setAlignment(Qt::AlignRight);
    box->setText(QStringLiteral("0"));
    return box;
}

} // namespace

KucunchaFrm::KucunchaFrm(Store &store, QWidget *parent)
    : StockScreen(store, QStringLiteral("kucunchafrm"), QStringLiteral("库存查询"), 120, parent)
{
    Command2 = addButton(QStringLiteral("Command2"), QStringLiteral("全部"), 4095);
    Label2 = addLabel(QStringLiteral("Label2"), QStringLiteral("品种"), 5160, 480);
    Text2 = makeTotalBox(addBox(QStringLiteral("Text2"), 5700, 720));
    Label3 = addLabel(QStringLiteral("Label3"), QStringLiteral("占用资金"), 6420, 900);
    Text3 = makeTotalBox(addBox(QStringLiteral("Text3"), 7380, 1155));
    DBGrid1->exporter()->setTotals(
        GridExport::boxTotals({{Label2->text(), Text2}, {Label3->text(), Text3}}));

    connect(Command1, &QPushButton::clicked, this, &KucunchaFrm::search);
    connect(Command2, &QPushButton::clicked, this, &KucunchaFrm::showAll);
    EntryKeys::onEnter(Text1, [this] { search(); });

    showAll();
}

void KucunchaFrm::showAll()
{
    showStock(Filter());
}

void KucunchaFrm::search()
{
    // No wildcard is added: the code or name must equal the text unless it holds "*" or "?".
    showStock(codeOrNameMatching(Text1->text()));
}

void KucunchaFrm::showStock(const Filter &filter)
{
    saveGridEdits();
    const Query query(StockColumns::table, filter);
    // Both totals in one pass of the engine keep the window quick on a large stock table.
    const QVariantList totals = store().totals(query, {{Store::Total::Count, StockColumns::code},
                                                       {Store::Total::Sum, StockColumns::value}});
    if (totals.size() != 2) {
        Messages::inform(this, store().lastError().text());
        return;
    }
    Text2->setText(QString::number(totals[0].toLongLong()));
    Text3->setText(Values::sumText(totals[1]));
    showRows(query);
}
