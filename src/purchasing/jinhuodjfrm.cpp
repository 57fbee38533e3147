#include "purchasing/jinhuodjfrm.h"

#include "purchasing/noticeprintfrm.h"
#include "purchasing/stockinposting.h"
#include "shell/datagrid.h"
#include "shell/entrykeys.h"
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
#include <QLineEdit>
#include <QPushButton>

namespace {

const QString PendingTable = QStringLiteral("jinhuo");

constexpr int RowTops[] = {330, 720, 1110, 1500};
constexpr int BoxWidth = 1440;
// Where each of the three columns of herb boxes starts and how wide its labels are: two
// characters in the first two columns, four in the third. The first column stays far enough
// left for the 6000-twip lookup grid to drop down inside the window.
constexpr int HerbColumnLefts[] = {90, 2130, 4170};
constexpr int HerbLabelWidths[] = {480, 480, 840};

QString column(const char *name)
{
    return QString::fromUtf8(name);
}

Filter pendingLines()
{
    return Filter::pending(column("入库"));
}

// The number in a box, with an empty box counting as nothing.
double numberIn(const QLineEdit *box)
{
    return Values::parseNumber(box->text()).value_or(0.0);
}

} // namespace

JinhuodjFrm::JinhuodjFrm(Store &store, QWidget *parent)
    : ChildScreen(store, QStringLiteral("jinhuodjfrm"), QStringLiteral("进货登记"), 9645, 6990,
                  parent),
      m_form(this), Data1(new Cursor(store, this))
{
    Data1->setObjectName(QStringLiteral("Data1"));
    buildBasicFrame();
    buildHerbFrame();
    DBGrid1 = new DataGrid(Data1, QStringLiteral("DBGrid1"), this);
    DBGrid1->setGeometry(twips(120, 2160, 9285, 3660));
    // Wide enough for a whole document number, after every re-run of the pending lines too.
    connect(Data1, &Cursor::reset, DBGrid1, [this] { DBGrid1->setColumnWidth(0, twips(1650)); });
    buildBottomRow();
    buildLookup();
    connectActions();
    connectKeys();
    load();
    // The clerk starts with the herb: the first box of the Enter chain, not the document number.
    setStartBox(Text3[0]);
}

JinhuodjFrm::~JinhuodjFrm() = default;

