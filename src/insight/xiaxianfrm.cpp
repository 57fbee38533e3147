#include "insight/xiaxianfrm.h"

#include "shell/datagrid.h"
#include "shell/entrykeys.h"
#include "shell/formcontrols.h"
#include "shell/messages.h"
#include "shell/twips.h"
#include "store/cursor.h"
#include "store/store.h"
#include "store/values.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QString Table = QStringLiteral("kucunxiaxian");
const QString CodeColumn = QStringLiteral("编号");
const QString MinimumColumn = QStringLiteral("下限");

} // namespace

XiaxianFrm::XiaxianFrm(Store &store, QWidget *parent)
    : ChildScreen(store, QStringLiteral("xiaxianfrm"), QStringLiteral("库存下限"), 6000, 5400,
                  parent),
      Data1(new Cursor(store, this))
{
    using namespace FormControls;
    auto *page = new QVBoxLayout(this);
    auto *row = new QHBoxLayout;
    Label1 = label(this, QStringLiteral("Label1"), CodeColumn, QRect());
    Text1 = textBox(this, QStringLiteral("Text1"), QRect());
    Text1->setFixedWidth(twips(1200));
    Label2 = label(this, QStringLiteral("Label2"), MinimumColumn, QRect());
    Text2 = textBox(this, QStringLiteral("Text2"), QRect());
    Text2->setFixedWidth(twips(900));
    Command1 = button(this, QStringLiteral("Command1"), QStringLiteral("添加"), QRect());
    Command2 = button(this, QStringLiteral("Command2"), QStringLiteral("删除"), QRect());
    for (QWidget *control : {static_cast<QWidget *>(Label1), static_cast<QWidget *>(Text1),
                             static_cast<QWidget *>(Label2), static_cast<QWidget *>(Text2),
                             static_cast<QWidget *>(Command1), static_cast<QWidget *>(Command2)})
        row->addWidget(control);
    row->addStretch();
    page->addLayout(row);

    // Codes sorted as the low-stock list shows them, whatever order they were added in.
    Query minimums(Table);
    minimums.orderBy = CodeColumn;
    minimums.orderIgnoresCase = true;
    Data1->open(minimums);
    DBGrid1 = new DataGrid(Data1, QStringLiteral("DBGrid1"), this);
    page->addWidget(DBGrid1);
    if (!Data1->isOpen())
        Messages::inform(this, Data1->lastError().text());

    connect(Command1, &QPushButton::clicked, this, &XiaxianFrm::addMinimum);
    connect(Command2, &QPushButton::clicked, this, &XiaxianFrm::deleteMinimum);
    EntryKeys::chainEnter({Text1, Text2}, [this] { addMinimum(); });
    setStartBox(Text1);
}

QString XiaxianFrm::problemWithTyped(const QString &code, const QString &minimum)
{
    if (code.isEmpty())
        return QStringLiteral("编号不能空");
    if (!Values::fitsTextColumn(code))
        return Values::tooLongMessage(CodeColumn);
    const std::optional<double> number = Values::parseNumber(minimum);
    if (!number || *number < 0)
        return QStringLiteral("下限应为不小于 0 的数");
    const qint64 same = store().rowCount(Query(Table, Filter::sameText(CodeColumn, code)));
    if (!store().lastError().isEmpty())
        return store().lastError().text();
    return same > 0 ? QStringLiteral("重复，不能添加") : QString();
}

void XiaxianFrm::addMinimum()
{
    DBGrid1->submitPendingEdits();
    const QString code = Text1->text().trimmed();
    const QString problem = problemWithTyped(code, Text2->text());
    if (!problem.isEmpty()) {
        Messages::inform(this, problem);
        return;
    }
    Data1->addNew();
    if (!Data1->setValue(CodeColumn, code) || !Data1->setValue(MinimumColumn, Text2->text())
        || !Data1->update()) {
        Data1->cancelUpdate();
        Messages::inform(this, Data1->lastError().text());
        return;
    }
    Text1->clear();
    Text2->clear();
    Text1->setFocus();
}

void XiaxianFrm::deleteMinimum()
{
    DBGrid1->submitPendingEdits();
    if (!Data1->hasCurrent()) {
        Messages::inform(this, QStringLiteral("请先在表格中选择一条记录"));
        return;
    }
    if (!Data1->remove())
        Messages::inform(this, Data1->lastError().text());
}
