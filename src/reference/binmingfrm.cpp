#include "reference/binmingfrm.h"

#include "reference/rowactions.h"
#include "shell/datagrid.h"
#include "shell/entrykeys.h"
#include "shell/formcontrols.h"
#include "shell/messages.h"
#include "shell/twips.h"
#include "store/cursor.h"

#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QString Table = QStringLiteral("bianhao");
const QString CodeColumn = QStringLiteral("编号");
const QString NameColumn = QStringLiteral("品名");
const QString PinyinColumn = QStringLiteral("拼音");

// A label directly left of the control that starts at `controlLeft`.
QRect labelBefore(int controlLeft, int top)
{
    return twips(controlLeft - 600, top + 15, 555, 255);
}

} // namespace

BinmingFrm::BinmingFrm(Store &store, QWidget *parent)
    : ChildScreen(store, QStringLiteral("binmingfrm"), QStringLiteral("药材字典"), 8940, 6345,
                  parent),
      Data1(new Cursor(store, this))
{
    buildSearchFrame();
    Data1->open(Query(Table));
    DBGrid1 = new DataGrid(Data1, QStringLiteral("DBGrid1"), this);
    DBGrid1->setGeometry(twips(120, 840, 8655, 3135));
    buildEntryPanel();
    fillLists();

    EntryKeys::onEnter(Text1, [this] { search(); });
    EntryKeys::chainEnter({Text2[0], Text2[1], Text2[2], Text2[3], Text2[4], Combo1, Combo2,
                           Combo3},
                          [this] { addHerb(); });
    connect(Command1, &QPushButton::clicked, this, &BinmingFrm::search);
    connect(Command2, &QPushButton::clicked, this, &BinmingFrm::showAll);
    connect(Command3, &QPushButton::clicked, this, &BinmingFrm::addHerb);
    connect(Command4, &QPushButton::clicked, this, &BinmingFrm::deleteHerb);
    connect(Command7, &QPushButton::clicked, this, &ChildScreen::closeScreen);
    setStartBox(Text2[0]);
}

void BinmingFrm::buildSearchFrame()
{
    using namespace FormControls;
    Frame1 = frame(this, QStringLiteral("Frame1"), QStringLiteral("查询条件"),
                   twips(120, 60, 8655, 750));
    Label1 = label(Frame1, QStringLiteral("Label1"), QStringLiteral("编号/品名/拼音"),
                   twips(360, 240, 1455, 255));
    Text1 = textBox(Frame1, QStringLiteral("Text1"), twips(1920, 240, 3015, 270));
    Command1 = button(Frame1, QStringLiteral("Command1"), QStringLiteral("搜索"),
                      twips(5400, 240, 975, 255));
    Command2 = button(Frame1, QStringLiteral("Command2"), QStringLiteral("显示所有"),
                      twips(6720, 240, 975, 255));
    centreLineInFrame(Frame1);
}

