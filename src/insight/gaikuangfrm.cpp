#include "insight/gaikuangfrm.h"

#include "insight/amountchart.h"
#include "insight/picturefiles.h"
#include "insight/viewparts.h"
#include "shell/dateinput.h"
#include "shell/entrykeys.h"
#include "shell/formcontrols.h"
#include "shell/messages.h"
#include "shell/twips.h"
#include "store/clock.h"
#include "store/insightqueries.h"
#include "store/values.h"

#include <QBoxLayout>
#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTabWidget>

using namespace InsightQueries;

namespace {

QChartView *chartView(QWidget *parent, const QString &name)
{
    auto *view = new QChartView(parent);
    view->setObjectName(name);
    view->setRenderHint(QPainter::Antialiasing);
    return view;
}

// The view takes the new chart; the one it showed before is its caller's to delete.
void showChart(QChartView *view, QChart *chart)
{
    QChart *previous = view->chart();
    view->setChart(chart);
    delete previous;
}

// Names label the bars; a name that two codes share gets its code added, since each label of a
// category axis must differ.
QStringList herbLabels(const QVector<HerbAmount> &herbs)
{
    QSet<QString> seen;
    QStringList labels;
    for (const HerbAmount &herb : herbs) {
        QString label = herb.name.isEmpty() ? herb.code : herb.name;
        if (seen.contains(label))
            label += QStringLiteral("（%1）").arg(herb.code);
        seen.insert(label);
        labels << label;
    }
    return labels;
}

} // namespace

GaikuangFrm::GaikuangFrm(Store &store, QWidget *parent)
    : ChildScreen(store, QStringLiteral("gaikuangfrm"), QStringLiteral("经营概况"), 11115, 6990,
                  parent)
{
    auto *page = new QVBoxLayout(this);
    TabStrip1 = new QTabWidget(this);
    TabStrip1->setObjectName(QStringLiteral("TabStrip1"));
    TabStrip1->addTab(buildMonthsPage(), QStringLiteral("月度进销"));
    TabStrip1->addTab(buildTopPage(), QStringLiteral("销售排行"));
    TabStrip1->addTab(buildStockPage(), QStringLiteral("库存金额"));
    page->addWidget(TabStrip1);

    // Each page reads its figures when it is first shown: opening costs only the first.
    showMonths();
    connect(TabStrip1, &QTabWidget::currentChanged, this, [this](int page) {
        QChartView *view = page == 1 ? Chart2 : page == 2 ? Chart3 : nullptr;
        if (!view || !view->chart()->series().isEmpty())
            return;
        if (view == Chart2)
            showTopSales();
        else
            showStockValue();
    });
}

QWidget *GaikuangFrm::buildMonthsPage()
{
    auto *tab = new QWidget;
    auto *layout = new QVBoxLayout(tab);
    Chart1 = chartView(tab, QStringLiteral("Chart1"));
    layout->addWidget(Chart1);
    auto *row = new QHBoxLayout;
    Label1 = FormControls::label(tab, QStringLiteral("Label1"), QString(), QRect());
    row->addWidget(Label1);
    row->addStretch();
    Command1 = saveButton(QStringLiteral("Command1"), Chart1, QStringLiteral("月度进销金额"));
    row->addWidget(Command1);
    layout->addLayout(row);
    return tab;
}

QWidget *GaikuangFrm::buildTopPage()
{
    using namespace FormControls;
    auto *tab = new QWidget;
    auto *layout = new QVBoxLayout(tab);
    auto *row = new QHBoxLayout;
    row->addWidget(label(tab, QStringLiteral("Label2"), QStringLiteral("起始日期"), QRect()));
    Text1 = textBox(tab, QStringLiteral("Text1"), QRect());
    Text1->setFixedWidth(twips(1300));
    row->addWidget(Text1);
    row->addWidget(label(tab, QStringLiteral("Label3"), QStringLiteral("截止日期"), QRect()));
    Text2 = textBox(tab, QStringLiteral("Text2"), QRect());
    Text2->setFixedWidth(twips(1300));
    row->addWidget(Text2);
    Command2 = button(tab, QStringLiteral("Command2"), QStringLiteral("统计"), QRect());
    row->addWidget(Command2);
    row->addStretch();
    Chart2 = chartView(tab, QStringLiteral("Chart2"));
    Command3 = saveButton(QStringLiteral("Command3"), Chart2, QStringLiteral("销售金额前十"));
    row->addWidget(Command3);
    layout->addLayout(row);
    layout->addWidget(Chart2);

    // The same twelve months as the monthly chart, until the user chooses others.
    const QDate today = Clock::today();
    Text1->setText(Values::storedDate(
        QDate(today.year(), today.month(), 1).addMonths(1 - Months)));
    Text2->setText(Values::storedDate(today));
    connect(Command2, &QPushButton::clicked, this, &GaikuangFrm::showTopSales);
    EntryKeys::chainEnter({Text1, Text2}, [this] { showTopSales(); });
    return tab;
}