void JinhuodjFrm::buildBasicFrame()
{
    Frame1 = new QGroupBox(QStringLiteral("基本信息"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(twips(120, 60, 2640, 2000));
    const auto basicBox = [this](const char *name, const char *label, int row) {
        return m_form.box(Frame1, QString::fromUtf8(name), QString::fromUtf8(label), 120,
                          RowTops[row], 660, 1740);
    };
    Text9 = basicBox("Text9", "单据号", 0);
    Text6 = basicBox("Text6", "数  量", 1);
    Text7 = basicBox("Text7", "进  价", 2);
    Text8 = basicBox("Text8", "金  额", 3);
}

void JinhuodjFrm::buildHerbFrame()
{
    Frame2 = new QGroupBox(QStringLiteral("药品信息"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Frame2->setGeometry(twips(2820, 60, 6570, 2000));
    struct Place { int index; const char *label; int column; int row; };
    // Three columns of four rows; the combos take the remaining places.
    const Place places[] = {{0, "编号", 0, 0},     {1, "品名", 0, 1},     {2, "拼音", 0, 2},
                            {5, "产地", 0, 3},     {3, "规格", 1, 2},     {4, "批号", 1, 3},
                            {8, "进货日期", 2, 0}, {6, "生产日期", 2, 1}, {7, "有效期至", 2, 2}};
    for (const Place &place : places) {
        Text3[place.index] = m_form.box(
            Frame2, QStringLiteral("Text3_%1").arg(place.index), QString::fromUtf8(place.label),
            HerbColumnLefts[place.column], RowTops[place.row], HerbLabelWidths[place.column],
            BoxWidth);
    }
    const auto combo = [this](const char *name, const char *label, int column, int row) {
        return m_form.combo(Frame2, QString::fromUtf8(name), QString::fromUtf8(label),
                            HerbColumnLefts[column], RowTops[row], HerbLabelWidths[column],
                            BoxWidth);
    };
    Combo2 = combo("Combo2", "库房", 1, 0);
    Combo1 = combo("Combo1", "单位", 1, 1);
    Combo5 = combo("Combo5", "供货单位", 2, 3);
}

void JinhuodjFrm::buildBottomRow()
{
    constexpr int top = 5940;
    Text4 = m_form.totalBox(QStringLiteral("Text4"), QStringLiteral("品种数"), 120, top, 600, 800);
    Text5 = m_form.totalBox(QStringLiteral("Text5"), QStringLiteral("合计金额"), 1620, top, 780,
                            1500);
    m_totals = std::make_unique<RunningTotals>(Text4, Text5);

    Command1 = m_form.button(QStringLiteral("Command1"), QStringLiteral("添加"), 4080, top);
    Command2 = m_form.button(QStringLiteral("Command2"), QStringLiteral("删除"), 5145, top);
    Command3 = m_form.button(QStringLiteral("Command3"), QStringLiteral("打印"), 6210, top);
    Command5 = m_form.button(QStringLiteral("Command5"), QStringLiteral("入库"), 7275, top);
    Command6 = m_form.button(QStringLiteral("Command6"), QStringLiteral("退出"), 8340, top);
}

void JinhuodjFrm::buildLookup()
{
    m_lookup = new HerbLookup(store(), this,
                              {QStringLiteral("yaocai"), QStringLiteral("DBGrid2"), 6000,
                               {1300, 1300, 800}, 5, 900},
                              {Text3[0], Text3[1], Text3[2]}, {Text3[1], Text3[2], Text3[3]});
    m_lookup->setTargets({{column("编号"), Text3[0]},
                          {column("品名"), Text3[1]},
                          {column("拼音"), Text3[2]},
                          {column("规格"), Text3[3]},
                          {column("产地"), Text3[5]},
                          {column("批号"), Text3[4]},
                          {column("库房"), nullptr, Combo2},
                          {column("单位"), nullptr, Combo1},
                          {column("厂家"), nullptr, Combo5}});
}

void JinhuodjFrm::load()
{
    m_salePrice = 0.0;
    Text3[8]->setText(Values::storedDate(Clock::today()));

    const Query pending(PendingTable, pendingLines());
    m_totals->read(store(), pending, column("编号"));
    m_totals->recountOnEdits(store(), *Data1, pending, column("编号"));
    Data1->open(pending);

    fillChoices(Combo2, store(), QStringLiteral("kufang"));
    fillChoices(Combo1, store(), QStringLiteral("danwei"));
    fillChoices(Combo5, store(), QStringLiteral("changjia"));

    StoreError error;
    const auto number = DocumentNumber::next(store(), QStringLiteral("JH"),
                                             DocumentNumber::PurchaseCounter, &error);
    if (number)
        Text9->setText(*number);
    else
        Messages::inform(this, error.text());
}

void JinhuodjFrm::connectActions()
{
    connect(m_lookup, &HerbLookup::pickedInGrid, this, [this] {
        rememberSalePrice();
        Text3[3]->setFocus();
    });
    connect(m_lookup->grid(), &QAbstractItemView::clicked, this,
            &JinhuodjFrm::rememberSalePrice);
    connect(Command1, &QPushButton::clicked, this, [this] {
        m_lookup->hide();
        addLine();
    });
    connect(Command2, &QPushButton::clicked, this, &JinhuodjFrm::deleteLine);
    connect(Command3, &QPushButton::clicked, this,
            [this] { NoticePrintFrm::open(this, pendingLinesNotice()); });
    connect(Command5, &QPushButton::clicked, this, &JinhuodjFrm::postLines);
    connect(Command6, &QPushButton::clicked, this, &JinhuodjFrm::closeScreen);
}

void JinhuodjFrm::rememberSalePrice()
{
    const QVariant price = m_lookup->chosenRow().value(column("销价"));
    if (!price.isNull())
        m_salePrice = price.toDouble();
}

void JinhuodjFrm::addLine()
{
    // A refused line keeps everything typed, and the box to complete gets the focus.
    if (Text3[0]->text().isEmpty())
        return m_form.refuse(Text3[0], QStringLiteral("不能空"));
    if (Text6->text().isEmpty())
        return m_form.refuse(Text6, QStringLiteral("不能空"));
    if (!m_form.textsFit() || !m_form.numbersIn({Text6, Text7, Text8}, QStringLiteral("错误！")))
        return;
    if (!Text3[8]->text().isEmpty() && !Values::parseDate(Text3[8]->text()))
        return m_form.refuse(Text3[8], QStringLiteral("错误！"));
    if (!storeLine())
        return;

    m_totals->added(numberIn(Text8));
    clearEntryBoxes();
    Text3[0]->setFocus();
}

bool JinhuodjFrm::storeLine()
{
    const auto orStar = [](const QString &text) {
        return text.isEmpty() ? QStringLiteral("*") : text;
    };
    return addPendingLine(
        this, *Data1, {{column("单据号"), Text9->text()}, {column("日期"), Text3[8]->text()}},
        {{column("编号"), Text3[0]->text()},           {column("品名"), Text3[1]->text()},
         {column("拼音"), Text3[2]->text()},           {column("规格"), orStar(Text3[3]->text())},
         {column("产地"), orStar(Text3[5]->text())},   {column("生产日期"), Text3[6]->text()},
         {column("批号"), orStar(Text3[4]->text())},   {column("有效期"), Text3[7]->text()},
         {column("单位"), Combo1->currentText()},      {column("数量"), Text6->text()},
         {column("进价"), Text7->text()},              {column("金额"), Text8->text()},
         {column("库房"), Combo2->currentText()},
         {column("厂家"), orStar(Combo5->currentText())}});
}

void JinhuodjFrm::clearEntryBoxes()
{
    m_lookup->quietly([this] {
        for (int index = 0; index < 8; ++index)
            Text3[index]->clear();
        Text6->clear();
        Text7->clear();
    });
}

void JinhuodjFrm::deleteLine()
{
    deletePendingLine(this, *DBGrid1, *m_totals);
}

void JinhuodjFrm::postLines()
{
    DBGrid1->submitPendingEdits();
    StockInRequest request;
    request.documentNumber = Text9->text();
    request.purchaseDate = Text3[8]->text();
    request.supplier = Combo5->currentText();
    request.keepNumber = m_keepNumber;
    request.salePrice = m_salePrice;
    showPostingOutcome(this, QStringLiteral("入库"), postPendingPurchases(store(), request),
                       *Data1, *m_totals, Text9);
}

void JinhuodjFrm::setKeepNumber(bool keep)
{
    m_keepNumber = keep;
    // Red document number: the next posting files under this number again.
    Text9->setStyleSheet(keep ? QStringLiteral("color: rgb(255, 0, 0);") : QString());
    Text9->setToolTip(keep ? QStringLiteral("保持单据号（F12 取消）") : QString());
}
