#include "trading/documentqueryfrm.h"

#include "shell/datagrid.h"
#include "shell/dropdownsearch.h"
#include "shell/entrykeys.h"
#include "shell/formcontrols.h"
#include "shell/gridexport.h"
#include "shell/messages.h"
#include "shell/twips.h"
#include "store/cursor.h"
#include "store/store.h"
#include "store/values.h"
#include "trading/linelisting.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QString NumberColumn = QStringLiteral("单据号");
const QString CodeColumn = QStringLiteral("编号");
const QString AmountColumn = QStringLiteral("金额");

constexpr int LookupWidthTwips = 6000;
constexpr int LookupHeightTwips = 1300;

} // namespace

DocumentQueryFrm::DocumentQueryFrm(Store &store, const DocumentQueryConfig &config,
                                   QWidget *parent)
    : ChildScreen(store, config.screenName, config.caption, 9990, 6210, parent), m_config(config)
{
    buildControls();
    connectKeys();
    connect(Text1, &QLineEdit::textChanged, this, [this] {
        if (m_searching)
            lookUpHeaders();
    });
    connect(Command1, &QPushButton::clicked, this, &DocumentQueryFrm::search);
    connect(Command2, &QPushButton::clicked, this, [this] {
        if (m_config.reprint)
            m_config.reprint(this);
    });
    m_searching = true;
}

void DocumentQueryFrm::buildControls()
{
    Frame1 = new QGroupBox(m_config.frameCaption, this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(twips(120, 60, 9630, 900));

    FormControls::label(Frame1, QString(), QStringLiteral("单据号"), twips(180, 405, 720, 300));
    Text1 = FormControls::textBox(Frame1, QStringLiteral("Text1"), twips(900, 360, 2520, 360));
    Text1->setText(m_config.prefix);
    FormControls::label(Frame1, QString(), QStringLiteral("品种"), twips(3660, 405, 480, 300));
    Text2 = FormControls::textBox(Frame1, QStringLiteral("Text2"), twips(4140, 360, 1080, 360));
    FormControls::label(Frame1, QString(), QStringLiteral("合计金额"), twips(5400, 405, 960, 300));
    Text3 = FormControls::textBox(Frame1, QStringLiteral("Text3"), twips(6360, 360, 1500, 360));
    Text2->setReadOnly(true);
    Text3->setReadOnly(true);

    Command1 = FormControls::button(Frame1, QStringLiteral("Command1"), QStringLiteral("搜索"),
                                    twips(8040, 330, 720, 420));
    Command2 = FormControls::button(Frame1, QStringLiteral("Command2"), QStringLiteral("打印"),
                                    twips(8820, 330, 720, 420));
    Command2->setEnabled(bool(m_config.reprint));

    Data1 = new Cursor(store(), this);
    Data1->setObjectName(QStringLiteral("Data1"));
    DBGrid1 = new DataGrid(Data1, QStringLiteral("DBGrid1"), this);
    DBGrid1->setGeometry(twips(120, 1080, 9630, 4620));
    DBGrid1->exporter()->setTotals(GridExport::boxTotals(
        {{QStringLiteral("品种"), Text2}, {QStringLiteral("合计金额"), Text3}}));

    m_headers = new DropDownSearch(store(), this, QStringLiteral("DBGrid2"));
    m_headers->cursor().setObjectName(QStringLiteral("Data2"));
}

void DocumentQueryFrm::connectKeys()
{
    EntryKeys::onKeyPress(Text1, [this](QKeyEvent *event) {
        switch (event->key()) {
        case Qt::Key_Down:
            if (!m_headers->isShown())
                return false;
            m_headers->enter();
            return true;
        case Qt::Key_Escape:
            m_headers->hide();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (m_headers->isShown())
                takeOverHeader();
            else
                search();
            return true;
        default:
            return false;
        }
    });
    // The list also answers Enter and a double click, then hands the focus back to the box.
    const auto takeOverFromList = [this] {
        takeOverHeader();
        Text1->setFocus();
    };
    connect(m_headers, &DropDownSearch::enterPressed, this, takeOverFromList);
    connect(m_headers->grid(), &QAbstractItemView::doubleClicked, this, takeOverFromList);
}

void DocumentQueryFrm::lookUpHeaders()
{
    const Query headers =
        Query::beginningWith(m_config.headerTable, m_config.headerColumn, Text1->text());
    if (!m_headers->search(Text1, headers, LookupWidthTwips, LookupHeightTwips, 0))
        return;
    DataGrid *grid = m_headers->grid();
    grid->setColumnWidth(0, twips(2400));
    grid->setColumnWidth(1, twips(1500));
    grid->setColumnWidth(2, twips(1800));
}

void DocumentQueryFrm::takeOverHeader()
{
    const QVariant number = m_headers->cursor().value(m_config.headerColumn);
    if (!number.isNull()) {
        // The chosen number needs no new look-up: the list closes anyway.
        m_searching = false;
        Text1->setText(number.toString().trimmed());
        m_searching = true;
    }
    m_headers->hide();
}

void DocumentQueryFrm::search()
{
    m_headers->hide();
    if (!searchTextFits(this, Text1, QStringLiteral("单据号")))
        return;
    DBGrid1->submitPendingEdits();
    const Query lines(m_config.linesTable, Filter::like(NumberColumn, Text1->text()));
    QString problem;
    const auto totals = listWithTotals(store(), *Data1, lines,
                                       {{Store::Total::Count, CodeColumn},
                                        {Store::Total::Sum, AmountColumn}},
                                       &problem);
    if (!totals) {
        Text2->setText(QStringLiteral("0"));
        Text3->setText(QStringLiteral("0"));
        Messages::inform(this, QStringLiteral("查询失败：%1").arg(problem));
        return;
    }
    // Document numbers are longer than the other values.
    DBGrid1->setColumnWidth(Data1->columnIndex(NumberColumn), twips(1650));
    Text2->setText(QString::number(totals->at(0).toLongLong()));
    Text3->setText(Values::plainSum(totals->at(1)));
}
