#pragma once

#include "store/store.h"

#include <QList>
#include <array>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <functional>

// Which boxes each screen has, what each is for and what else a screen needs filled in before
// its action can store or search: the map that the hostile-input test walks.
namespace HostilePlan {

enum class Role {
    Entry,    // its text is stored in `column` of `table` by the screen's action
    Search,   // its text finds rows of `table` whose `columns` equal it
    WriteOff, // a quantity taken off the chosen stock row
    Free,     // its text is stored nowhere
};

struct Box
{
    QString name; // object name of a text box or an editable combo box
    Role role;
    QString table = {};
    QStringList columns = {};
    QString option = {}; // a radio button to choose before the action
    QString mirror = {}; // a box that must hold the same text (a confirmation)
    QString print = {};  // a button whose print window reads the box: printed to PDF
};

// A value for a box: fixed text where "%1" is the number of the case, or read from the store.
using Value = std::function<QString(Store &store, int caseNumber)>;

inline Value fixed(const QString &text)
{
    return [text](Store &, int caseNumber) {
        return text.contains(QLatin1String("%1")) ? text.arg(caseNumber) : text;
    };
}

inline Value stored(const QString &sql)
{
    return [sql](Store &store, int) {
        QSqlQuery query(store.database());
        return query.exec(sql) && query.next() ? query.value(0).toString() : QString();
    };
}

struct Screen
{
    QString name;
    QString action;                          // the button that stores or searches
    QList<QPair<QString, Value>> baseline;   // what the action needs besides the box tried
    QList<Box> boxes;
    QString postButton = {};                 // entry screens post after each stored line
    QString pendingTable = {};               // ... and then have no pending line left
    QString flagColumn = {};
    QString chooseFirstIn = {};              // a combo whose first entry is chosen first
};

inline Box entry(const char *name, const char *table, const char *column)
{
    return {QString::fromUtf8(name), Role::Entry, QString::fromUtf8(table),
            {QString::fromUtf8(column)}};
}

inline Box search(const char *name, const char *table, const QStringList &columns,
                  const char *option = "")
{
    return {QString::fromUtf8(name), Role::Search, QString::fromUtf8(table), columns,
            QString::fromUtf8(option)};
}

inline Box freeBox(const char *name)
{
    return {QString::fromUtf8(name), Role::Free};
}

inline QList<Box> entries(const char *table, const QList<QPair<const char *, const char *>> &boxes)
{
    QList<Box> found;
    for (const auto &[name, column] : boxes)
        found << entry(name, table, column);
    return found;
}

// The boxes that a print window reads, with the button that opens it.
inline QList<Box> printedBy(QList<Box> boxes, const QStringList &names, const char *button)
{
    for (Box &box : boxes) {
        if (names.contains(box.name))
            box.print = QString::fromUtf8(button);
    }
    return boxes;
}

inline QList<Screen> lookupLists()
{
    const QList<std::array<const char *, 3>> lists = {{"kufangfrm", "kufang", "库房"},
                                                      {"danweifrm", "danwei", "单位"},
                                                      {"fenleifrm", "fenlei", "分类"},
                                                      {"gongnengfrm", "gongneng", "功能"}};
    QList<Screen> screens;
    for (const auto &[screen, table, column] : lists)
        screens << Screen{screen, "Command1", {}, {entry("Text1", table, column)}};
    return screens;
}

inline QList<Screen> partnerLists()
{
    const QList<std::array<const char *, 6>> lists = {
        {"gonghuofrm", "changjia", "厂家", "地址", "联系", "电话"},
        {"kehufrm", "yonghu", "客户", "地址", "联系", "电话"},
        {"yuangongfrm", "yuangong", "员工", "地址", "电话", "备注"}};
    QList<Screen> screens;
    for (const auto &list : lists) {
        screens << Screen{list[0], "Command1", {},
                          entries(list[1], {{"Text1", list[2]}, {"Text2", list[3]},
                                            {"Text3", list[4]}, {"Text4", list[5]}})};
    }
    return screens;
}

inline QList<Screen> lineQueries()
{
    const QStringList codeOrName = {"编号", "品名"};
    return {Screen{"jinhuochafrm", "Command1", {},
                   {search("Text1", "jinhuo", codeOrName, "Option1"),
                    search("Text2", "jinhuo", {}, "Option2"),
                    search("Text3", "jinhuo", {}, "Option2"),
                    search("Combo1", "jinhuo", {"厂家"}, "Option3")}},
            Screen{"xiaoshouchafrm", "Command1", {},
                   {search("Text1", "chuhuo", codeOrName, "Option1"),
                    search("Text2", "chuhuo", {}, "Option2"),
                    search("Text3", "chuhuo", {}, "Option2"),
                    search("Combo1", "chuhuo", {"购货单位"}, "Option3")}},
            Screen{"jindanchafrm", "Command1", {}, {search("Text1", "jinhuo", {"单据号"})}},
            Screen{"chudanchafrm", "Command1", {}, {search("Text1", "chuhuo", {"单据号"})}}};
}

inline QList<Screen> stockScreens()
{
    const QStringList codeOrName = {"编号", "品名"};
    Box writeOff{"Text2", Role::WriteOff, "kucun", {"库存数量"}};
    return {Screen{"kucuncshfrm", "Command1", {}, {search("Text1", "kucun", codeOrName)}},
            Screen{"kucunchafrm", "Command1", {}, {search("Text1", "kucun", codeOrName)}},
            Screen{"baosunfrm", "Command1", {}, {search("Text1", "kucun", codeOrName)}},
            Screen{"baosunfrm", "Command2", {}, {writeOff}}};
}

// Every screen of the main window; the login window is tried on its own.
inline QList<Screen> screens()
{
    QList<Screen> all;
    all << Screen{"binmingfrm", "Command3", {{"Text2_0", fixed("B%1")}, {"Text2_1", fixed("药%1")}},
                  entries("bianhao", {{"Text2_0", "编号"}, {"Text2_1", "品名"},
                                      {"Text2_2", "拼音"}, {"Text2_3", "规格"},
                                      {"Text2_4", "别名"}, {"Combo1", "分类"},
                                      {"Combo2", "库房"}, {"Combo3", "功能"}})}
        << Screen{"binmingfrm", "Command1", {},
                  {search("Text1", "bianhao", {"编号", "品名", "拼音"})}}
        << Screen{"yaocaifrm", "Command3",
                  {{"Text2_0", fixed("Y%1")}, {"Text2_1", fixed("药%1")},
                   {"Combo4", fixed("厂%1")}},
                  entries("yaocai", {{"Text2_0", "编号"}, {"Text2_1", "品名"},
                                     {"Text2_2", "拼音"}, {"Text2_3", "规格"},
                                     {"Text2_4", "产地"}, {"Text2_5", "批号"},
                                     {"Text2_6", "销价"}, {"Combo1", "单位"},
                                     {"Combo2", "库房"}, {"Combo3", "分类"},
                                     {"Combo4", "厂家"}})}
        << Screen{"yaocaifrm", "Command1", {},
                  {search("Text1", "yaocai", {"编号", "品名", "拼音"})}};
    all << lookupLists() << partnerLists();
    all << Screen{"yonghufrm", "Command1", {}, {entry("Text1", "user", "用户")}};
    const Value password = stored("SELECT 密码 FROM user ORDER BY rowid LIMIT 1");
    Box newPassword = entry("Text2", "user", "密码");
    newPassword.mirror = QStringLiteral("Text3");
    all << Screen{"mimafrm",
                  "Command1",
                  {{"Text1", password}, {"Text2", fixed("新%1")}, {"Text3", fixed("新%1")}},
                  {freeBox("Combo1"), freeBox("Text1"), newPassword, freeBox("Text3")},
                  {},
                  {},
                  {},
                  "Combo1"};
    const auto counter = [](const char *column) {
        return stored(QStringLiteral("SELECT %1 FROM danjuhao").arg(QString::fromUtf8(column)));
    };
    all << Screen{"qitafrm",
                  "Command1",
                  {{"Text1", stored("SELECT 公司 FROM gongsi")},
                   {"Text2", counter("CAST(进货单号 AS INTEGER)")},
                   {"Text3", counter("CAST(销售单号 AS INTEGER)")}},
                  {entry("Text1", "gongsi", "公司"), entry("Text2", "danjuhao", "进货单号"),
                   entry("Text3", "danjuhao", "销售单号")}};
    all << Screen{"jinhuodjfrm",
                  "Command1",
                  {{"Text3_0", fixed("J%1")}, {"Text6", fixed("2")}, {"Text7", fixed("3.5")},
                   {"Text8", fixed("7")}},
                  printedBy(entries("jinhuo", {{"Text3_0", "编号"},   {"Text3_1", "品名"},
                                     {"Text3_2", "拼音"},   {"Text3_3", "规格"},
                                     {"Text3_4", "批号"},   {"Text3_5", "产地"},
                                     {"Text3_6", "生产日期"}, {"Text3_7", "有效期"},
                                     {"Text3_8", "日期"},   {"Combo1", "单位"},
                                     {"Combo2", "库房"},    {"Combo5", "厂家"},
                                     {"Text9", "单据号"},   {"Text6", "数量"},
                                     {"Text7", "进价"},     {"Text8", "金额"}}),
                            {"Text9", "Combo5"}, "Command3"),
                  "Command5",
                  "jinhuo",
                  "入库"};
    QList<Box> salesBoxes =
        entries("chuhuo", {{"Text3_0", "编号"}, {"Text3_1", "品名"},   {"Text3_2", "拼音"},
                           {"Text3_3", "规格"}, {"Text3_4", "产地"},   {"Text3_5", "生产日期"},
                           {"Text3_6", "有效期"}, {"Text3_7", "批号"}, {"Text3_8", "单位"},
                           {"Text3_9", "库房"}, {"Text3_10", "厂家"}, {"Text8", "数量"},
                           {"Text9", "销价"},   {"Text10", "金额"},   {"Text1", "日期"},
                           {"Text4", "单据号"}, {"Combo2", "购货单位"}});
    salesBoxes << freeBox("Text2");
    all << Screen{"xiaoshoufrm",
                  "Command1",
                  {{"Text3_0", fixed("S1")}, {"Text8", fixed("1")}, {"Text9", fixed("2")},
                   {"Text10", fixed("2")}},
                  printedBy(salesBoxes, {"Text4", "Combo2", "Text2"}, "Command3"),
                  "Command5",
                  "chuhuo",
                  "出库"};
    all << lineQueries() << stockScreens();
    return all;
}

// The texts tried in every box: what breaks SQL built from text (quotes, the wildcards of
// both pattern syntaxes, escapes), texts longer than a column takes, characters beyond the
// basic plane and beyond left-to-right, control characters, and numbers and dates that are
// not what they seem.
inline QStringList inputs()
{
    return {QStringLiteral("'"),
            QStringLiteral("\""),
            QStringLiteral("O'Brien \"甘草\""),
            QStringLiteral("*"),
            QStringLiteral("%"),
            QStringLiteral("_"),
            QStringLiteral("\\"),
            QStringLiteral("#"),
            QStringLiteral("["),
            QStringLiteral("[a-z]?"),
            QStringLiteral("a'b%c_d\\e*f#g[h"),
            QStringLiteral("' OR '1'='1"),
            QStringLiteral("x'); DROP TABLE kucun; --"),
            QString(256, QChar(0x7518)),
            QString(20000, QLatin1Char('x')),
            QStringLiteral("🌿药材😀"),
            QStringLiteral("عربي עברית"),
            QStringLiteral("a\tb\x01" "c\x1b\x7f"),
            QStringLiteral("1e309"),
            QStringLiteral("NaN"),
            QStringLiteral("-0"),
            QStringLiteral("0x10"),
            QStringLiteral("2026-02-30")};
}

} // namespace HostilePlan
