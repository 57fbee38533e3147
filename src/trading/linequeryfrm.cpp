#include "trading/linequeryfrm.h"

#include "shell/datagrid.h"
#include "shell/dateinput.h"
#include "shell/entrykeys.h"
#include "shell/formcontrols.h"
#include "shell/gridexport.h"
#include "shell/messages.h"
#include "shell/twips.h"
#include "store/clock.h"
#include "store/cursor.h"
#include "store/store.h"
#include "store/values.h"
#include "trading/linelisting.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

const QString CodeColumn = QStringLiteral("编号");
const QString NameColumn = QStringLiteral("品名");
const QString DateColumn = QStringLiteral("日期");
const QString QuantityColumn = QStringLiteral("数量");
const QString AmountColumn = QStringLiteral("金额");

std::optional<double> numberOrNothing(const QVariant &value)
{
    if (value.isNull())
        return std::nullopt;
    return value.toDouble();
}

// A total as the database returns it, unformatted: 13.5, 11; "0" when there is nothing to add.
QString totalText(const std::optional<double> &total)
{
    return total ? Values::plainNumber(*total) : QStringLiteral("0");
}

} // namespace

LineQueryFrm::LineQueryFrm(Store &store, const LineQueryConfig &config, QWidget *parent)
    : ChildScreen(store, config.screenName, config.caption, 9795, 6840, parent), m_config(config)
{
    buildControls();
    fillChoices(Combo1, store, m_config.partnerTable);
    Combo1->setEditText(QString());
    showTotals();

    connect(Command1, &QPushButton::clicked, this, &LineQueryFrm::search);
    connect(deleteOneButton, &QPushButton::clicked, this, &LineQueryFrm::deleteSelectedLine);
    connect(deleteAllButton, &QPushButton::clicked, this, &LineQueryFrm::deleteListedLines);
    // Typing a condition chooses its mode, and Enter there searches at once.
    const auto chooseOnEdit = [](QRadioButton *option) {
        return [option](const QString &) { option->setChecked(true); };
    };
    connect(Text1, &QLineEdit::textEdited, this, chooseOnEdit(Option1));
    connect(Text2, &QLineEdit::textEdited, this, chooseOnEdit(Option2));
    connect(Text3, &QLineEdit::textEdited, this, chooseOnEdit(Option2));
    connect(Combo1->lineEdit(), &QLineEdit::textEdited, this, chooseOnEdit(Option3));
    connect(Combo1, &QComboBox::textActivated, this, chooseOnEdit(Option3));
    for (QWidget *box : {static_cast<QWidget *>(Text1), static_cast<QWidget *>(Text2),
                         static_cast<QWidget *>(Text3), static_cast<QWidget *>(Combo1)})
        EntryKeys::onEnter(box, [this] { search(); });
    setStartBox(Text1);
}

