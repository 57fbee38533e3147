#include "tradeactions.h"

#include "actionkit.h"
#include "bench.h"

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

// The measured actions of one side; each method adds one kind.
// Shared by the actions it makes, which outlive the call that made them.
class TradeActions : public std::enable_shared_from_this<TradeActions>
{
public:
    TradeActions(Bench &bench, const TradeSide &side, std::vector<Action> &actions)
        : m_bench(bench), m_side(side), m_actions(actions)
    {
    }

    void addKeystrokes();
    void addLineEntry();
    void addPosting();
    void addLineQueries();
    void addDeleteAll();
    void addDocumentQuery();

private:
    struct LineSearch
    {
        QString name;
        Target target;
        std::function<void(ChildScreen *)> fill; // sets the mode and its boxes
        QString where;                           // the same condition for the engine
        QVariantList values;
    };
    void addLineQuery(const LineSearch &query);
    void refillPending(Engine &engine) const;

    Bench &m_bench;
    const TradeSide m_side;
    std::vector<Action> &m_actions;
};

void TradeActions::addKeystrokes()
{
    const SearchTerms terms = searchTerms(m_bench.engine(), m_side.searchTable);
    struct Box { const char *box; const char *column; QString whole; QString initial; };
    const Box boxes[] = {{"Text3_0", "编号", terms.code, terms.codeInitial},
                         {"Text3_1", "品名", terms.name, terms.nameInitial},
                         {"Text3_2", "拼音", terms.pinyin, terms.pinyinInitial}};
    for (const Box &box : boxes) {
        const QString column = QString::fromUtf8(box.column);
        Keystroke key{m_side.entryScreen, QString::fromUtf8(box.box), QString(), QString(),
                      m_side.searchTable, column, QStringLiteral("DBGrid2")};
        key.before = box.whole.chopped(1);
        key.typed = box.whole.right(1);
        m_actions.push_back(keystrokeAction(
            m_bench, m_side.group,
            QStringLiteral("keystroke %1 narrow (%2)").arg(column, box.whole), key));
        key.before.clear();
        key.typed = box.initial;
        m_actions.push_back(keystrokeAction(
            m_bench, m_side.group,
            QStringLiteral("keystroke %1 broad (%2)").arg(column, box.initial), key));
        key.before = box.initial;
        key.typed.clear();
        m_actions.push_back(keystrokeAction(
            m_bench, m_side.group,
            QStringLiteral("keystroke %1 Backspace to empty").arg(column), key));
    }
}

void TradeActions::addLineEntry()
{
    auto screen = std::make_shared<ChildScreen *>(nullptr);
    Action action;
    action.group = m_side.group;
    action.name = QStringLiteral("add a line (%1)").arg(m_side.entryScreen);
    action.target = Target::cpuMs(5);
    action.setUp = [self = shared_from_this(), this, screen] { *screen = m_bench.driver().open(m_side.entryScreen); };
    action.prepare = [self = shared_from_this(), this, screen] {
        const QVariantMap row = middleRow(m_bench.engine(), m_side.searchTable);
        for (const auto &[box, text] : m_side.lineBoxes(row))
            lineEdit(*screen, box)->setText(text);
    };
    action.act = [screen] {
        ScreenDriver::click(ScreenDriver::find<QAbstractButton>(*screen, "Command1"));
    };
    action.tearDown = [self = shared_from_this(), this] { m_bench.driver().close(m_side.entryScreen); };
    action.engine = [self = shared_from_this(), this](Engine &engine) {
        const QVariantMap row = middleRow(engine, m_side.searchTable);
        engine.exec(QStringLiteral("INSERT INTO %1 (编号, 品名, 拼音, 规格, 产地, 数量, 金额) "
                                   "VALUES (?, ?, ?, ?, ?, 10, 125)")
                        .arg(quoted(m_side.linesTable)),
                    {row["编号"], row["品名"], row["拼音"], row["规格"], row["产地"]});
    };
    action.engineRestore = [self = shared_from_this(), this](Engine &engine) {
        engine.exec(QStringLiteral("DELETE FROM %1 WHERE rowid = (SELECT max(rowid) FROM %1)")
                        .arg(quoted(m_side.linesTable)));
    };
    m_actions.push_back(action);
}

