#include "sales/xiaoshoufrm.h"

#include "insight/saleexpiry.h"
#include "sales/salesstock.h"
#include "sales/slipprintfrm.h"
#include "sales/stockoutposting.h"
#include "shell/datagrid.h"
#include "shell/entrykeys.h"
#include "shell/formcontrols.h"
#include "shell/messages.h"
#include "shell/twips.h"
#include "store/clock.h"
#include "store/cursor.h"
#include "store/store.h"
#include "store/values.h"
#include "trading/documentnumber.h"
#include "trading/entrysteps.h"
#include "trading/herblookup.h"
#include "trading/pendinglines.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QString PendingTable = QStringLiteral("chuhuo");

constexpr int RowTops[] = {330, 720, 1110, 1500, 1890};
constexpr int FrameHeight = 2390;
// The three columns of the herb frame: where each starts, how wide its labels and boxes are.
// The first stays far enough left for the 6200-twip search grid to drop down inside the window.
constexpr int HerbColumnLefts[] = {90, 2250, 4650};
constexpr int HerbLabelWidths[] = {480, 840, 720};
constexpr int HerbBoxWidths[] = {1560, 1440, 1260};

QString column(const char *name)
{
    return QString::fromUtf8(name);
}

Query pendingLines()
{
    return Query(PendingTable, Filter::pending(column("出库")));
}

// The number in a box, with an empty box counting as nothing.
double numberIn(const QLineEdit *box)
{
    return Values::parseNumber(box->text()).value_or(0.0);
}

QString orStar(const QString &text)
{
    return text.isEmpty() ? QStringLiteral("*") : text;
}

} // namespace

XiaoshouFrm::XiaoshouFrm(Store &store, QWidget *parent)
    : ChildScreen(store, QStringLiteral("xiaoshoufrm"), QStringLiteral("销售开票"), 10035, 6855,
                  parent),
      m_form(this), Data1(new Cursor(store, this))
{
    Data1->setObjectName(QStringLiteral("Data1"));
    buildHerbFrame();
    buildBasicFrame();
    DBGrid1 = new DataGrid(Data1, QStringLiteral("DBGrid1"), this);
    DBGrid1->setGeometry(twips(120, 2540, 9600, 2850));
    StatusBar1 = FormControls::label(this, QStringLiteral("StatusBar1"), QString(),
                                     twips(120, 5430, 9600, 270));
    QPalette notice = StatusBar1->palette();
    notice.setColor(QPalette::WindowText, Qt::darkRed);
    StatusBar1->setPalette(notice);
    buildBottomRow();
    buildLookup();
    connectActions();
    connectKeys();
    load();
    // The clerk starts with the herb: the first box of the Enter chain.
    setStartBox(Text3[0]);
}

XiaoshouFrm::~XiaoshouFrm() = default;

