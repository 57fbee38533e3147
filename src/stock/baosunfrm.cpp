#include "stock/baosunfrm.h"

#include "shell/entrykeys.h"
#include "shell/messages.h"
#include "store/cursor.h"
#include "store/store.h"
#include "store/values.h"

#include <QLineEdit>
#include <QPushButton>
#include <cmath>

namespace {

// Quantities are kept to six decimals so that 0.3 − 0.1 stores as 0.2, not as binary noise.
double roundedQuantity(double quantity)
{
    return std::round(quantity * 1e6) / 1e6;
}

} // namespace

BaosunFrm::BaosunFrm(Store &store, QWidget *parent)
    : StockScreen(store, QStringLiteral("baosunfrm"), QStringLiteral("库存报损"), 120, parent)
{
    Label2 = addLabel(QStringLiteral("Label2"), QStringLiteral("报损数量"), 4035, 900);
    Text2 = addBox(QStringLiteral("Text2"), 4995, 1080);
    Text2->setText(QStringLiteral("0"));
    Command2 = addButton(QStringLiteral("Command2"), QStringLiteral("添加"), 6195);
    Command3 = addButton(QStringLiteral("Command3"), QStringLiteral("全损"), 7290);

    connect(Command1, &QPushButton::clicked, this, &BaosunFrm::search);
    connect(Command2, &QPushButton::clicked, this, &BaosunFrm::writeOffQuantity);
    connect(Command3, &QPushButton::clicked, this, &BaosunFrm::writeOffRow);
    EntryKeys::onEnter(Text1, [this] { search(); });

    showRows(Query(StockColumns::table));
}

void BaosunFrm::search()
{
    saveGridEdits();
    showRows(Query(StockColumns::table, codeOrNameStarting(Text1->text())));
}

std::optional<double> BaosunFrm::quantityToWriteOff()
{
    const QString text = Text2->text().trimmed();
    if (text.isEmpty()) {
        Messages::inform(this, QStringLiteral("请输入报损数量"));
        return std::nullopt;
    }
    const std::optional<double> quantity = Values::parseNumber(text);
    if (!quantity) {
        Messages::inform(this, QStringLiteral("报损数量必须是数字"));
        return std::nullopt;
    }
    if (*quantity <= 0) {
        Messages::inform(this, QStringLiteral("报损数量必须大于0"));
        return std::nullopt;
    }
    if (!requireCurrentRow())
        return std::nullopt;
    return quantity;
}

bool BaosunFrm::canWriteOff(double quantity)
{
    if (Data1->value(StockColumns::cost).isNull()) {
        Messages::inform(this, QStringLiteral("该记录没有进价，不能报损"));
        return false;
    }
    // A row without a quantity has nothing on hand.
    const double onHand = Data1->value(StockColumns::quantity).toDouble();
    if (roundedQuantity(onHand - quantity) < 0) {
        Messages::inform(this, QStringLiteral("报损数量超过库存数量"));
        return false;
    }
    return true;
}

void BaosunFrm::writeOffQuantity()
{
    saveGridEdits();
    const std::optional<double> quantity = quantityToWriteOff();
    if (!quantity)
        return;
    // The new quantity is computed from the row as stored now, not as this window read it:
    // a posting may have raised it since. The batch itself must still be the one shown.
    Transaction transaction(store());
    if (!Data1->reread(StockColumns::batchIdentity) || !canWriteOff(*quantity)) {
        if (!Data1->lastError().isEmpty())
            reportCursorError();
        return;
    }
    const double left =
        roundedQuantity(Data1->value(StockColumns::quantity).toDouble() - *quantity);
    const double cost = Data1->value(StockColumns::cost).toDouble();
    if (!Data1->edit() || !Data1->setValue(StockColumns::quantity, left)
        || !Data1->setValue(StockColumns::value, Values::money(left * cost))
        || !Data1->update() || !transaction.commit()) {
        Data1->cancelUpdate();
        reportCursorError();
    }
}

void BaosunFrm::writeOffRow()
{
    saveGridEdits();
    if (!requireCurrentRow())
        return;
    if (!Data1->remove())
        reportCursorError();
}