void TradeActions::refillPending(Engine &engine) const
{
    // Exactly the lines of one large delivery, copied from the latest posted ones.
    const QString table = quoted(m_side.linesTable);
    const QString flag = quoted(m_side.flagColumn);
    const QString columns = columnList(m_side.linesTable);
    QString copied = columns;
    copied.replace(flag, QStringLiteral("NULL"));
    engine.exec(QStringLiteral("DELETE FROM %1 WHERE %2 IS NULL").arg(table, flag));
    engine.exec(QStringLiteral("INSERT INTO %1 (%2) SELECT %3 FROM %1 WHERE rowid IN "
                               "(SELECT rowid FROM %1 WHERE %4 IS NOT NULL "
                               "ORDER BY rowid DESC LIMIT %5)")
                    .arg(table, columns, copied, flag)
                    .arg(PostedLines));
}

void TradeActions::addPosting()
{
    auto screen = std::make_shared<ChildScreen *>(nullptr);
    Action action;
    action.group = m_side.group;
    action.name = QStringLiteral("post %1 lines (%2)").arg(PostedLines).arg(m_side.entryScreen);
    action.target = Target::cpuMs(30);
    action.samples = 15;
    action.setUp = [self = shared_from_this(), this] {
        if (!m_bench.driver().exists(m_side.entryScreen))
            throw Skipped(QStringLiteral("no screen %1 yet").arg(m_side.entryScreen)
                              .toStdString());
    };
    action.prepare = [self = shared_from_this(), this, screen] {
        // The clerk's screen shows the lines to post, as after entering them.
        m_bench.driver().close(m_side.entryScreen);
        refillPending(m_bench.engine());
        *screen = m_bench.driver().open(m_side.entryScreen);
    };
    action.act = [screen] {
        ScreenDriver::click(ScreenDriver::find<QAbstractButton>(*screen, "Command5"));
    };
    action.engine = m_side.enginePost;
    action.engineRestore = [self = shared_from_this(), this](Engine &engine) { refillPending(engine); };
    // The engine starts from the same pending lines as the screen did.
    action.tearDown = [self = shared_from_this(), this] {
        m_bench.driver().close(m_side.entryScreen);
        refillPending(m_bench.engine());
    };
    m_actions.push_back(action);
}

void TradeActions::addLineQuery(const LineSearch &query)
{
    auto screen = std::make_shared<ChildScreen *>(nullptr);
    auto pageRows = std::make_shared<int>(1);
    Action action;
    action.group = m_side.group;
    action.name = query.name;
    action.target = query.target;
    action.samples = 20;
    action.setUp = [self = shared_from_this(), this, screen, query] {
        *screen = m_bench.driver().open(m_side.lineQueryScreen);
        query.fill(*screen);
    };
    action.act = [screen] {
        ScreenDriver::click(ScreenDriver::find<QAbstractButton>(*screen, "Command1"));
    };
    action.restore = [screen, pageRows] {
        auto *grid = ScreenDriver::find<QTableView>(*screen, "DBGrid1");
        *pageRows = qMax(*pageRows, ScreenDriver::visibleRows(grid));
    };
    action.tearDown = [self = shared_from_this(), this] { m_bench.driver().close(m_side.lineQueryScreen); };
    action.engine = [self = shared_from_this(), this, query, pageRows](Engine &engine) {
        const QString table = quoted(m_side.linesTable);
        engine.read(QStringLiteral("SELECT count(编号), sum(数量), sum(金额) FROM %1 WHERE %2")
                        .arg(table, query.where),
                    query.values);
        engine.read(QStringLiteral("SELECT * FROM %1 WHERE %2 LIMIT %3")
                        .arg(table, query.where)
                        .arg(*pageRows),
                    query.values);
    };
    m_actions.push_back(action);
}