QWidget *GaikuangFrm::buildStockPage()
{
    auto *tab = new QWidget;
    auto *layout = new QVBoxLayout(tab);
    auto *row = new QHBoxLayout;
    Text3 = ViewParts::addTotal(row, tab, QStringLiteral("Label4"),
                                QStringLiteral("当前库存金额"), QStringLiteral("Text3"), 1800);
    row->addStretch();
    Chart3 = chartView(tab, QStringLiteral("Chart3"));
    Command4 = saveButton(QStringLiteral("Command4"), Chart3, QStringLiteral("库存金额"));
    row->addWidget(Command4);
    layout->addLayout(row);
    layout->addWidget(Chart3);
    return tab;
}

QPushButton *GaikuangFrm::saveButton(const QString &name, QChartView *view,
                                     const QString &fileName)
{
    QPushButton *button =
        FormControls::button(view->parentWidget(), name, QStringLiteral("保存图片"), QRect());
    connect(button, &QPushButton::clicked, this,
            [this, view, fileName] { PictureFiles::saveAsPng(this, view->grab(), fileName); });
    return button;
}

void GaikuangFrm::showMonths()
{
    const QDate today = Clock::today();
    StoreError error;
    const auto months = monthlyAmounts(store(), today, Months, &error);
    if (!months)
        return report(error.text());
    QStringList categories;
    AmountChart::Series purchases{QStringLiteral("进货金额"), {}};
    AmountChart::Series sales{QStringLiteral("销售金额"), {}};
    // Twelve months name each month once, so the month alone labels its bars; the title gives
    // the years.
    for (const MonthAmounts &month : *months) {
        categories << QStringLiteral("%1月").arg(month.month.month());
        purchases.values << month.purchases;
        sales.values << month.sales;
    }
    const QDate first = months->first().month;
    showChart(Chart1, AmountChart::make(QStringLiteral("%1年%2月至%3年%4月进货与销售金额")
                                            .arg(first.year())
                                            .arg(first.month())
                                            .arg(today.year())
                                            .arg(today.month()),
                                        categories, {purchases, sales}, Qt::Vertical));
    Label1->setText(QStringLiteral("%1 至 %2，未入库、未出库的单据也计在内")
                        .arg(Values::storedDate(first), Values::storedDate(today)));
}

void GaikuangFrm::showTopSales()
{
    const auto from = dateInBox(this, Text1, QStringLiteral("起始日期"));
    if (!from)
        return;
    const auto to = dateInBox(this, Text2, QStringLiteral("截止日期"));
    if (!to)
        return;
    StoreError error;
    const auto herbs = topSales(store(), *from, *to, TopHerbs, &error);
    if (!herbs)
        return report(error.text());
    AmountChart::Series amounts{QStringLiteral("销售金额"), {}};
    for (const HerbAmount &herb : *herbs)
        amounts.values << herb.amount;
    showChart(Chart2, AmountChart::make(QStringLiteral("销售金额前 %1 名（%2 至 %3）")
                                            .arg(TopHerbs)
                                            .arg(Values::storedDate(*from),
                                                 Values::storedDate(*to)),
                                        herbLabels(*herbs), {amounts}, Qt::Horizontal));
}

void GaikuangFrm::showStockValue()
{
    StoreError error;
    const auto rooms = stockValueByStoreRoom(store(), &error);
    if (!rooms)
        return report(error.text());
    QStringList categories;
    AmountChart::Series values{QStringLiteral("库存金额"), {}};
    double total = 0;
    for (const StoreRoomValue &room : *rooms) {
        categories << (room.storeRoom.isEmpty() ? QStringLiteral("（未填库房）") : room.storeRoom);
        values.values << room.value;
        total += room.value;
    }
    Text3->setText(Values::money(total));
    showChart(Chart3, AmountChart::make(QStringLiteral("各库房库存金额（按进价）"), categories,
                                        {values}, Qt::Horizontal));
}

void GaikuangFrm::report(const QString &problem)
{
    Messages::inform(this, problem);
}
