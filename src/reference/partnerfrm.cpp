#include "reference/partnerfrm.h"

#include "reference/rowactions.h"
#include "shell/datagrid.h"
#include "shell/entrykeys.h"
#include "shell/formcontrols.h"
#include "shell/messages.h"
#include "shell/twips.h"
#include "store/cursor.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace Partners {

PartnerConfig gonghuo()
{
    return {QStringLiteral("gonghuofrm"),
            QStringLiteral("供货单位"),
            QStringLiteral("changjia"),
            {QStringLiteral("厂家"), QStringLiteral("地址"), QStringLiteral("联系"),
             QStringLiteral("电话")},
            {QStringLiteral("供货厂家"), QStringLiteral("地    址"), QStringLiteral("联系"),
             QStringLiteral("电话")},
            0,
            1440};
}

PartnerConfig kehu()
{
    return {QStringLiteral("kehufrm"),
            QStringLiteral("客户资料"),
            QStringLiteral("yonghu"),
            {QStringLiteral("客户"), QStringLiteral("地址"), QStringLiteral("联系"),
             QStringLiteral("电话")},
            {QStringLiteral("客户"), QStringLiteral("地址"), QStringLiteral("联系"),
             QStringLiteral("电话")},
            120,
            1560};
}

PartnerConfig yuangong()
{
    return {QStringLiteral("yuangongfrm"),
            QStringLiteral("员工资料"),
            QStringLiteral("yuangong"),
            {QStringLiteral("员工"), QStringLiteral("地址"), QStringLiteral("电话"),
             QStringLiteral("备注")},
            {QStringLiteral("员工"), QStringLiteral("地址"), QStringLiteral("电话"),
             QStringLiteral("备注")},
            120,
            1560};
}

} // namespace Partners

namespace {

// Places inside the frame (twips): Text1 and Text3 on the upper row, Text2 and Text4 below.
struct BoxPlace
{
    int labelLeft;
    int labelWidth;
    int boxLeft;
    int boxWidth;
    int top;
};

constexpr std::array<BoxPlace, 4> boxPlaces{{
    {240, 795, 1080, 2295, 360},
    {240, 795, 1080, 2295, 840},
    {3600, 435, 4080, 1815, 360},
    {3600, 435, 4080, 1815, 840},
}};

} // namespace

PartnerFrm::PartnerFrm(Store &store, const PartnerConfig &config, QWidget *parent)
    : ChildScreen(store, config.name, config.caption, 8280, 5640, parent), m_config(config),
      Data1(new Cursor(store, this))
{
    using namespace FormControls;
    Frame1 = frame(this, QStringLiteral("Frame1"), QString(),
                   twips(120, config.frameTop, 7935, 1335));
    for (int i = 0; i < 4; ++i) {
        const BoxPlace &place = boxPlaces[i];
        const QString number = QString::number(i + 1);
        Label[i] = label(Frame1, QStringLiteral("Label") + number, config.labels[i],
                         twips(place.labelLeft, place.top, place.labelWidth, 255));
        Text[i] = textBox(Frame1, QStringLiteral("Text") + number,
                          twips(place.boxLeft, place.top, place.boxWidth, 270));
    }
    const int firstRow = config.frameTop + 360;
    const int secondRow = config.frameTop + 840;
    Command1 = button(this, QStringLiteral("Command1"), QStringLiteral("添加"),
                      twips(6600, firstRow, 855, 255));
    Command2 = button(this, QStringLiteral("Command2"), QStringLiteral("删除"),
                      twips(6600, secondRow, 855, 255));

    Data1->open(Query(config.table));
    DBGrid1 = new DataGrid(Data1, QStringLiteral("DBGrid1"), this);
    DBGrid1->setGeometry(twips(120, config.gridTop, 7935, 3615));

    // Reading order for Enter is Text1, Text2, Text3, Text4 although Text3 stands above Text2.
    setTabOrder(Text[0], Text[1]);
    setTabOrder(Text[1], Text[2]);
    setTabOrder(Text[2], Text[3]);
    EntryKeys::chainEnter({Text[0], Text[1], Text[2], Text[3]}, [this] { addAndStartNext(); });
    connect(Command1, &QPushButton::clicked, this, &PartnerFrm::addRow);
    connect(Command2, &QPushButton::clicked, this, &PartnerFrm::deleteRow);
    setStartBox(Text[0]);
}

bool PartnerFrm::addRow()
{
    QList<QPair<QString, QLineEdit *>> labelledBoxes;
    for (int i = 0; i < 4; ++i)
        labelledBoxes.append({m_config.labels[i], Text[i]});
    if (!RowActions::textsFit(this, labelledBoxes))
        return false;
    DBGrid1->submitPendingEdits();
    Data1->addNew();
    bool stored = true;
    for (int i = 0; i < 4 && stored; ++i)
        stored = RowActions::setIfGiven(*Data1, m_config.columns[i], Text[i]->text());
    if (stored && Data1->update())
        return true;
    Data1->cancelUpdate();
    Messages::inform(this, Data1->lastError().text());
    return false;
}

void PartnerFrm::addAndStartNext()
{
    // Address, contact and telephone stay for the next partner, which often shares them.
    if (!addRow())
        return;
    Text[0]->clear();
    Text[0]->setFocus(Qt::OtherFocusReason);
}

void PartnerFrm::deleteRow()
{
    DBGrid1->submitPendingEdits();
    // No row chosen (an empty table, or the row just deleted): nothing to delete or to say.
    if (Data1->hasCurrent() && !Data1->remove())
        Messages::inform(this, Data1->lastError().text());
}
