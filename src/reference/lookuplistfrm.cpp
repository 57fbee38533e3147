#include "reference/lookuplistfrm.h"

#include "reference/rowactions.h"
#include "shell/datagrid.h"
#include "shell/formcontrols.h"
#include "shell/messages.h"
#include "shell/twips.h"
#include "store/cursor.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace LookupLists {

LookupListConfig kufang()
{
    return {QStringLiteral("kufangfrm"), QStringLiteral("库房设置"), QStringLiteral("kufang"),
            QStringLiteral("库房")};
}

LookupListConfig danwei()
{
    return {QStringLiteral("danweifrm"), QStringLiteral("计量单位"), QStringLiteral("danwei"),
            QStringLiteral("单位")};
}

LookupListConfig fenlei()
{
    return {QStringLiteral("fenleifrm"), QStringLiteral("药材分类"), QStringLiteral("fenlei"),
            QStringLiteral("分类")};
}

LookupListConfig gongneng()
{
    return {QStringLiteral("gongnengfrm"), QStringLiteral("功能"), QStringLiteral("gongneng"),
            QStringLiteral("功能")};
}

} // namespace LookupLists

LookupListFrm::LookupListFrm(Store &store, const LookupListConfig &config, QWidget *parent)
    : ChildScreen(store, config.name, config.caption, 4650, 3435, parent),
      Data1(new Cursor(store, this))
{
    using namespace FormControls;
    Frame1 = frame(this, QStringLiteral("Frame1"), QString(), twips(120, 0, 4335, 615));
    Label1 = label(Frame1, QStringLiteral("Label1"), config.label, twips(240, 240, 495, 255));
    Text1 = textBox(Frame1, QStringLiteral("Text1"), twips(720, 240, 975, 270));
    Command1 = button(Frame1, QStringLiteral("Command1"), QStringLiteral("添加"),
                      twips(1920, 240, 855, 255));
    Command2 = button(Frame1, QStringLiteral("Command2"), QStringLiteral("删除"),
                      twips(2880, 240, 855, 255));

    Data1->open(Query(config.table));
    DBGrid1 = new DataGrid(Data1, QStringLiteral("DBGrid1"), this);
    DBGrid1->setGeometry(twips(120, 720, 4335, 2295));

    connect(Command1, &QPushButton::clicked, this, &LookupListFrm::addEntry);
    connect(Command2, &QPushButton::clicked, this, &LookupListFrm::deleteEntry);
}

void LookupListFrm::addEntry()
{
    if (!RowActions::textsFit(this, {{Label1->text(), Text1}}))
        return;
    DBGrid1->submitPendingEdits();
    // The text goes in unchanged: an empty box adds an empty entry, which the lists then offer.
    Data1->addNew();
    if (!Data1->setValue(1, RowActions::typed(Text1->text())) || !Data1->update()) {
        Data1->cancelUpdate();
        Messages::inform(this, Data1->lastError().text());
    }
}

void LookupListFrm::deleteEntry()
{
    DBGrid1->submitPendingEdits();
    // No row chosen (an empty list, or the row just deleted): nothing to delete or to say.
    if (Data1->hasCurrent() && !Data1->remove())
        Messages::inform(this, Data1->lastError().text());
}
