#include "tradeactions.h"

#include "actionkit.h"
#include "bench.h"
#include "printingbench.h"

#include "shell/childscreen.h"
#include "store/query.h"
#include "store/schema.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableView>

namespace {

constexpr int PostedLines = 100;
constexpr int DeletedLines = 1000;

QString quoted(const QString &name)
{
    return quotedName(name);
}

// A search of the line query: its mode and boxes on the screen, its condition for the engine
// (in the engine's words) and the values of that condition.
struct LineSearch
{
    QString name;
    Target target;
    std::function<void(ChildScreen *)> fill;
    std::function<QString(const Engine &)> where;
    QVariantList values;
};

void addKeystrokes(Bench &bench, const TradeSide &side, std::vector<Action> &actions)
{
    const SearchTerms terms = searchTerms(bench.engine(), side.searchTable);
    struct Box { const char *box; const char *column; QString whole; QString initial; };
    const Box boxes[] = {{"Text3_0", "编号", terms.code, terms.codeInitial},
                         {"Text3_1", "品名", terms.name, terms.nameInitial},
                         {"Text3_2", "拼音", terms.pinyin, terms.pinyinInitial}};
    for (const Box &box : boxes) {
        const QString column = QString::fromUtf8(box.column);
        Keystroke key{side.entryScreen, QString::fromUtf8(box.box), QString(), QString(),
                      side.searchTable, column, QStringLiteral("DBGrid2")};
        key.before = box.whole.chopped(1);
        key.typed = box.whole.right(1);
        addKeystroke(bench, side.group,
                     QStringLiteral("keystroke %1 narrow (%2)").arg(column, box.whole), key,
                     actions);
        key.before.clear();
        key.typed = box.initial;
        addKeystroke(bench, side.group,
                     QStringLiteral("keystroke %1 broad (%2)").arg(column, box.initial), key,
                     actions);
        key.before = box.initial;
        key.typed.clear();
        addKeystroke(bench, side.group,
                     QStringLiteral("keystroke %1 Backspace to empty").arg(column), key, actions);
    }
}

void addLineEntry(Bench &bench, const TradeSide &side, std::vector<Action> &actions)
{
    auto screen = std::make_shared<ChildScreen *>(nullptr);
    Action action;
    action.group = side.group;
    action.name = QStringLiteral("add a line (%1)").arg(side.entryScreen);
    action.target = Target::cpuMs(5);
    action.countsCommits = true;
    action.setUp = [&bench, side, screen] {
        if (side.supplyStock)
            side.supplyStock(bench.engine());
        *screen = bench.driver().open(side.entryScreen);
    };
    action.prepare = [&bench, side, screen] {
        const QVariantMap row = middleRow(bench.engine(), side.searchTable);
        for (const auto &[box, text] : side.lineBoxes(row))
            lineEdit(*screen, box)->setText(text);
    };
    action.act = [screen] {
        ScreenDriver::click(ScreenDriver::find<QAbstractButton>(*screen, "Command1"));
    };
    action.tearDown = [&bench, side] { bench.driver().close(side.entryScreen); };
    action.engine = [side](Engine &engine) {
        const QVariantMap row = middleRow(engine, side.searchTable);
        engine.exec(QStringLiteral("INSERT INTO %1 (编号, 品名, 拼音, 规格, 产地, 数量, 金额) "
                                   "VALUES (?, ?, ?, ?, ?, 10, 125)")
                        .arg(quoted(side.linesTable)),
                    {row["编号"], row["品名"], row["拼音"], row["规格"], row["产地"]});
    };
    action.engineRestore = [side](Engine &engine) {
        engine.exec(QStringLiteral("DELETE FROM %1 WHERE rowid = (SELECT max(rowid) FROM %1)")
                        .arg(quoted(side.linesTable)));
    };
    actions.push_back(action);
}

void addPosting(Bench &bench, const TradeSide &side, std::vector<Action> &actions)
{
    auto screen = std::make_shared<ChildScreen *>(nullptr);
    Action action;
    action.group = side.group;
    action.name = QStringLiteral("post %1 lines (%2)").arg(PostedLines).arg(side.entryScreen);
    // On files the disk sync is the machine's own; a server's commit waits for its log to reach
    // the disk, so there the clerk's wait as a whole is judged.
    action.target = bench.onServer() ? Target::wallMs(100) : Target::cpuMs(30);
    action.countsCommits = true;
    action.samples = 15;
    action.setUp = [&bench, side] {
        if (!bench.driver().exists(side.entryScreen))
            throw Skipped(QStringLiteral("no screen %1 yet").arg(side.entryScreen)
                              .toStdString());
    };
    action.prepare = [&bench, side, screen] {
        // The clerk's screen shows the lines to post, as after entering them.
        bench.driver().close(side.entryScreen);
        refillPending(bench.engine(), side, PostedLines);
        *screen = bench.driver().open(side.entryScreen);
    };
    action.act = [screen] {
        ScreenDriver::click(ScreenDriver::find<QAbstractButton>(*screen, "Command5"));
    };
    action.engine = side.enginePost;
    action.engineRestore = [side](Engine &engine) { refillPending(engine, side, PostedLines); };
    // The engine starts from the same pending lines as the screen did.
    action.tearDown = [&bench, side] {
        bench.driver().close(side.entryScreen);
        refillPending(bench.engine(), side, PostedLines);
    };
    actions.push_back(action);
}

void addLineQuery(Bench &bench, const TradeSide &side, std::vector<Action> &actions,
                  const LineSearch &query)
{
    auto screen = std::make_shared<ChildScreen *>(nullptr);
    auto pageRows = std::make_shared<int>(1);
    Action action;
    action.group = side.group;
    action.name = query.name;
    action.target = query.target;
    action.samples = 20;
    action.setUp = [&bench, side, screen, query] {
        *screen = bench.driver().open(side.lineQueryScreen);
        query.fill(*screen);
    };
    action.act = [screen] {
        ScreenDriver::click(ScreenDriver::find<QAbstractButton>(*screen, "Command1"));
    };
    action.restore = [screen, pageRows] { takePage(*screen, "DBGrid1", *pageRows); };
    action.tearDown = [&bench, side] { bench.driver().close(side.lineQueryScreen); };
    action.engine = [side, query, pageRows](Engine &engine) {
        const QString table = quoted(side.linesTable);
        const QString where = query.where(engine);
        engine.read(QStringLiteral("SELECT count(编号), sum(数量), sum(金额) FROM %1 WHERE %2")
                        .arg(table, where),
                    query.values);
        engine.read(QStringLiteral("SELECT %1 FROM %2 WHERE %3 LIMIT %4")
                        .arg(columnList(side.linesTable), table, where)
                        .arg(*pageRows),
                    query.values);
    };
    actions.push_back(action);
}

void addLineQueries(Bench &bench, const TradeSide &side, std::vector<Action> &actions)
{
    const auto codeOrName = [](const QString &text) {
        return [text](ChildScreen *screen) {
            ScreenDriver::find<QRadioButton>(screen, "Option1")->setChecked(true);
            lineEdit(screen, "Text1")->setText(text);
        };
    };
    const auto byCodeOrName = [](const Engine &engine) {
        return QStringLiteral("(%1 OR %2)").arg(engine.likeBound(QStringLiteral("编号")),
                                                engine.likeBound(QStringLiteral("品名")));
    };
    const auto pattern = [](QString text) { return text.replace('*', '%'); };
    const SearchTerms terms = searchTerms(bench.engine(), side.linesTable);
    const QString code = terms.code.left(4) + QLatin1Char('*');
    const QString name = terms.name.left(2) + QLatin1Char('*');

    const auto add = [&](const LineSearch &search) {
        addLineQuery(bench, side, actions, search);
    };
    const QDate to = bench.lastDay;
    const QDate from = to.addYears(-1).addDays(1);
    add({QStringLiteral("query one year %1..%2 with totals")
             .arg(from.toString(Qt::ISODate), to.toString(Qt::ISODate)),
         Target::wallMs(50).atReferenceSizeOnly(),
         [from, to](ChildScreen *screen) {
             ScreenDriver::find<QRadioButton>(screen, "Option2")->setChecked(true);
             lineEdit(screen, "Text2")->setText(from.toString(Qt::ISODate));
             lineEdit(screen, "Text3")->setText(to.toString(Qt::ISODate));
         },
         [](const Engine &) { return QStringLiteral("日期 >= ? AND 日期 <= ?"); },
         {from.toString(Qt::ISODate), to.toString(Qt::ISODate)}});
    add({QStringLiteral("query code %1 with totals").arg(code), Target::wallMs(50),
         codeOrName(code), byCodeOrName, {pattern(code), pattern(code)}});
    add({QStringLiteral("query name %1 with totals").arg(name), Target::wallMs(50),
         codeOrName(name), byCodeOrName, {pattern(name), pattern(name)}});
    add({QStringLiteral("query * (every line) with totals"), Target::wallMs(50),
         codeOrName(QStringLiteral("*")), byCodeOrName,
         {QStringLiteral("%"), QStringLiteral("%")}});

    const QString partner =
        bench.engine()
            .scalar(QStringLiteral("SELECT %2 FROM %1 GROUP BY %2 ORDER BY count(*) DESC LIMIT 1")
                        .arg(quoted(side.linesTable), quoted(side.partnerColumn)))
            .toString();
    add({QStringLiteral("query partner %1 with totals").arg(partner), Target::wallMs(50),
         [partner](ChildScreen *screen) {
             ScreenDriver::find<QRadioButton>(screen, "Option3")->setChecked(true);
             ScreenDriver::find<QComboBox>(screen, "Combo1")->setEditText(partner);
         },
         [side](const Engine &engine) { return engine.likeBound(side.partnerColumn); },
         {partner}});
}

void addDeleteAll(Bench &bench, const TradeSide &side, std::vector<Action> &actions)
{
    // Whole days from a line in the later part of the ten years, about 1,000 lines.
    const QString table = quoted(side.linesTable);
    const QVariantList days = bench.engine().column(
        QStringLiteral("SELECT 日期 FROM %1 WHERE rowid IN (?, ?)").arg(table),
        {bench.engine().scalar(QStringLiteral("SELECT max(rowid) * 6 / 10 FROM %1").arg(table)),
         bench.engine().scalar(
             QStringLiteral("SELECT max(rowid) * 6 / 10 + %2 FROM %1").arg(table).arg(
                 DeletedLines - 1))});
    const QString from = days.value(0).toString();
    const QString to = days.value(1).toString();
    const QString where = QStringLiteral("日期 >= ? AND 日期 <= ?");
    auto snapshot = std::make_shared<Snapshot>();
    snapshot->take(bench.engine(), side.linesTable, where, {from, to});

    auto screen = std::make_shared<ChildScreen *>(nullptr);
    Action action;
    action.group = side.group;
    action.name = QStringLiteral("delete all of a %1-line result").arg(snapshot->size());
    action.samples = 10;
    action.setUp = [&bench, side, screen, from, to] {
        *screen = bench.driver().open(side.lineQueryScreen);
        ScreenDriver::find<QRadioButton>(*screen, "Option2")->setChecked(true);
        lineEdit(*screen, "Text2")->setText(from);
        lineEdit(*screen, "Text3")->setText(to);
    };
    action.prepare = [screen] {
        ScreenDriver::click(ScreenDriver::find<QAbstractButton>(*screen, "Command1"));
    };
    action.act = [side, screen] {
        ScreenDriver::click(ScreenDriver::find<QAbstractButton>(*screen, side.deleteAllButton));
    };
    action.restore = [&bench, snapshot] { snapshot->restore(bench.engine()); };
    action.tearDown = [&bench, side] { bench.driver().close(side.lineQueryScreen); };
    action.engine = [table, where, from, to](Engine &engine) {
        engine.exec(QStringLiteral("DELETE FROM %1 WHERE %2").arg(table, where), {from, to});
    };
    action.engineRestore = [snapshot](Engine &engine) { snapshot->restore(engine); };
    actions.push_back(action);
}

void addDocumentQuery(Bench &bench, const TradeSide &side, std::vector<Action> &actions)
{
    const QString number =
        bench.engine()
            .scalar(QStringLiteral("SELECT %2 FROM %1 WHERE rowid = (SELECT max(rowid) / 2 "
                                   "FROM %1)")
                        .arg(quoted(side.headerTable), quoted(side.headerColumn)))
            .toString();
    Keystroke key{side.documentQueryScreen, QStringLiteral("Text1"), number.chopped(1),
                  number.right(1), side.headerTable, side.headerColumn,
                  QStringLiteral("DBGrid2")};
    addKeystroke(bench, side.group,
                 QStringLiteral("keystroke document number narrow (%1)").arg(number), key,
                 actions);
    key.before = side.documentPrefix;
    key.typed = number.mid(side.documentPrefix.size(), 1);
    addKeystroke(bench, side.group,
                 QStringLiteral("keystroke document number broad (%1)").arg(key.before + key.typed),
                 key, actions);

    auto screen = std::make_shared<ChildScreen *>(nullptr);
    auto pageRows = std::make_shared<int>(1);
    Action search;
    search.group = side.group;
    search.name = QStringLiteral("document %1 with totals").arg(number);
    search.target = Target::wallMs(50);
    search.samples = 20;
    search.setUp = [&bench, side, screen, number] {
        *screen = bench.driver().open(side.documentQueryScreen);
        lineEdit(*screen, "Text1")->setText(number);
    };
    search.act = [screen] {
        ScreenDriver::click(ScreenDriver::find<QAbstractButton>(*screen, "Command1"));
    };
    search.restore = [screen, pageRows] { takePage(*screen, "DBGrid1", *pageRows); };
    search.tearDown = [&bench, side] { bench.driver().close(side.documentQueryScreen); };
    search.engine = [side, number, pageRows](Engine &engine) {
        const QString table = quoted(side.linesTable);
        const QString where = engine.likeBound(QStringLiteral("单据号"));
        engine.read(QStringLiteral("SELECT count(编号), sum(金额) FROM %1 WHERE %2")
                        .arg(table, where),
                    {number});
        engine.read(QStringLiteral("SELECT %1 FROM %2 WHERE %3 LIMIT %4")
                        .arg(columnList(side.linesTable), table, where)
                        .arg(*pageRows),
                    {number});
    };
    actions.push_back(search);
}

} // namespace

