#include "insight/xiaoqifrm.h"

#include "insight/reportgrid.h"
#include "insight/viewparts.h"
#include "shell/entrykeys.h"
#include "shell/formcontrols.h"
#include "shell/messages.h"
#include "shell/twips.h"
#include "store/clock.h"
#include "store/insightqueries.h"
#include "store/values.h"

#include <QBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace InsightQueries;

namespace {

QVector<ReportColumn> batchColumns(bool withDaysLeft)
{
    QVector<ReportColumn> columns = {
        {QStringLiteral("编号"), CellKind::Text, 900},
        {QStringLiteral("品名"), CellKind::Text, 1200},
        {QStringLiteral("规格"), CellKind::Text, 700},
        {QStringLiteral("产地"), CellKind::Text, 700},
        {QStringLiteral("批号"), CellKind::Text, 900},
        {QStringLiteral("有效期"), CellKind::Text, 1100},
    };
    if (withDaysLeft)
        columns.append({QStringLiteral("剩余天数"), CellKind::Number, 900});
    columns += {
        {QStringLiteral("单位"), CellKind::Text, 500},
        {QStringLiteral("库存数量"), CellKind::Number, 900},
        {QStringLiteral("进价金额"), CellKind::Money, 1000},
        {QStringLiteral("库房"), CellKind::Text, 700},
    };
    return columns;
}

QVariantList cells(const ExpiringBatch &batch, const QVariant &daysLeft)
{
    QVariantList row = {batch.code, batch.name, batch.grade, batch.origin, batch.batch,
                        batch.expiryText};
    if (daysLeft.isValid())
        row << daysLeft;
    row << batch.unit << batch.quantity << batch.value << batch.storeRoom;
    return row;
}

} // namespace

XiaoqiFrm::XiaoqiFrm(Store &store, QWidget *parent)
    : ChildScreen(store, QStringLiteral("xiaoqifrm"), QStringLiteral("近效期查询"), 9795, 6840,
                  parent)
{
    buildControls();
    connect(Command1, &QPushButton::clicked, this, &XiaoqiFrm::query);
    EntryKeys::onEnter(Text1, [this] { query(); });
    Text1->setText(QString::number(nearExpiryDays(store)));
    query();
}

void XiaoqiFrm::buildControls()
{
    using namespace FormControls;
    auto *page = new QVBoxLayout(this);

    auto *queryRow = new QHBoxLayout;
    Label1 = label(this, QStringLiteral("Label1"), QStringLiteral("近效期天数"), QRect());
    Text1 = textBox(this, QStringLiteral("Text1"), QRect());
    Text1->setValidator(new QIntValidator(0, MaxNearDays, Text1));
    Text1->setFixedWidth(twips(900));
    Command1 = button(this, QStringLiteral("Command1"), QStringLiteral("查询"), QRect());
    queryRow->addWidget(Label1);
    queryRow->addWidget(Text1);
    queryRow->addWidget(Command1);
    queryRow->addStretch();
    page->addLayout(queryRow);

    DBGrid1 = new ReportGrid(batchColumns(true), QStringLiteral("DBGrid1"), this);
    page->addWidget(DBGrid1, 3);

    auto *totalsRow = new QHBoxLayout;
    using ViewParts::addTotal;
    Text2 = addTotal(totalsRow, this, QStringLiteral("Label2"), QStringLiteral("批次"),
                     QStringLiteral("Text2"), 900);
    Text3 = addTotal(totalsRow, this, QStringLiteral("Label3"), QStringLiteral("已过期"),
                     QStringLiteral("Text3"), 900);
    Text4 = addTotal(totalsRow, this, QStringLiteral("Label4"), QStringLiteral("数量合计"),
                     QStringLiteral("Text4"), 1300);
    Text5 = addTotal(totalsRow, this, QStringLiteral("Label5"), QStringLiteral("金额合计"),
                     QStringLiteral("Text5"), 1500);
    totalsRow->addStretch();
    page->addLayout(totalsRow);

    Label6 = label(this, QStringLiteral("Label6"), QStringLiteral("有效期无法识别"), QRect());
    page->addWidget(Label6);
    DBGrid2 = new ReportGrid(batchColumns(false), QStringLiteral("DBGrid2"), this);
    page->addWidget(DBGrid2, 1);
}

void XiaoqiFrm::query()
{
    bool typed = false;
    const int nearDays = Text1->text().toInt(&typed);
    if (!typed || nearDays < 0 || nearDays > MaxNearDays) {
        Messages::inform(this, QStringLiteral("近效期天数应为 0 到 %1 的整数").arg(MaxNearDays));
        Text1->setFocus();
        return;
    }
    StoreError error;
    if (nearDays != nearExpiryDays(store()) && !setNearExpiryDays(store(), nearDays, &error)) {
        Messages::inform(this, error.text());
        return;
    }
    const std::optional<ExpiryList> list =
        expiringBatches(store(), Clock::today(), nearDays, &error);
    if (!list) {
        Messages::inform(this, error.text());
        return;
    }
    showBatches(*list);
}

void XiaoqiFrm::showBatches(const ExpiryList &list)
{
    const QDate today = Clock::today();
    QVector<QVariantList> rows;
    QVector<int> expired;
    double quantity = 0;
    double value = 0;
    for (const ExpiringBatch &batch : list.dated) {
        const qint64 daysLeft = today.daysTo(batch.expiry);
        if (daysLeft < 0)
            expired << int(rows.size());
        rows << cells(batch, daysLeft);
        quantity += batch.quantity;
        value += batch.value.toDouble();
    }
    DBGrid1->report()->setRows(rows, expired);
    Text2->setText(QString::number(rows.size()));
    Text3->setText(QString::number(expired.size()));
    Text4->setText(Values::plainNumber(quantity));
    Text5->setText(Values::money(value));

    QVector<QVariantList> unreadable;
    for (const ExpiringBatch &batch : list.unreadable)
        unreadable << cells(batch, QVariant());
    DBGrid2->report()->setRows(unreadable);
    Label6->setText(QStringLiteral("有效期无法识别（%1 批）").arg(unreadable.size()));
}