void TradeActions::addLineQueries()
{
    const auto codeOrName = [](const QString &text) {
        return [text](ChildScreen *screen) {
            ScreenDriver::find<QRadioButton>(screen, "Option1")->setChecked(true);
            lineEdit(screen, "Text1")->setText(text);
        };
    };
    const QString byCodeOrName = QStringLiteral("(编号 LIKE ? OR 品名 LIKE ?)");
    const auto pattern = [](QString text) { return text.replace('*', '%'); };
    const SearchTerms terms = searchTerms(m_bench.engine(), m_side.linesTable);
    const QString code = terms.code.left(4) + QLatin1Char('*');
    const QString name = terms.name.left(2) + QLatin1Char('*');

    const QDate to = m_bench.lastDay;
    const QDate from = to.addYears(-1).addDays(1);
    addLineQuery({QStringLiteral("query one year %1..%2 with totals")
                      .arg(from.toString(Qt::ISODate), to.toString(Qt::ISODate)),
                  Target::wallMs(50).atReferenceSizeOnly(),
                  [from, to](ChildScreen *screen) {
                      ScreenDriver::find<QRadioButton>(screen, "Option2")->setChecked(true);
                      lineEdit(screen, "Text2")->setText(from.toString(Qt::ISODate));
                      lineEdit(screen, "Text3")->setText(to.toString(Qt::ISODate));
                  },
                  QStringLiteral("日期 >= ? AND 日期 <= ?"),
                  {from.toString(Qt::ISODate), to.toString(Qt::ISODate)}});
    addLineQuery({QStringLiteral("query code %1 with totals").arg(code), Target::wallMs(50),
                  codeOrName(code), byCodeOrName, {pattern(code), pattern(code)}});
    addLineQuery({QStringLiteral("query name %1 with totals").arg(name), Target::wallMs(50),
                  codeOrName(name), byCodeOrName, {pattern(name), pattern(name)}});
    addLineQuery({QStringLiteral("query * (every line) with totals"), Target::wallMs(50),
                  codeOrName(QStringLiteral("*")), byCodeOrName,
                  {QStringLiteral("%"), QStringLiteral("%")}});

    const QString partner =
        m_bench.engine()
            .scalar(QStringLiteral("SELECT %2 FROM %1 GROUP BY %2 ORDER BY count(*) DESC LIMIT 1")
                        .arg(quoted(m_side.linesTable), quoted(m_side.partnerColumn)))
            .toString();
    addLineQuery({QStringLiteral("query partner %1 with totals").arg(partner), Target::wallMs(50),
                  [partner](ChildScreen *screen) {
                      ScreenDriver::find<QRadioButton>(screen, "Option3")->setChecked(true);
                      ScreenDriver::find<QComboBox>(screen, "Combo1")->setEditText(partner);
                  },
                  QStringLiteral("%1 LIKE ?").arg(quoted(m_side.partnerColumn)), {partner}});
}

void TradeActions::addDeleteAll()
{
    // Whole days from a line in the later part of the ten years, about 1,000 lines.
    const QString table = quoted(m_side.linesTable);
    const QVariantList days = m_bench.engine().column(
        QStringLiteral("SELECT 日期 FROM %1 WHERE rowid IN (?, ?)").arg(table),
        {m_bench.engine().scalar(QStringLiteral("SELECT max(rowid) * 6 / 10 FROM %1").arg(table)),
         m_bench.engine().scalar(
             QStringLiteral("SELECT max(rowid) * 6 / 10 + %2 FROM %1").arg(table).arg(
                 DeletedLines - 1))});
    const QString from = days.value(0).toString();
    const QString to = days.value(1).toString();
    const QString where = QStringLiteral("日期 >= ? AND 日期 <= ?");
    auto snapshot = std::make_shared<Snapshot>();
    snapshot->take(m_bench.engine(), m_side.linesTable, where, {from, to});

    auto screen = std::make_shared<ChildScreen *>(nullptr);
    Action action;
    action.group = m_side.group;
    action.name = QStringLiteral("delete all of a %1-line result").arg(snapshot->size());
    action.samples = 10;
    action.setUp = [self = shared_from_this(), this, screen, from, to] {
        *screen = m_bench.driver().open(m_side.lineQueryScreen);
        ScreenDriver::find<QRadioButton>(*screen, "Option2")->setChecked(true);
        lineEdit(*screen, "Text2")->setText(from);
        lineEdit(*screen, "Text3")->setText(to);
    };
    action.prepare = [screen] {
        ScreenDriver::click(ScreenDriver::find<QAbstractButton>(*screen, "Command1"));
    };
    action.act = [self = shared_from_this(), this, screen] {
        ScreenDriver::click(ScreenDriver::find<QAbstractButton>(*screen, m_side.deleteAllButton));
    };
    action.restore = [self = shared_from_this(), this, snapshot] { snapshot->restore(m_bench.engine()); };
    action.tearDown = [self = shared_from_this(), this] { m_bench.driver().close(m_side.lineQueryScreen); };
    action.engine = [table, where, from, to](Engine &engine) {
        engine.exec(QStringLiteral("DELETE FROM %1 WHERE %2").arg(table, where), {from, to});
    };
    action.engineRestore = [snapshot](Engine &engine) { snapshot->restore(engine); };
    m_actions.push_back(action);
}

