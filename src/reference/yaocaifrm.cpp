#include "reference/yaocaifrm.h"

#include "reference/rowactions.h"
#include "shell/datagrid.h"
#include "shell/dropdownsearch.h"
#include "shell/entrykeys.h"
#include "shell/formcontrols.h"
#include "shell/messages.h"
#include "shell/twips.h"
#include "store/cursor.h"
#include "store/query.h"

#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <utility>

namespace {

const QString Catalogue = QStringLiteral("yaocai");
const QString Dictionary = QStringLiteral("bianhao");

// The dictionary column searched by each of the three name boxes (Text2 index 0 to 2).
const QString NameColumns[] = {QStringLiteral("编号"), QStringLiteral("品名"),
                               QStringLiteral("拼音")};

constexpr int LookupWidthTwips = 6300;
constexpr int LookupHeightTwips = 1300;
constexpr int LookupSizedColumns = 8;

// A label stands directly left of its control, on the control's line.
constexpr int LabelWidthTwips = 690;
constexpr int LabelGapTwips = 30;

// Rows whose code, name or pinyin matches the pattern.
Filter anyNameColumn(const QString &pattern)
{
    return Filter::like(NameColumns[0], pattern) || Filter::like(NameColumns[1], pattern)
           || Filter::like(NameColumns[2], pattern);
}

bool isEnterKey(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

void setBoxText(QWidget *box, const QString &text)
{
    if (auto *line = qobject_cast<QLineEdit *>(box))
        line->setText(text);
    else if (auto *combo = qobject_cast<QComboBox *>(box))
        combo->setEditText(text);
}

} // namespace

YaocaiFrm::YaocaiFrm(Store &store, QWidget *parent)
    : ChildScreen(store, QStringLiteral("yaocaifrm"), QStringLiteral("药材维护"), 11115, 5525,
                  parent),
      Data1(new Cursor(store, this))
{
    buildSearchFrame();
    DBGrid1 = new DataGrid(Data1, QStringLiteral("DBGrid1"), this);
    DBGrid1->setGeometry(twips(120, 840, 10815, 2175));
    buildEntryFrame();
    // Created last so that the dropped-down list lies over the entry boxes.
    m_lookup = new DropDownSearch(store, this, QStringLiteral("DBGrid2"));
    connectKeys();

    reopenCatalogue(Query(Catalogue));
    loadChoices();
    m_lookupEnabled = true;
    setStartBox(Text2[0]);
}

QLabel *YaocaiFrm::addLabel(QWidget *parent, const QString &name, const QString &text, int left,
                            int top, int width)
{
    return FormControls::label(parent, name, text, twips(left, top, width, 255));
}

void YaocaiFrm::buildSearchFrame()
{
    Frame1 = FormControls::frame(this, QStringLiteral("Frame1"), QStringLiteral("查询条件"),
                                 twips(120, 60, 10815, 750));
    Label1 = addLabel(Frame1, QStringLiteral("Label1"), QStringLiteral("编号/品名/拼音"), 480, 240,
                      1455);
    Text1 = FormControls::textBox(Frame1, QStringLiteral("Text1"), twips(1920, 240, 3015, 270));
    Command1 = FormControls::button(Frame1, QStringLiteral("Command1"), QStringLiteral("搜索"),
                                    twips(5400, 240, 975, 255));
    Command2 = FormControls::button(Frame1, QStringLiteral("Command2"), QStringLiteral("显示所有"),
                                    twips(6960, 240, 975, 255));
    FormControls::centreLineInFrame(Frame1);

    connect(Command1, &QPushButton::clicked, this, &YaocaiFrm::search);
    connect(Command2, &QPushButton::clicked, this, &YaocaiFrm::showAll);
    connect(Text1, &QLineEdit::textChanged, this, &YaocaiFrm::searchAsYouType);
}

QLineEdit *YaocaiFrm::addEntryBox(int index, const QString &label, int left, int top)
{
    static const char *const labelNames[] = {"Label2",  "Label3",  "Label4", "Label5",
                                             "Label13", "Label14", "Label17"};
    addLabel(Frame2, QString::fromLatin1(labelNames[index]), label,
             left - LabelWidthTwips - LabelGapTwips, top + 15, LabelWidthTwips);
    QLineEdit *box = FormControls::textBox(Frame2, QStringLiteral("Text2_%1").arg(index),
                                           twips(left, top, 1335, 270));
    m_labelledBoxes.append({label, box});
    return box;
}

QComboBox *YaocaiFrm::addEntryCombo(const QString &name, const QString &label,
                                    const QString &labelName, int left, int top, int width)
{
    addLabel(Frame2, labelName, label, left - LabelWidthTwips - LabelGapTwips, top + 30,
             LabelWidthTwips);
    QComboBox *combo = makeEntryCombo(name, Frame2);
    combo->setGeometry(twips(left, top, width, 300));
    m_labelledBoxes.append({label, combo->lineEdit()});
    return combo;
}

QPushButton *YaocaiFrm::addButton(const QString &name, const QString &caption, int top)
{
    return FormControls::button(Frame2, name, caption, twips(9600, top, 975, 375));
}

void YaocaiFrm::buildEntryFrame()
{
    Frame2 = new QGroupBox(this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Frame2->setGeometry(twips(120, 3120, 10815, 1935));

    Text2[0] = addEntryBox(0, QStringLiteral("编号"), 840, 360);
    Text2[1] = addEntryBox(1, QStringLiteral("品  名"), 3120, 360);
    Text2[2] = addEntryBox(2, QStringLiteral("拼    音"), 5640, 360);
    Text2[3] = addEntryBox(3, QStringLiteral("规   格"), 8040, 360);
    Text2[4] = addEntryBox(4, QStringLiteral("产地"), 840, 840);
    Text2[5] = addEntryBox(5, QStringLiteral("批  号"), 3120, 840);
    Text2[6] = addEntryBox(6, QStringLiteral("销   价"), 5640, 840);
    Combo1 = addEntryCombo(QStringLiteral("Combo1"), QStringLiteral("单    位"),
                           QStringLiteral("Label16"), 8040, 840, 1335);
    Combo2 = addEntryCombo(QStringLiteral("Combo2"), QStringLiteral("库  房"),
                           QStringLiteral("Label8"), 840, 1320, 1335);
    Combo3 = addEntryCombo(QStringLiteral("Combo3"), QStringLiteral("分  类"),
                           QStringLiteral("Label6"), 3120, 1320, 1335);
    Combo4 = addEntryCombo(QStringLiteral("Combo4"), QStringLiteral("厂  家"),
                           QStringLiteral("Label7"), 5640, 1320, 2655);

    Command3 = addButton(QStringLiteral("Command3"), QStringLiteral("添加"), 240);
    Command4 = addButton(QStringLiteral("Command4"), QStringLiteral("删除"), 720);
    Command7 = addButton(QStringLiteral("Command7"), QStringLiteral("退出"), 1200);
    connect(Command3, &QPushButton::clicked, this, [this] { addRow(AddTrigger::Button); });
    connect(Command4, &QPushButton::clicked, this, &YaocaiFrm::removeCurrent);
    connect(Command7, &QPushButton::clicked, this, &YaocaiFrm::closeScreen);

    for (int index = 0; index < 3; ++index)
        connect(Text2[index], &QLineEdit::textChanged, this, [this, index] { lookUp(index); });
}

void YaocaiFrm::connectKeys()
{
    for (int index = 0; index < 7; ++index) {
        EntryKeys::onKeyPress(Text2[index], [this, index](QKeyEvent *event) {
            return handleEntryKey(index, event->key());
        });
    }
    EntryKeys::chainEnter({Combo1, Combo2, Combo3, Combo4},
                          [this] { addRow(AddTrigger::EnterKey); });

    connect(m_lookup, &DropDownSearch::enterPressed, this, &YaocaiFrm::fillFromDictionary);
    connect(m_lookup, &DropDownSearch::enterReleased, this, [this] {
        m_lookup->hide();
        Text2[3]->setFocus();
    });
}

void YaocaiFrm::loadChoices()
{
    fillChoices(Combo3, store(), QStringLiteral("fenlei"));
    fillChoices(Combo2, store(), QStringLiteral("kufang"));
    fillChoices(Combo1, store(), QStringLiteral("danwei"));
    fillChoices(Combo4, store(), QStringLiteral("changjia"));
}

bool YaocaiFrm::handleEntryKey(int index, int key)
{
    const bool nameBox = index <= 2;
    if (key == Qt::Key_Down && nameBox && m_lookup->isShown()) {
        m_lookup->enter();
        return true;
    }
    if (!isEnterKey(key))
        return false;
    if (nameBox && m_lookup->isShown()) {
        fillFromDictionary();
        m_lookup->hide();
    }
    if (index < 6)
        Text2[index + 1]->setFocus();
    else
        Combo1->setFocus();
    return true;
}

// An edit held in the grid belongs to the row shown now; save it before the rows change.
bool YaocaiFrm::reopenCatalogue(const Query &source)
{
    DBGrid1->submitPendingEdits();
    return Data1->open(source);
}

void YaocaiFrm::search()
{
    reopenCatalogue(Query(Catalogue, anyNameColumn(Text1->text())));
}

void YaocaiFrm::searchAsYouType(const QString &text)
{
    reopenCatalogue(Query(Catalogue, anyNameColumn(text + QLatin1Char('*'))));
}

void YaocaiFrm::showAll()
{
    reopenCatalogue(Query(Catalogue));
}

void YaocaiFrm::removeCurrent()
{
    RowActions::removeCurrent(this, *Data1);
}

void YaocaiFrm::addRow(AddTrigger trigger)
{
    // A code just corrected in the grid counts for the duplicate test.
    DBGrid1->submitPendingEdits();
    const QString code = Text2[0]->text();
    const QString name = Text2[1]->text();
    if (code.isEmpty() || name.isEmpty() || Combo4->currentText().isEmpty()) {
        Messages::inform(this, QStringLiteral("不能空"));
    } else {
        // Too long a text is refused before the duplicate test, which could not take it.
        if (!RowActions::textsFit(this, m_labelledBoxes))
            return;
        const std::optional<bool> duplicate = isDuplicate(code, Text2[4]->text());
        // A failed store keeps every box as typed, so the user can correct the value.
        if (!duplicate) {
            Messages::inform(this, QStringLiteral("错误！"));
            return;
        }
        if (*duplicate) {
            Messages::inform(this, QStringLiteral("重复，不能添加"));
        } else if (!insertRow()) {
            Messages::inform(this, QStringLiteral("错误！"));
            return;
        }
        reopenCatalogue(Query(Catalogue));
    }
    clearNameBoxes();
    if (trigger == AddTrigger::Button)
        m_lookup->hide();
    else
        Text2[0]->setFocus();
}

// A row with the same code and origin; with no origin typed, any row with the same code.
// No value when the catalogue cannot be read.
std::optional<bool> YaocaiFrm::isDuplicate(const QString &code, const QString &origin)
{
    Filter same = Filter::sameText(NameColumns[0], code);
    if (!origin.isEmpty())
        same = same && Filter::sameText(QStringLiteral("产地"), origin);
    Cursor existing(store());
    if (!existing.open(Query(Catalogue, same)))
        return std::nullopt;
    return existing.count() > 0;
}

bool YaocaiFrm::insertRow()
{
    // An empty 规格 or 产地 is stored as "*", which the postings match as any value.
    const auto orStar = [](const QString &text) {
        return text.isEmpty() ? QStringLiteral("*") : text;
    };
    const auto setIfGiven = [this](const QString &column, const QString &text) {
        return text.isEmpty() || Data1->setValue(column, text);
    };
    Data1->addNew();
    const bool stored = Data1->setValue(QStringLiteral("编号"), Text2[0]->text())
                        && Data1->setValue(QStringLiteral("品名"), Text2[1]->text())
                        && setIfGiven(QStringLiteral("拼音"), Text2[2]->text())
                        && Data1->setValue(QStringLiteral("规格"), orStar(Text2[3]->text()))
                        && Data1->setValue(QStringLiteral("产地"), orStar(Text2[4]->text()))
                        && setIfGiven(QStringLiteral("批号"), Text2[5]->text())
                        && setIfGiven(QStringLiteral("销价"), Text2[6]->text())
                        && setIfGiven(QStringLiteral("单位"), Combo1->currentText())
                        && setIfGiven(QStringLiteral("库房"), Combo2->currentText())
                        && Data1->setValue(QStringLiteral("厂家"), Combo4->currentText())
                        && setIfGiven(QStringLiteral("分类"), Combo3->currentText())
                        && Data1->update();
    if (!stored)
        Data1->cancelUpdate();
    return stored;
}

// Each box that was not empty runs its look-up again, which drops the whole dictionary under it.
void YaocaiFrm::clearNameBoxes()
{
    for (int index = 0; index < 3; ++index)
        Text2[index]->clear();
}

void YaocaiFrm::lookUp(int index)
{
    if (!m_lookupEnabled)
        return;
    QLineEdit *box = Text2[index];
    m_lookup->search(box, Query::beginningWith(Dictionary, NameColumns[index], box->text()),
                     LookupWidthTwips, LookupHeightTwips, LookupSizedColumns);
}

void YaocaiFrm::fillFromDictionary()
{
    const Cursor &herb = m_lookup->cursor();
    if (!herb.hasCurrent())
        return;
    const std::pair<QString, QWidget *> targets[] = {
        {QStringLiteral("编号"), Text2[0]}, {QStringLiteral("拼音"), Text2[2]},
        {QStringLiteral("规格"), Text2[3]}, {QStringLiteral("库房"), Combo2},
        {QStringLiteral("分类"), Combo3},   {QStringLiteral("品名"), Text2[1]}};
    const bool wasEnabled = m_lookupEnabled;
    m_lookupEnabled = false;
    for (const auto &[column, box] : targets) {
        const QVariant value = herb.value(column);
        if (!value.isNull())
            setBoxText(box, value.toString().trimmed());
    }
    m_lookupEnabled = wasEnabled;
}
