#include "actionkit.h"

#include "bench.h"

#include "shell/childscreen.h"
#include "store/cursor.h"
#include "store/query.h"
#include "store/schema.h"

#include <QLineEdit>
#include <QTableView>

QString columnList(const QString &table)
{
    QStringList names;
    for (const ColumnDef &column : Schema::table(table)->columns)
        names << quotedName(column.name);
    return names.join(QLatin1String(", "));
}

void Snapshot::take(Engine &engine, const QString &table, const QString &condition,
                    const QVariantList &values)
{
    m_table = table;
    m_rows = engine.rows(QStringLiteral("SELECT rowid, %1 FROM %2 WHERE %3")
                             .arg(columnList(table), quotedName(table), condition),
                         values);
}

void Snapshot::restore(Engine &engine) const
{
    QStringList marks;
    for (std::size_t i = 0; i <= Schema::table(m_table)->columns.size(); ++i)
        marks << QStringLiteral("?");
    const QString insert = QStringLiteral("INSERT OR REPLACE INTO %1 (rowid, %2) VALUES (%3)")
                               .arg(quotedName(m_table), columnList(m_table), marks.join(','));
    engine.exec(QStringLiteral("BEGIN"));
    for (const QVariantList &row : m_rows)
        engine.exec(insert, row);
    engine.exec(QStringLiteral("COMMIT"));
}

SearchTerms searchTerms(Engine &engine, const QString &table)
{
    const QString name = quotedName(table);
    // A row from the middle of the table whose name has no brackets, which nobody types.
    const QList<QVariantList> row = engine.rows(
        QStringLiteral("SELECT 编号, 品名, 拼音 FROM %1 WHERE rowid >= (SELECT max(rowid) / 2 "
                       "FROM %1) AND 品名 NOT LIKE '%(%' AND length(品名) >= 3 ORDER BY rowid "
                       "LIMIT 1")
            .arg(name));
    const auto commonest = [&](const char *column) {
        return engine
            .scalar(QStringLiteral("SELECT substr(%2, 1, 1) AS c FROM %1 GROUP BY c "
                                   "ORDER BY count(*) DESC LIMIT 1")
                        .arg(name, QString::fromUtf8(column)))
            .toString();
    };
    if (row.isEmpty())
        throw std::runtime_error(("no rows in " + table).toStdString());
    return {row[0][0].toString(), row[0][1].toString(), row[0][2].toString(),
            commonest("编号"), commonest("品名"), commonest("拼音").toLower()};
}

QLineEdit *lineEdit(ChildScreen *screen, const QString &name)
{
    return ScreenDriver::find<QLineEdit>(screen, name);
}

void takePage(ChildScreen *screen, const QString &gridName, int &pageRows)
{
    auto *grid = ScreenDriver::find<QTableView>(screen, gridName);
    if (grid->model()->rowCount() == 0)
        throw std::runtime_error(("the search listed nothing in " + gridName).toStdString());
    pageRows = qMax(pageRows, ScreenDriver::visibleRows(grid));
}

Action openScreenAction(Bench &bench, const QString &group, const QString &screen,
                        const QString &caption, const std::function<void(Engine &)> &engine)
{
    Action action;
    action.group = group;
    action.name = QStringLiteral("open %1 %2").arg(caption, screen);
    action.target = Target::wallMs(50);
    action.samples = 20;
    action.setUp = [&bench, screen] {
        if (!bench.driver().exists(screen))
            throw Skipped(QStringLiteral("no screen %1 yet").arg(screen).toStdString());
        bench.driver().close(screen);
    };
    action.act = [&bench, screen] { bench.driver().open(screen); };
    action.restore = [&bench, screen] { bench.driver().close(screen); };
    action.engine = engine;
    return action;
}

namespace {

// The engine's first page of the rows whose column begins with the text.
std::function<void(Engine &)> firstPage(const Keystroke &keystroke, const QString &text,
                                        const std::shared_ptr<int> &pageRows)
{
    return [keystroke, text, pageRows](Engine &engine) {
        engine.read(QStringLiteral("SELECT %1 FROM %2 WHERE %3 LIMIT ?")
                        .arg(columnList(keystroke.table), quotedName(keystroke.table),
                             engine.likeBound(keystroke.column)),
                    {text + QLatin1Char('%'), *pageRows});
    };
}

Action keystrokeAction(Bench &bench, const QString &group, const QString &name,
                       const Keystroke &keystroke, const std::shared_ptr<int> &pageRows)
{
    auto screen = std::make_shared<ChildScreen *>(nullptr);
    auto box = std::make_shared<QLineEdit *>(nullptr);
    Action action;
    action.group = group;
    action.name = name;
    action.target = Target::keystroke();
    action.samples = 40;
    action.setUp = [&bench, keystroke, screen, box] {
        *screen = bench.driver().open(keystroke.screen);
        *box = lineEdit(*screen, keystroke.box);
    };
    action.prepare = [keystroke, box] {
        (*box)->setFocus();
        (*box)->setText(keystroke.before);
    };
    action.act = [keystroke, box] {
        if (keystroke.typed.isEmpty())
            ScreenDriver::pressKey(*box, Qt::Key_Backspace);
        else
            ScreenDriver::type(*box, keystroke.typed);
    };
    // The grid's page is known once a search has sized and shown it.
    action.restore = [keystroke, screen, pageRows] {
        takePage(*screen, keystroke.grid, *pageRows);
    };
    action.tearDown = [&bench, keystroke] { bench.driver().close(keystroke.screen); };
    const QString text = keystroke.typed.isEmpty() ? keystroke.before.chopped(1)
                                                   : keystroke.before + keystroke.typed;
    action.engine = firstPage(keystroke, text, pageRows);
    return action;
}

// The drop-down's query through the store, and the values of the rows the grid shows.
Action keystrokeDataAction(Bench &bench, const QString &group, const QString &name,
                           const Keystroke &keystroke, const std::shared_ptr<int> &pageRows)
{
    auto cursor = std::make_shared<std::unique_ptr<Cursor>>();
    const QString text = keystroke.typed.isEmpty() ? keystroke.before.chopped(1)
                                                   : keystroke.before + keystroke.typed;
    Action action;
    action.group = group;
    action.name = name + QStringLiteral(", data work");
    action.target = Target::keystrokeData();
    action.samples = 40;
    action.setUp = [&bench, cursor] { *cursor = std::make_unique<Cursor>(bench.store()); };
    action.act = [keystroke, text, cursor, pageRows] {
        Cursor &rows = **cursor;
        // As the drop-down's grid sets it: the rows it shows.
        rows.setFirstPageSize(*pageRows + 1);
        if (!rows.open(Query::beginningWith(keystroke.table, keystroke.column, text)))
            throw std::runtime_error(rows.lastError().text().toStdString());
        for (int row = 0; row < *pageRows && row < rows.knownRows(); ++row) {
            for (int column = 0; column < rows.columnCount(); ++column)
                rows.valueAt(row, column);
        }
    };
    action.tearDown = [cursor] { cursor->reset(); };
    action.engine = firstPage(keystroke, text, pageRows);
    return action;
}

} // namespace

void addKeystroke(Bench &bench, const QString &group, const QString &name,
                  const Keystroke &keystroke, std::vector<Action> &actions)
{
    // The grid's shown rows are learnt by the first action and read by the second.
    auto pageRows = std::make_shared<int>(1);
    actions.push_back(keystrokeAction(bench, group, name, keystroke, pageRows));
    actions.push_back(keystrokeDataAction(bench, group, name, keystroke, pageRows));
}