void XiaoshouFrm::buildHerbFrame()
{
    Frame2 = new QGroupBox(QStringLiteral("药品信息"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Frame2->setGeometry(twips(120, 60, 6720, FrameHeight));
    const auto box = [this](const QString &name, const char *label, int place, int row) {
        return m_form.box(Frame2, name, QString::fromUtf8(label), HerbColumnLefts[place],
                          RowTops[row], HerbLabelWidths[place], HerbBoxWidths[place]);
    };
    // Three columns of five rows, in the order of the boxes: each index holds one column of
    // the stock row.
    const char *const labels[] = {"编号",     "品名",     "拼音",     "规格",     "产地",
                                  "生产日期", "有效期至", "批    号", "单    位", "库    房",
                                  "厂    家"};
    for (int index = 0; index < 11; ++index)
        Text3[index] = box(QStringLiteral("Text3_%1").arg(index), labels[index], index / 5,
                           index % 5);
    Text7 = box(QStringLiteral("Text7"), "库存量", 2, 1);
    Text8 = box(QStringLiteral("Text8"), "数  量", 2, 2);
    Text9 = box(QStringLiteral("Text9"), "单  价", 2, 3);
    Text10 = box(QStringLiteral("Text10"), "金  额", 2, 4);
    // What the chosen stock row holds; the stock test reads the stock itself.
    Text7->setReadOnly(true);
}

void XiaoshouFrm::buildBasicFrame()
{
    Frame1 = new QGroupBox(QStringLiteral("基本信息"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(twips(6900, 60, 2820, FrameHeight));
    constexpr int left = 90;
    constexpr int labelWidth = 780;
    constexpr int boxWidth = 1830;
    const auto box = [this](const char *name, const char *label, int row) {
        return m_form.box(Frame1, QString::fromUtf8(name), QString::fromUtf8(label), left,
                          RowTops[row], labelWidth, boxWidth);
    };
    Text4 = box("Text4", "单据号", 0);
    Text1 = box("Text1", "出库日期", 1);
    dateLabel = Frame1->findChild<QLabel *>(QStringLiteral("Label_出库日期"));
    Combo2 = m_form.combo(Frame1, QStringLiteral("Combo2"), QStringLiteral("购货单位"), left,
                          RowTops[2], labelWidth, boxWidth);
    // The discount of the sales slip, read by its print window.
    Text2 = box("Text2", "扣    率", 3);
    Text2->setText(QStringLiteral("60"));
}

void XiaoshouFrm::buildBottomRow()
{
    constexpr int top = 5760;
    Text5 = m_form.totalBox(QStringLiteral("Text5"), QStringLiteral("品种"), 120, top, 480, 800);
    linesLabel = findChild<QLabel *>(QStringLiteral("Label_品种"));
    Text6 = m_form.totalBox(QStringLiteral("Text6"), QStringLiteral("合计金额"), 1560, top, 780,
                            1500);
    m_totals = std::make_unique<RunningTotals>(Text5, Text6);

    Command1 = m_form.button(QStringLiteral("Command1"), QStringLiteral("添加"), 4050, top);
    Command2 = m_form.button(QStringLiteral("Command2"), QStringLiteral("删除"), 5175, top);
    Command3 = m_form.button(QStringLiteral("Command3"), QStringLiteral("打印"), 6300, top);
    Command5 = m_form.button(QStringLiteral("Command5"), QStringLiteral("出库"), 7425, top);
    Command6 = m_form.button(QStringLiteral("Command6"), QStringLiteral("退出"), 8550, top);
}

void XiaoshouFrm::buildLookup()
{
    m_lookup = new HerbLookup(store(), this,
                              {QStringLiteral("kucun"), QStringLiteral("DBGrid2"), 6200,
                               {1600, 1200, 900}, 6, 800},
                              {Text3[0], Text3[1], Text3[2]}, {Text3[1], Text3[2], Combo2});
    m_lookup->grid()->cursor()->setObjectName(QStringLiteral("Data2"));
    m_lookup->setTargets({{column("编号"), Text3[0]},     {column("拼音"), Text3[2]},
                          {column("规格"), Text3[3]},     {column("产地"), Text3[4]},
                          {column("生产日期"), Text3[5]}, {column("批号"), Text3[7]},
                          {column("有效期"), Text3[6]},   {column("单位"), Text3[8]},
                          {column("库房"), Text3[9]},     {column("品名"), Text3[1]},
                          {column("库存数量"), Text7},    {column("厂家"), Text3[10]}});
    // An expired batch is taken over only when the clerk confirms; a near one is noted.
    m_lookup->setTakeOverCheck([this](const Cursor &row) {
        const SaleExpiry::Verdict verdict =
            SaleExpiry::check(this, store(), row.value(column("有效期")).toString());
        StatusBar1->setText(verdict.status);
        return verdict.takeOver;
    });
}

void XiaoshouFrm::load()
{
    const Query pending = pendingLines();
    m_totals->read(store(), pending, column("编号"));
    m_totals->recountOnEdits(store(), *Data1, pending, column("编号"));
    Data1->open(pending);
    Text1->setText(Values::storedDate(Clock::today()));
    fillChoices(Combo2, store(), QStringLiteral("yonghu"));

    StoreError error;
    const auto number = DocumentNumber::next(store(), QStringLiteral("XS"),
                                             DocumentNumber::SalesCounter, &error);
    if (number)
        Text4->setText(*number);
    else
        Messages::inform(this, error.text());
}

void XiaoshouFrm::connectActions()
{
    connect(m_lookup, &HerbLookup::pickedInGrid, Combo2, [this] { Combo2->setFocus(); });
    connect(Command1, &QPushButton::clicked, this, &XiaoshouFrm::addLine);
    connect(Command2, &QPushButton::clicked, this, &XiaoshouFrm::deleteLine);
    connect(Command3, &QPushButton::clicked, this,
            [this] { SlipPrintFrm::open(this, pendingLinesSlip()); });
    connect(Command5, &QPushButton::clicked, this, &XiaoshouFrm::postLines);
    connect(Command6, &QPushButton::clicked, this, &XiaoshouFrm::closeScreen);
}

void XiaoshouFrm::addLine()
{
    m_lookup->hide();
    // A refused line keeps everything typed, and the box to mend gets the focus.
    if (Text3[0]->text().isEmpty())
        return m_form.refuse(Text3[0], QStringLiteral("不能空"));
    if (Text8->text().isEmpty())
        return m_form.refuse(Text8, QStringLiteral("不能空"));
    if (!m_form.textsFit()
        || !m_form.numbersIn({Text8, Text9, Text10}, QStringLiteral("错误！")))
        return;
    if (!Text1->text().isEmpty() && !Values::parseDate(Text1->text()))
        return m_form.refuse(Text1, QStringLiteral("错误！"));
    if (!lineFitsStock() || !storeLine())
        return;

    m_totals->added(numberIn(Text10));
    clearEntryBoxes();
    Text3[0]->setFocus();
}

bool XiaoshouFrm::lineFitsStock()
{
    // What is on hand less what the pending lines already take from the same stock row.
    const SalesStock::LineKey line{Text3[0]->text(), orStar(Text3[7]->text()),
                                   orStar(Text3[3]->text()), orStar(Text3[4]->text())};
    StoreError error;
    const auto reserve = SalesStock::reserveFor(store(), line, &error);
    if (!reserve) {
        Messages::inform(this, error.text());
        return false;
    }
    if (SalesStock::canTake(numberIn(Text8), reserve->onHand - reserve->pending))
        return true;
    m_form.refuse(Text8, QStringLiteral("不能销售"));
    return false;
}

bool XiaoshouFrm::storeLine()
{
    return addPendingLine(
        this, *Data1, {{column("日期"), Text1->text()}, {column("单据号"), Text4->text()}},
        {{column("编号"), Text3[0]->text()},         {column("品名"), Text3[1]->text()},
         {column("拼音"), Text3[2]->text()},         {column("规格"), orStar(Text3[3]->text())},
         {column("批号"), orStar(Text3[7]->text())}, {column("产地"), orStar(Text3[4]->text())},
         {column("生产日期"), Text3[5]->text()},     {column("有效期"), Text3[6]->text()},
         {column("单位"), Text3[8]->text()},         {column("数量"), Text8->text()},
         {column("销价"), Text9->text()},            {column("金额"), Text10->text()},
         {column("库房"), Text3[9]->text()},         {column("厂家"), orStar(Text3[10]->text())},
         {column("购货单位"), orStar(Combo2->currentText())}});
}

void XiaoshouFrm::clearEntryBoxes()
{
    // Unit, store room and maker, what is on hand, the amount and the customer stay.
    m_lookup->quietly([this] {
        for (int index = 0; index < 8; ++index)
            Text3[index]->clear();
        Text8->clear();
        Text9->clear();
    });
    StatusBar1->clear();
}

void XiaoshouFrm::deleteLine()
{
    if (deletePendingLine(this, *DBGrid1, *m_totals))
        Data1->refresh();
}

void XiaoshouFrm::postLines()
{
    DBGrid1->submitPendingEdits();
    const PostingRequest request{Text4->text(), Text1->text(), Combo2->currentText(), false};
    showPostingOutcome(this, QStringLiteral("出库"), postPendingSales(store(), request), *Data1,
                       *m_totals, Text4);
}

void XiaoshouFrm::recount(const QString &countedColumn)
{
    DBGrid1->submitPendingEdits();
    const Query pending = pendingLines();
    m_totals->read(store(), pending, countedColumn);
    Data1->open(pending);
}
