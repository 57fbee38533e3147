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
#include <algorithm>

using namespace InsightQueries;

namespace {

// The columns of both grids; the days left stay empty for a date that does not read.
enum Column { Code, Name, Grade, Origin, Batch, Expiry, DaysLeft, Unit, Quantity, Value, Room };

const QVector<ReportColumn> &batchColumns()
{
    static const QVector<ReportColumn> columns = {
        {QStringLiteral("编号"), CellKind::Text, 900},
        {QStringLiteral("品名"), CellKind::Text, 1200},
        {QStringLiteral("规格"), CellKind::Text, 700},
        {QStringLiteral("产地"), CellKind::Text, 700},
        {QStringLiteral("批号"), CellKind::Text, 900},
        {QStringLiteral("有效期"), CellKind::Text, 1100},
        {QStringLiteral("剩余天数"), CellKind::Number, 900},
        {QStringLiteral("单位"), CellKind::Text, 500},
        {QStringLiteral("库存数量"), CellKind::Number, 900},
        {QStringLiteral("进价金额"), CellKind::Money, 1000},
        {QStringLiteral("库房"), CellKind::Text, 700},
    };
    return columns;
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

    DBGrid1 = new ReportGrid(batchColumns(), QStringLiteral("DBGrid1"), this);
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
    DBGrid2 = new ReportGrid(batchColumns(), QStringLiteral("DBGrid2"), this);
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
    const QDate today = Clock::today();
    std::optional<ExpiryList> list = expiringBatches(store(), today, nearDays, &error);
    if (!list) {
        Messages::inform(this, error.text());
        return;
    }
    m_batches = std::move(*list);
    m_today = today;
    m_texts.clear();
    showBatches();
}

void XiaoqiFrm::showBatches()
{
    int expired = 0;
    double quantity = 0;
    double value = 0;
    for (const ExpiringBatch &batch : m_batches.dated) {
        if (batch.expiry < m_today)
            ++expired;
        quantity += batch.quantity;
        value += batch.value.toDouble();
    }
    DBGrid1->report()->setRows(
        int(m_batches.dated.size()),
        [this](int row, int column) { return cell(m_batches.dated, row, column); },
        [this](int row) { return m_batches.dated.at(row).expiry < m_today; });
    Text2->setText(QString::number(m_batches.dated.size()));
    Text3->setText(QString::number(expired));
    Text4->setText(Values::plainNumber(quantity));
    Text5->setText(Values::money(value));

    DBGrid2->report()->setRows(int(m_batches.unreadable.size()), [this](int row, int column) {
        return cell(m_batches.unreadable, row, column);
    });
    Label6->setText(QStringLiteral("有效期无法识别（%1 批）").arg(m_batches.unreadable.size()));
}

QVariant XiaoqiFrm::cell(const QVector<ExpiringBatch> &batches, int row, int column) const
{
    const ExpiringBatch &batch = batches.at(row);
    switch (column) {
    case DaysLeft:
        return batch.expiry.isValid() ? QVariant(m_today.daysTo(batch.expiry)) : QVariant();
    case Quantity:
        return batch.quantity;
    case Value:
        return batch.value;
    }
    const BatchTexts &texts = textsOf(batches, row);
    switch (column) {
    case Code:
        return texts.code;
    case Name:
        return texts.name;
    case Grade:
        return texts.grade;
    case Origin:
        return texts.origin;
    case Batch:
        return texts.batch;
    case Expiry:
        return texts.expiryText;
    case Unit:
        return texts.unit;
    case Room:
        return texts.storeRoom;
    }
    return QVariant();
}

const BatchTexts &XiaoqiFrm::textsOf(const QVector<ExpiringBatch> &batches, int row) const
{
    constexpr int Behind = 16;
    constexpr int Ahead = 64;
    constexpr int KeptRows = 4000;
    const qint64 id = batches.at(row).id;
    const auto known = m_texts.constFind(id);
    if (known != m_texts.constEnd())
        return *known;
    if (m_texts.size() > KeptRows)
        m_texts.clear();
    QVector<qint64> ids;
    const int last = std::min(int(batches.size()), row + Ahead);
    for (int other = std::max(0, row - Behind); other < last; ++other) {
        if (!m_texts.contains(batches.at(other).id))
            ids << batches.at(other).id;
    }
    // A failed read or a row deleted since shows empty texts: the figures stay as listed.
    StoreError error;
    const auto read = batchTexts(store(), ids, &error);
    for (const qint64 wanted : std::as_const(ids))
        m_texts.insert(wanted, read ? read->value(wanted) : BatchTexts());
    return m_texts[id];
}