void TradeActions::addDocumentQuery()
{
    const QString number =
        m_bench.engine()
            .scalar(QStringLiteral("SELECT %2 FROM %1 WHERE rowid = (SELECT max(rowid) / 2 "
                                   "FROM %1)")
                        .arg(quoted(m_side.headerTable), quoted(m_side.headerColumn)))
            .toString();
    Keystroke key{m_side.documentQueryScreen, QStringLiteral("Text1"), number.chopped(1),
                  number.right(1), m_side.headerTable, m_side.headerColumn,
                  QStringLiteral("DBGrid2")};
    m_actions.push_back(keystrokeAction(
        m_bench, m_side.group, QStringLiteral("keystroke document number narrow (%1)").arg(number),
        key));
    key.before = m_side.documentPrefix;
    key.typed = number.mid(m_side.documentPrefix.size(), 1);
    m_actions.push_back(keystrokeAction(
        m_bench, m_side.group,
        QStringLiteral("keystroke document number broad (%1)").arg(key.before + key.typed), key));

    auto screen = std::make_shared<ChildScreen *>(nullptr);
    auto pageRows = std::make_shared<int>(1);
    Action search;
    search.group = m_side.group;
    search.name = QStringLiteral("document %1 with totals").arg(number);
    search.target = Target::wallMs(50);
    search.samples = 20;
    search.setUp = [self = shared_from_this(), this, screen, number] {
        *screen = m_bench.driver().open(m_side.documentQueryScreen);
        lineEdit(*screen, "Text1")->setText(number);
    };
    search.act = [screen] {
        ScreenDriver::click(ScreenDriver::find<QAbstractButton>(*screen, "Command1"));
    };
    search.restore = [screen, pageRows] {
        auto *grid = ScreenDriver::find<QTableView>(*screen, "DBGrid1");
        *pageRows = qMax(*pageRows, ScreenDriver::visibleRows(grid));
    };
    search.tearDown = [self = shared_from_this(), this] { m_bench.driver().close(m_side.documentQueryScreen); };
    search.engine = [self = shared_from_this(), this, number, pageRows](Engine &engine) {
        const QString table = quoted(m_side.linesTable);
        engine.read(QStringLiteral("SELECT count(编号), sum(金额) FROM %1 WHERE 单据号 LIKE ?")
                        .arg(table),
                    {number});
        engine.read(QStringLiteral("SELECT * FROM %1 WHERE 单据号 LIKE ? LIMIT %2")
                        .arg(table)
                        .arg(*pageRows),
                    {number});
    };
    m_actions.push_back(search);
}

} // namespace

QVariantMap middleRow(Engine &engine, const QString &table)
{
    const QList<QVariantList> rows = engine.rows(
        QStringLiteral("SELECT %2 FROM %1 WHERE rowid >= (SELECT max(rowid) / 2 FROM %1) LIMIT 1")
            .arg(quoted(table), columnList(table)));
    QVariantMap row;
    const auto &columns = Schema::table(table)->columns;
    for (std::size_t i = 0; i < columns.size() && !rows.isEmpty(); ++i)
        row.insert(columns[i].name, rows[0].value(int(i)));
    return row;
}

void addTradeActions(Bench &bench, const TradeSide &side, std::vector<Action> &actions)
{
    const auto trade = std::make_shared<TradeActions>(bench, side, actions);
    trade->addKeystrokes();
    trade->addLineEntry();
    trade->addPosting();
    trade->addLineQueries();
    trade->addDeleteAll();
    trade->addDocumentQuery();
}
