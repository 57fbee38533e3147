#include "insight/yujingfrm.h"

#include "insight/reportgrid.h"
#include "insight/viewparts.h"
#include "shell/formcontrols.h"
#include "shell/messages.h"
#include "store/insightqueries.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace InsightQueries;

namespace {

const QVector<ReportColumn> &lowStockColumns()
{
    static const QVector<ReportColumn> columns = {
        {QStringLiteral("编号"), CellKind::Text, 800},
        {QStringLiteral("品名"), CellKind::Text, 1200},
        {QStringLiteral("库存数量"), CellKind::Number, 900},
        {QStringLiteral("下限"), CellKind::Number, 700},
        {QStringLiteral("缺少数量"), CellKind::Number, 800},
        {QStringLiteral("最近厂家"), CellKind::Text, 1900},
        {QStringLiteral("最近进价"), CellKind::Money, 900},
        {QStringLiteral("最近进货日期"), CellKind::Text, 1100},
    };
    return columns;
}

// "*" is what a line stores when no supplier was given.
QVariant shownSupplier(const QVariant &supplier)
{
    return supplier.toString() == QLatin1String("*") ? QVariant() : supplier;
}

} // namespace

YujingFrm::YujingFrm(Store &store, QWidget *parent)
    : ChildScreen(store, QStringLiteral("yujingfrm"), QStringLiteral("库存预警"), 8970, 6180,
                  parent)
{
    buildControls();
    connect(Command1, &QPushButton::clicked, this, &YujingFrm::refresh);
    refresh();
}

void YujingFrm::buildControls()
{
    using namespace FormControls;
    auto *page = new QVBoxLayout(this);
    auto *row = new QHBoxLayout;
    Label1 = label(this, QStringLiteral("Label1"),
                   QStringLiteral("库存数量合计低于下限的药材（下限在“库存下限”中设置）"), QRect());
    row->addWidget(Label1);
    row->addStretch();
    Text2 = ViewParts::addTotal(row, this, QStringLiteral("Label2"), QStringLiteral("品种"),
                                QStringLiteral("Text2"), 720);
    Command1 = button(this, QStringLiteral("Command1"), QStringLiteral("刷新"), QRect());
    row->addWidget(Command1);
    page->addLayout(row);
    DBGrid1 = new ReportGrid(lowStockColumns(), QStringLiteral("DBGrid1"), this);
    page->addWidget(DBGrid1);
}

void YujingFrm::refresh()
{
    StoreError error;
    const std::optional<QVector<LowStockHerb>> herbs = lowStock(store(), &error);
    if (!herbs) {
        Messages::inform(this, error.text());
        return;
    }
    m_herbs = *herbs;
    DBGrid1->report()->setRows(int(m_herbs.size()), [this](int row, int column) {
        const LowStockHerb &herb = m_herbs.at(row);
        const QVariantList cells = {herb.code,        herb.name,
                                    herb.onHand,      herb.minimum,
                                    herb.shortfall(), shownSupplier(herb.supplier),
                                    herb.price,       herb.date};
        return cells.value(column);
    });
    Text2->setText(QString::number(m_herbs.size()));
}