void refillPending(Engine &engine, const TradeSide &side, int lines)
{
    const QString table = quoted(side.linesTable);
    const QString flag = quoted(side.flagColumn);
    const QString columns = columnList(side.linesTable);
    QString copied = columns;
    copied.replace(flag, QStringLiteral("NULL"));
    engine.exec(QStringLiteral("DELETE FROM %1 WHERE %2 IS NULL").arg(table, flag));
    engine.exec(QStringLiteral("INSERT INTO %1 (%2) SELECT %3 FROM %1 WHERE rowid IN "
                               "(SELECT rowid FROM %1 WHERE %4 IS NOT NULL "
                               "ORDER BY rowid DESC LIMIT %5)")
                    .arg(table, columns, copied, flag)
                    .arg(lines));
    if (side.supplyStock)
        side.supplyStock(engine);
}

QVariantMap middleRow(Engine &engine, const QString &table)
{
    const QList<QVariantList> rows = engine.rows(
        QStringLiteral("SELECT %2 FROM %1 WHERE rowid >= (SELECT max(rowid) / 2 FROM %1) "
                       "ORDER BY rowid LIMIT 1")
            .arg(quoted(table), columnList(table)));
    QVariantMap row;
    const auto &columns = Schema::table(table)->columns;
    for (std::size_t i = 0; i < columns.size() && !rows.isEmpty(); ++i)
        row.insert(columns[i].name, rows[0].value(int(i)));
    return row;
}

void addTradeActions(Bench &bench, const TradeSide &side, std::vector<Action> &actions)
{
    addKeystrokes(bench, side, actions);
    addLineEntry(bench, side, actions);
    addPosting(bench, side, actions);
    addLineQueries(bench, side, actions);
    // Deleting a result and printing are measured on the files only (see README).
    if (!bench.onServer())
        addDeleteAll(bench, side, actions);
    addDocumentQuery(bench, side, actions);
    if (!bench.onServer())
        addPrintPreview(bench, side, actions);
}
