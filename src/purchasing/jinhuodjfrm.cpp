#include "purchasing/jinhuodjfrm.h"

#include "purchasing/documentnumber.h"
#include "purchasing/noticeprintfrm.h"
#include "purchasing/stockinposting.h"
#include "shell/datagrid.h"
#include "shell/dropdownsearch.h"
#include "shell/entrykeys.h"
#include "shell/formcontrols.h"
#include "shell/messages.h"
#include "shell/twips.h"
#include "store/clock.h"
#include "store/cursor.h"
#include "store/store.h"
#include "store/values.h"

#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QString PendingTable = QStringLiteral("jinhuo");
const QString Catalogue = QStringLiteral("yaocai");
// Catalogue column searched under each of the first three herb boxes.
const char *const SearchColumns[] = {"编号", "品名", "拼音"};

constexpr int RowTops[] = {330, 720, 1110, 1500};
constexpr int BoxHeight = 300;
constexpr int BoxWidth = 1440;
// Where each of the three columns of herb boxes starts and how wide its labels are: two
// characters in the first two columns, four in the third. The first column stays far enough
// left for the 6000-twip lookup grid to drop down inside the window.
constexpr int HerbColumnLefts[] = {90, 2130, 4170};
constexpr int HerbLabelWidths[] = {480, 480, 840};
constexpr int LookupWidth = 6000;
constexpr int LookupColumns = 5;

QString column(const char *name)
{
    return QString::fromUtf8(name);
}