void BinmingFrm::buildEntryPanel()
{
    using namespace FormControls;
    Picture1 = new QFrame(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setFrameShape(QFrame::StyledPanel);
    Picture1->setGeometry(twips(120, 4080, 8655, 1815));

    struct BoxPlace
    {
        const char *labelName;
        const char *caption;
        int left;
        int top;
        int width;
    };
    const std::array<BoxPlace, 5> boxes{{
        {"Label2", "编号", 840, 240, 1215},
        {"Label3", "品名", 2880, 240, 1335},
        {"Label4", "拼音", 5160, 240, 1335},
        {"Label5", "规格", 840, 720, 1215},
        {"Label9", "别名", 2880, 720, 1335},
    }};
    for (int i = 0; i < 5; ++i) {
        const BoxPlace &box = boxes[i];
        label(Picture1, QString::fromLatin1(box.labelName), QString::fromUtf8(box.caption),
              labelBefore(box.left, box.top));
        Text2[i] = textBox(Picture1, QStringLiteral("Text2_%1").arg(i),
                           twips(box.left, box.top, box.width, 270));
    }

    label(Picture1, QStringLiteral("Label6"), QStringLiteral("分类"), labelBefore(5160, 720));
    Combo1 = makeEntryCombo(QStringLiteral("Combo1"), Picture1);
    Combo1->setGeometry(twips(5160, 720, 1335, 300));
    label(Picture1, QStringLiteral("Label8"), QStringLiteral("库房"), labelBefore(840, 1200));
    Combo2 = makeEntryCombo(QStringLiteral("Combo2"), Picture1);
    Combo2->setGeometry(twips(840, 1200, 1215, 300));
    label(Picture1, QStringLiteral("Label10"), QStringLiteral("功能"), labelBefore(2880, 1200));
    Combo3 = makeEntryCombo(QStringLiteral("Combo3"), Picture1);
    Combo3->setGeometry(twips(2880, 1200, 3615, 300));

    Command3 = button(Picture1, QStringLiteral("Command3"), QStringLiteral("添加"),
                      twips(6960, 120, 975, 375));
    Command4 = button(Picture1, QStringLiteral("Command4"), QStringLiteral("删除"),
                      twips(6960, 600, 975, 375));
    Command7 = button(Picture1, QStringLiteral("Command7"), QStringLiteral("退出"),
                      twips(6960, 1080, 975, 375));
}

void BinmingFrm::fillLists()
{
    // Read once: entries added elsewhere while this window is open show after reopening it.
    fillChoices(Combo1, store(), QStringLiteral("fenlei"));
    fillChoices(Combo2, store(), QStringLiteral("kufang"));
    fillChoices(Combo3, store(), QStringLiteral("gongneng"));
}

void BinmingFrm::search()
{
    // The text is a pattern: "*" and "?" keep their meaning, no wildcard is added.
    const QString text = Text1->text();
    DBGrid1->submitPendingEdits();
    Data1->open(Query(Table, Filter::like(CodeColumn, text) || Filter::like(NameColumn, text)
                                 || Filter::like(PinyinColumn, text)));
}

void BinmingFrm::showAll()
{
    DBGrid1->submitPendingEdits();
    Data1->open(Query(Table));
}

void BinmingFrm::addHerb()
{
    const QString code = Text2[0]->text();
    const QString name = Text2[1]->text();
    if (code.isEmpty() || name.isEmpty()) {
        Messages::inform(this, QStringLiteral("不能空"));
        Text2[0]->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (!RowActions::textsFit(this, {{CodeColumn, Text2[0]}, {NameColumn, Text2[1]},
                                     {PinyinColumn, Text2[2]}, {QStringLiteral("规格"), Text2[3]},
                                     {QStringLiteral("别名"), Text2[4]},
                                     {QStringLiteral("分类"), Combo1->lineEdit()},
                                     {QStringLiteral("库房"), Combo2->lineEdit()},
                                     {QStringLiteral("功能"), Combo3->lineEdit()}}))
        return;
    DBGrid1->submitPendingEdits();
    bool found = false;
    if (!isDuplicate(code, name, &found) || (!found && !storeHerb(code, name))) {
        // The boxes and the list stay as they were, so the user can simply try again.
        Messages::inform(this, QStringLiteral("错误！"));
        return;
    }
    if (found)
        Messages::inform(this, QStringLiteral("重复，不能添加"));
    Data1->open(Query(Table));
    Text2[0]->setFocus(Qt::OtherFocusReason);
}

bool BinmingFrm::isDuplicate(const QString &code, const QString &name, bool *found)
{
    // Same code and same name, letter case aside; what was typed is compared, not a pattern.
    Cursor same(store());
    if (!same.open(Query(Table, Filter::sameText(CodeColumn, code)
                                    && Filter::sameText(NameColumn, name))))
        return false;
    *found = same.count() > 0;
    return true;
}

bool BinmingFrm::storeHerb(const QString &code, const QString &name)
{
    using RowActions::setIfGiven;
    Data1->addNew();
    const bool stored = Data1->setValue(CodeColumn, code) && Data1->setValue(NameColumn, name)
                        && setIfGiven(*Data1, PinyinColumn, Text2[2]->text())
                        && setIfGiven(*Data1, QStringLiteral("规格"), Text2[3]->text())
                        && setIfGiven(*Data1, QStringLiteral("分类"), Combo1->currentText())
                        && setIfGiven(*Data1, QStringLiteral("别名"), Text2[4]->text())
                        && setIfGiven(*Data1, QStringLiteral("库房"), Combo2->currentText())
                        && setIfGiven(*Data1, QStringLiteral("功能"), Combo3->currentText())
                        && Data1->update();
    if (!stored)
        Data1->cancelUpdate();
    return stored;
}

void BinmingFrm::deleteHerb()
{
    DBGrid1->submitPendingEdits();
    if (!RowActions::removeCurrent(this, *Data1))
        return;
    // Run the current source again (a search result stays a search result), with no row
    // chosen, so that a second click deletes nothing the user did not pick.
    Data1->refresh();
    Data1->setPosition(Data1->count());
}