void LineQueryFrm::buildControls()
{
    Frame1 = new QGroupBox(QStringLiteral("查询条件"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(twips(120, 60, 8040, 1380));

    Option1 = new QRadioButton(QStringLiteral("编号/品名"), Frame1);
    Option1->setObjectName(QStringLiteral("Option1"));
    Option1->setGeometry(twips(180, 330, 1300, 330));
    Text1 = FormControls::textBox(Frame1, QStringLiteral("Text1"), twips(1500, 315, 2100, 360));

    Option3 = new QRadioButton(m_config.partnerCaption, Frame1);
    Option3->setObjectName(QStringLiteral("Option3"));
    Option3->setGeometry(twips(3900, 330, 1300, 330));
    Combo1 = makeEntryCombo(QStringLiteral("Combo1"), Frame1);
    Combo1->setGeometry(twips(5220, 315, 2640, 360));

    Option2 = new QRadioButton(QStringLiteral("日期"), Frame1);
    Option2->setObjectName(QStringLiteral("Option2"));
    Option2->setGeometry(twips(180, 870, 1300, 330));
    Text2 = FormControls::textBox(Frame1, QStringLiteral("Text2"), twips(1500, 855, 1500, 360));
    FormControls::label(Frame1, QString(), QStringLiteral("至"), twips(3150, 885, 300, 300));
    Text3 = FormControls::textBox(Frame1, QStringLiteral("Text3"), twips(3450, 855, 1500, 360));
    const QString today = Values::storedDate(Clock::today());
    Text2->setText(today);
    Text3->setText(today);
    Text2->setToolTip(QStringLiteral("如 2026-12-05"));
    Text3->setToolTip(QStringLiteral("如 2026-12-05"));

    Command1 = FormControls::button(Frame1, QStringLiteral("Command1"), QStringLiteral("搜索"),
                                    twips(6660, 810, 1200, 420));
    Option1->setChecked(true);

    deleteOneButton = FormControls::button(this, m_config.deleteOneButton, QStringLiteral("删除"),
                                           twips(8370, 240, 1140, 420));
    deleteAllButton = FormControls::button(this, m_config.deleteAllButton, QStringLiteral("全删"),
                                           twips(8370, 840, 1140, 420));

    Data1 = new Cursor(store(), this);
    DBGrid1 = new DataGrid(Data1, QStringLiteral("DBGrid1"), this);
    DBGrid1->setGeometry(twips(120, 1560, 9390, 4050));

    FormControls::label(this, QString(), QStringLiteral("品种数"), twips(120, 5790, 780, 300));
    Text4 = FormControls::textBox(this, QStringLiteral("Text4"), twips(900, 5745, 1320, 360));
    FormControls::label(this, QString(), QStringLiteral("合计数量"), twips(2580, 5790, 960, 300));
    Text5 = FormControls::textBox(this, QStringLiteral("Text5"), twips(3540, 5745, 1800, 360));
    FormControls::label(this, QString(), QStringLiteral("合计金额"), twips(5700, 5790, 960, 300));
    Text6 = FormControls::textBox(this, QStringLiteral("Text6"), twips(6660, 5745, 1800, 360));
    for (QLineEdit *total : {Text4, Text5, Text6})
        total->setReadOnly(true);
    DBGrid1->exporter()->setTotals(GridExport::boxTotals(
        {{QStringLiteral("品种数"), Text4}, {QStringLiteral("合计数量"), Text5},
         {QStringLiteral("合计金额"), Text6}}));
}

std::optional<Query> LineQueryFrm::chosenLines()
{
    Query lines(m_config.linesTable);
    if (Option1->isChecked()) {
        if (!searchTextFits(this, Text1, Option1->text()))
            return std::nullopt;
        const QString codeOrName = Text1->text();
        lines.where = Filter::like(CodeColumn, codeOrName) || Filter::like(NameColumn, codeOrName);
        return lines;
    }
    // A date range or a partner lists its lines in the order of the index that finds them:
    // the first page is then read straight from it, however many lines a year holds.
    if (Option2->isChecked()) {
        const auto from = dateInBox(this, Text2, QStringLiteral("起始日期"));
        if (!from)
            return std::nullopt;
        const auto to = dateInBox(this, Text3, QStringLiteral("截止日期"));
        if (!to)
            return std::nullopt;
        lines.where = Filter::atLeast(DateColumn, *from) && Filter::atMost(DateColumn, *to);
        lines.orderBy = DateColumn;
        return lines;
    }
    if (!searchTextFits(this, Combo1->lineEdit(), m_config.partnerCaption))
        return std::nullopt;
    lines.where = Filter::like(m_config.partnerColumn, Combo1->currentText());
    lines.orderBy = m_config.partnerColumn;
    lines.orderIgnoresCase = true;
    return lines;
}

void LineQueryFrm::search()
{
    const auto lines = chosenLines();
    if (!lines)
        return;
    DBGrid1->submitPendingEdits();
    QString problem;
    const auto totals = listWithTotals(store(), *Data1, *lines,
                                       {{Store::Total::Count, CodeColumn},
                                        {Store::Total::Sum, QuantityColumn},
                                        {Store::Total::Sum, AmountColumn}},
                                       &problem);
    if (!totals) {
        m_lineCount = 0;
        m_quantityTotal.reset();
        m_amountTotal.reset();
        showTotals();
        Messages::inform(this, QStringLiteral("查询失败：%1").arg(problem));
        return;
    }
    m_lineCount = totals->at(0).toLongLong();
    m_quantityTotal = numberOrNothing(totals->at(1));
    m_amountTotal = numberOrNothing(totals->at(2));
    // Document numbers are longer than the other values.
    DBGrid1->setColumnWidth(Data1->columnIndex(QStringLiteral("单据号")), twips(1650));
    showTotals();
}

void LineQueryFrm::showTotals()
{
    Text4->setText(QString::number(m_lineCount));
    Text5->setText(totalText(m_quantityTotal));
    Text6->setText(totalText(m_amountTotal));
}

void LineQueryFrm::forgetCurrentLine()
{
    if (!Data1->value(CodeColumn).isNull())
        --m_lineCount;
    if (const auto quantity = numberOrNothing(Data1->value(QuantityColumn)); quantity
                                                                             && m_quantityTotal)
        *m_quantityTotal -= *quantity;
    if (const auto amount = numberOrNothing(Data1->value(AmountColumn)); amount && m_amountTotal)
        *m_amountTotal -= *amount;
}

void LineQueryFrm::deleteSelectedLine()
{
    DBGrid1->submitPendingEdits();
    if (!Data1->hasCurrent())
        return;
    const qint64 countBefore = m_lineCount;
    const auto quantityBefore = m_quantityTotal;
    const auto amountBefore = m_amountTotal;
    forgetCurrentLine();
    if (!Data1->remove()) {
        m_lineCount = countBefore;
        m_quantityTotal = quantityBefore;
        m_amountTotal = amountBefore;
        Messages::inform(this, QStringLiteral("删除失败：%1").arg(Data1->lastError().text()));
        return;
    }
    if (Data1->isEmpty()) {
        m_lineCount = 0;
        m_quantityTotal.reset();
        m_amountTotal.reset();
    }
    showTotals();
}

void LineQueryFrm::deleteListedLines()
{
    DBGrid1->submitPendingEdits();
    if (!Data1->isOpen() || Data1->isEmpty())
        return;
    // All listed lines go, or none: a failure half-way must not leave a half-deleted list.
    if (!Data1->removeAll()) {
        Messages::inform(this, QStringLiteral("删除失败，未删除任何记录：%1")
                                   .arg(Data1->lastError().text()));
        return;
    }
    m_lineCount = 0;
    m_quantityTotal.reset();
    m_amountTotal.reset();
    showTotals();
}