Filter pendingLines()
{
    return Filter::isNull(column("入库"));
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
      Data1(new Cursor(store, this))
{
    Data1->setObjectName(QStringLiteral("Data1"));
    buildBasicFrame();
    buildHerbFrame();
    DBGrid1 = new DataGrid(Data1, QStringLiteral("DBGrid1"), this);
    DBGrid1->setGeometry(twips(120, 2160, 9285, 3660));
    // Wide enough for a whole document number, after every re-run of the pending lines too.
    connect(Data1, &Cursor::reset, DBGrid1, [this] { DBGrid1->setColumnWidth(0, twips(1650)); });
    buildBottomRow();
    m_lookup = new DropDownSearch(store, this, QStringLiteral("DBGrid2"));
    connectActions();
    load();
    // The clerk starts with the herb: the first box of the Enter chain, not the document number.
    setStartBox(Text3[0]);
}

void JinhuodjFrm::buildBasicFrame()
{
    Frame1 = new QGroupBox(QStringLiteral("基本信息"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(twips(120, 60, 2640, 2000));
    const auto basicBox = [this](const char *name, const char *label, int row) {
        return addBox(Frame1, QString::fromUtf8(name), QString::fromUtf8(label), 120,
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
        Text3[place.index] = addBox(Frame2, QStringLiteral("Text3_%1").arg(place.index),
                                    QString::fromUtf8(place.label), HerbColumnLefts[place.column],
                                    RowTops[place.row], HerbLabelWidths[place.column], BoxWidth);
    }
    Combo2 = addCombo(Frame2, QStringLiteral("Combo2"), QStringLiteral("库房"),
                      HerbColumnLefts[1], RowTops[0], HerbLabelWidths[1]);
    Combo1 = addCombo(Frame2, QStringLiteral("Combo1"), QStringLiteral("单位"),
                      HerbColumnLefts[1], RowTops[1], HerbLabelWidths[1]);
    Combo5 = addCombo(Frame2, QStringLiteral("Combo5"), QStringLiteral("供货单位"),
                      HerbColumnLefts[2], RowTops[3], HerbLabelWidths[2]);
}

void JinhuodjFrm::buildBottomRow()
{
    constexpr int top = 5940;
    addLabel(this, QStringLiteral("品种数"), 120, top + 45, 600);
    Text4 = new QLineEdit(this);
    Text4->setObjectName(QStringLiteral("Text4"));
    Text4->setGeometry(twips(720, top, 800, BoxHeight));
    addLabel(this, QStringLiteral("合计金额"), 1620, top + 45, 780);
    Text5 = new QLineEdit(this);
    Text5->setObjectName(QStringLiteral("Text5"));
    Text5->setGeometry(twips(2400, top, 1500, BoxHeight));
    // The totals follow the lines added and deleted here; typing over them would only mislead.
    Text4->setReadOnly(true);
    Text5->setReadOnly(true);
    Text5->setAlignment(Qt::AlignRight);

    Command1 = addButton(QStringLiteral("Command1"), QStringLiteral("添加"), 4080, top);
    Command2 = addButton(QStringLiteral("Command2"), QStringLiteral("删除"), 5145, top);
    Command3 = addButton(QStringLiteral("Command3"), QStringLiteral("打印"), 6210, top);
    Command5 = addButton(QStringLiteral("Command5"), QStringLiteral("入库"), 7275, top);
    Command6 = addButton(QStringLiteral("Command6"), QStringLiteral("退出"), 8340, top);
}

QLabel *JinhuodjFrm::addLabel(QWidget *parent, const QString &text, int left, int top, int width)
{
    return FormControls::label(parent,
                               QStringLiteral("Label_") + QString(text).remove(QLatin1Char(' ')),
                               text, twips(left, top, width, 255));
}

QLineEdit *JinhuodjFrm::addBox(QWidget *parent, const QString &name, const QString &label,
                               int left, int top, int labelWidth, int boxWidth)
{
    addLabel(parent, label, left, top + 30, labelWidth);
    QLineEdit *box = FormControls::textBox(parent, name,
                                           twips(left + labelWidth, top, boxWidth, BoxHeight));
    m_labelledBoxes.append({QString(label).remove(QLatin1Char(' ')), box});
    return box;
}

QComboBox *JinhuodjFrm::addCombo(QWidget *parent, const QString &name, const QString &label,
                                 int left, int top, int labelWidth)
{
    addLabel(parent, label, left, top + 30, labelWidth);
    QComboBox *combo = makeEntryCombo(name, parent);
    combo->setGeometry(twips(left + labelWidth, top, BoxWidth, BoxHeight));
    m_labelledBoxes.append({label, combo->lineEdit()});
    return combo;
}

QPushButton *JinhuodjFrm::addButton(const QString &name, const QString &caption, int left,
                                    int top)
{
    return FormControls::button(this, name, caption, twips(left, top, 975, 360));
}

void JinhuodjFrm::load()
{
    m_salePrice = 0.0;
    Text3[8]->setText(Values::storedDate(Clock::today()));

    const Query pending(PendingTable, pendingLines());
    const QVariant count = store().count(pending, column("编号"));
    const QVariant amount = store().sum(pending, column("金额"));
    setTotals(count.toDouble(), Values::sumText(amount));
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
    m_searching = true;
}

void JinhuodjFrm::connectActions()
{
    for (int index = 0; index < 3; ++index) {
        connect(Text3[index], &QLineEdit::textChanged, this,
                [this, index] { searchAsYouType(index); });
    }
    for (int index = 0; index < 9; ++index)
        connectHerbBoxKeys(index);
    connectListKeys();
    connectNumberKeys();

    connect(m_lookup, &DropDownSearch::enterPressed, this, &JinhuodjFrm::copyCatalogueRow);
    connect(m_lookup, &DropDownSearch::enterReleased, this, &JinhuodjFrm::finishGridPick);
    connect(m_lookup->grid(), &QAbstractItemView::clicked, this,
            &JinhuodjFrm::rememberSalePrice);
    EntryKeys::onKeyPress(m_lookup->grid(),
                          [this](QKeyEvent *event) { return handleModeKey(event); });

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

void JinhuodjFrm::searchAsYouType(int index)
{
    if (!m_searching)
        return;
    const Query query =
        Query::beginningWith(Catalogue, column(SearchColumns[index]), Text3[index]->text());
    // A failed search leaves the grid as it was.
    m_lookup->search(Text3[index], query, LookupWidth, index == 2 ? 800 : 1300, LookupColumns);
}

void JinhuodjFrm::copyCatalogueRow()
{
    const Cursor &row = m_lookup->cursor();
    if (!row.hasCurrent())
        return;
    struct Target { const char *column; QLineEdit *box; QComboBox *combo; };
    const Target targets[] = {{"编号", Text3[0], nullptr}, {"品名", Text3[1], nullptr},
                              {"拼音", Text3[2], nullptr}, {"规格", Text3[3], nullptr},
                              {"产地", Text3[5], nullptr}, {"批号", Text3[4], nullptr},
                              {"库房", nullptr, Combo2},   {"单位", nullptr, Combo1},
                              {"厂家", nullptr, Combo5}};
    m_searching = false;
    for (const Target &target : targets) {
        const QVariant value = row.value(column(target.column));
        if (value.isNull())
            continue;
        const QString text = value.toString().trimmed();
        if (target.box)
            target.box->setText(text);
        else
            target.combo->setEditText(text);
    }
    m_searching = true;
}

void JinhuodjFrm::rememberSalePrice()
{
    const QVariant price = m_lookup->cursor().value(column("销价"));
    if (!price.isNull())
        m_salePrice = price.toDouble();
}

void JinhuodjFrm::finishGridPick()
{
    m_lookup->hide();
    rememberSalePrice();
    Text3[3]->setFocus();
}

void JinhuodjFrm::computeAmount()
{
    const auto quantity = Values::parseNumber(Text6->text());
    const auto price = Values::parseNumber(Text7->text());
    if (!quantity || !price) {
        Messages::inform(this, QStringLiteral("输入错误"));
        return;
    }
    Text8->setText(Values::money(*quantity * *price));
    Text8->setFocus();
}

void JinhuodjFrm::refuse(QLineEdit *box, const QString &message)
{
    Messages::inform(this, message);
    box->setFocus();
    box->selectAll();
}

void JinhuodjFrm::addLine()
{
    // A refused line keeps everything typed, and the box to complete gets the focus.
    if (Text3[0]->text().isEmpty())
        return refuse(Text3[0], QStringLiteral("不能空"));
    if (Text6->text().isEmpty())
        return refuse(Text6, QStringLiteral("不能空"));
    for (const auto &[label, box] : std::as_const(m_labelledBoxes)) {
        if (!Values::fitsTextColumn(box->text()))
            return refuse(box, Values::tooLongMessage(label));
    }
    for (QLineEdit *box : {Text6, Text7, Text8}) {
        if (!box->text().isEmpty() && !Values::parseNumber(box->text()))
            return refuse(box, QStringLiteral("错误！"));
    }
    if (!Text3[8]->text().isEmpty() && !Values::parseDate(Text3[8]->text()))
        return refuse(Text3[8], QStringLiteral("错误！"));
    if (!storeLine())
        return;

    setTotals(Text4->text().toDouble() + 1, Values::money(totalAmount() + numberIn(Text8)));
    clearEntryBoxes();
    Text3[0]->setFocus();
}

bool JinhuodjFrm::storeLine()
{
    const auto orStar = [](const QString &text) {
        return text.isEmpty() ? QStringLiteral("*") : text;
    };
    QList<QPair<const char *, QString>> given = {
        {"编号", Text3[0]->text()},    {"品名", Text3[1]->text()},
        {"拼音", Text3[2]->text()},    {"规格", orStar(Text3[3]->text())},
        {"产地", orStar(Text3[5]->text())}, {"生产日期", Text3[6]->text()},
        {"批号", orStar(Text3[4]->text())}, {"有效期", Text3[7]->text()},
        {"单位", Combo1->currentText()}, {"数量", Text6->text()},
        {"进价", Text7->text()},       {"金额", Text8->text()},
        {"库房", Combo2->currentText()}, {"厂家", orStar(Combo5->currentText())}};
    Data1->addNew();
    bool ok = Data1->setValue(column("单据号"), Text9->text())
              && Data1->setValue(column("日期"), Text3[8]->text());
    for (const auto &[name, text] : given) {
        if (!text.isEmpty())
            ok = ok && Data1->setValue(column(name), text);
    }
    if (!ok || !Data1->update()) {
        Data1->cancelUpdate();
        Messages::inform(this, QStringLiteral("错误！\n") + Data1->lastError().text());
        return false;
    }
    Data1->refresh();
    Data1->last();
    return true;
}

void JinhuodjFrm::clearEntryBoxes()
{
    m_searching = false;
    for (int index = 0; index < 8; ++index)
        Text3[index]->clear();
    Text6->clear();
    Text7->clear();
    m_searching = true;
}

void JinhuodjFrm::deleteLine()
{
    DBGrid1->submitPendingEdits();
    if (!Data1->hasCurrent())
        return;
    const double amount = Data1->value(column("金额")).toDouble();
    if (!Data1->remove()) {
        Messages::inform(this, Data1->lastError().text());
        return;
    }
    const double total = Values::roundMoney(totalAmount() - amount);
    setTotals(Text4->text().toDouble() - 1, Values::plainNumber(total));
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
    const StockInResult result = postPendingPurchases(store(), request);
    if (!result.ok) {
        Messages::inform(this, QStringLiteral("入库失败，没有做任何改动。\n")
                                   + result.error.text());
        return;
    }
    if (result.postedLines == 0)
        return;
    Data1->refresh();
    setTotals(0, QStringLiteral("0"));
    Text9->setText(result.nextNumber);
}

void JinhuodjFrm::setKeepNumber(bool keep)
{
    m_keepNumber = keep;
    // Red document number: the next posting files under this number again.
    Text9->setStyleSheet(keep ? QStringLiteral("color: rgb(255, 0, 0);") : QString());
    Text9->setToolTip(keep ? QStringLiteral("保持单据号（F12 取消）") : QString());
}

void JinhuodjFrm::setTotals(double lines, const QString &amount)
{
    Text4->setText(Values::plainNumber(lines));
    Text5->setText(amount);
}

double JinhuodjFrm::totalAmount() const
{
    return numberIn(Text5);
}
