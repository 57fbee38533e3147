#include "maintenance/backupsettingsdialog.h"
#include "printing/curtprinter.h"
#include "printing/printdialogs.h"
#include "printing/printwindow.h"
#include "purchasing/purchasingscreens.h"
#include "purchasing/stockinposting.h"
#include "reference/referencescreens.h"
#include "reliability/hostileplan.h"
#include "reliability/tablesnapshot.h"
#include "sales/salesscreens.h"
#include "sales/stockoutposting.h"
#include "shell/childscreen.h"
#include "shell/datagrid.h"
#include "shell/herbdeskfrm.h"
#include "shell/logofrm.h"
#include "shell/screenregistry.h"
#include "stock/stockscreens.h"
#include "store/cursor.h"
#include "store/cursormodel.h"
#include "store/values.h"
#include "support/testsupport.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <cmath>

using namespace HostilePlan;

// Texts that break careless programs, typed or pasted into every box of every screen and into
// every kind of grid cell: each is stored exactly as it stood in the box, or refused with a
// message; no other row changes, nothing crashes, and postings still work afterwards.
class tst_HostileInput : public QObject
{
    Q_OBJECT

    int m_tried = 0;
    QTemporaryDir m_pdfFolder;
    const QDir m_pdfs{m_pdfFolder.path()};
    int m_stored = 0;    // an action stored something
    int m_unchanged = 0; // refused, found, or stored nowhere

    static QString boxText(QWidget *box)
    {
        if (auto *combo = qobject_cast<QComboBox *>(box))
            return combo->currentText();
        return static_cast<QLineEdit *>(box)->text();
    }

    static QLineEdit *lineOf(QWidget *box)
    {
        if (auto *combo = qobject_cast<QComboBox *>(box))
            return combo->lineEdit();
        return static_cast<QLineEdit *>(box);
    }

    static void setBoxText(QWidget *box, const QString &text)
    {
        QLineEdit *line = lineOf(box);
        line->clear();
        line->insert(text);
    }

    // Short printable texts are typed key by key, the others pasted.
    static void enterText(QWidget *box, const QString &text)
    {
        QLineEdit *line = lineOf(box);
        line->clear();
        const bool printable = std::all_of(text.cbegin(), text.cend(),
                                           [](QChar c) { return c.isPrint(); });
        if (printable && text.size() <= 40)
            typeInto(line, text);
        else
            line->insert(text);
    }

    static void click(QWidget *screen, const QString &button)
    {
        QPushButton *found = screen->findChild<QPushButton *>(button);
        QVERIFY2(found, qPrintable(button));
        found->click();
        QCoreApplication::processEvents();
    }

    // What the column should hold when the text was stored: the text itself, or the number or
    // date it reads as.
    static bool holdsTyped(const QString &table, const QString &column, const QVariant &stored,
                           const QString &typed)
    {
        const ColumnDef *def = Schema::table(table)->column(column);
        if (def->kind == ColumnKind::Number) {
            const auto number = Values::parseNumber(typed);
            return number && !stored.isNull() && stored.toDouble() == *number;
        }
        if (def->kind == ColumnKind::Date) {
            const auto date = Values::parseDate(typed);
            return date && stored.toString() == Values::storedDate(*date);
        }
        return stored.typeId() == QMetaType::QString && stored.toString() == typed;
    }

    static QVariant valueIn(const TableSnapshot::Change &change, const QString &column)
    {
        return change.after.value(change.columns.indexOf(column));
    }

    // The result shown in the screen's grid holds every row whose columns equal the text.
    static bool findsEqualRows(QWidget *screen, Store &store, const Box &box, const QString &typed)
    {
        if (box.columns.isEmpty())
            return true;
        QStringList conditions;
        QVariantList values;
        for (const QString &column : box.columns) {
            conditions << quotedName(column) + QStringLiteral(" = ?");
            values << typed;
        }
        QSqlQuery equal(store.database());
        equal.prepare(QStringLiteral("SELECT count(*) FROM %1 WHERE %2")
                          .arg(quotedName(box.table), conditions.join(QStringLiteral(" OR "))));
        for (const QVariant &value : values)
            equal.addBindValue(value);
        if (!equal.exec() || !equal.next())
            return false;
        Cursor *shown = findWidget<DataGrid>(screen, "DBGrid1")->cursor();
        int found = 0;
        for (int row = 0; row < shown->count(); ++row) {
            for (const QString &column : box.columns) {
                if (shown->valueAt(row, shown->columnIndex(column)).toString() == typed) {
                    ++found;
                    break;
                }
            }
        }
        return found >= equal.value(0).toInt();
    }

    // Judges what one action did with the text; empty when it is sound, else what is wrong.
    static QString judge(const Box &box, const QString &typed,
                         const QList<TableSnapshot::Change> &changes, bool told)
    {
        if (box.role == Role::Search) {
            return changes.isEmpty()
                       ? QString()
                       : QStringLiteral("rows changed: ") + TableSnapshot::describe(changes);
        }
        if (box.role == Role::Free) {
            // What the action stores of the other boxes is its own business; this text is
            // stored nowhere.
            // ("*" is what the program itself stores for a value not given.)
            for (const TableSnapshot::Change &change : changes) {
                if (typed != QLatin1String("*") && change.after.contains(QVariant(typed)))
                    return QStringLiteral("stored in ") + TableSnapshot::describe({change});
            }
            return {};
        }
        if (changes.isEmpty())
            return told ? QString() : QStringLiteral("neither stored nor refused with a message");
        for (const TableSnapshot::Change &change : changes) {
            if (change.table != box.table || change.kind == TableSnapshot::Change::Deleted)
                return QStringLiteral("other rows changed: ") + TableSnapshot::describe(changes);
        }
        if (box.role == Role::WriteOff) {
            const auto quantity = Values::parseNumber(typed);
            const TableSnapshot::Change &change = changes.first();
            const QString column = box.columns.first();
            const double before = change.before.value(change.columns.indexOf(column)).toDouble();
            if (changes.size() != 1 || !quantity
                || std::fabs(valueIn(change, column).toDouble() - (before - *quantity)) > 1e-9)
                return QStringLiteral("wrong write-off: ") + TableSnapshot::describe(changes);
            return {};
        }
        for (const TableSnapshot::Change &change : changes) {
            const QVariant stored = valueIn(change, box.columns.first());
            if (!holdsTyped(box.table, box.columns.first(), stored, typed))
                return QStringLiteral("stored %1 instead").arg(stored.toString().left(60));
        }
        return {};
    }

    static void prepareScreen(QWidget *screen, const Screen &plan, Store &store, int caseNumber,
                              const QHash<QString, QString> &clean)
    {
        for (auto text = clean.cbegin(); text != clean.cend(); ++text)
            setBoxText(screen->findChild<QWidget *>(text.key()), text.value());
        if (!plan.chooseFirstIn.isEmpty()) {
            auto *combo = findWidget<QComboBox>(screen, plan.chooseFirstIn);
            combo->setCurrentIndex(0);
            emit combo->activated(0);
        }
        for (const auto &[name, value] : plan.baseline)
            setBoxText(screen->findChild<QWidget *>(name), value(store, caseNumber));
    }

    static QHash<QString, QString> boxTexts(QWidget *screen, const Screen &plan)
    {
        QHash<QString, QString> texts;
        for (const Box &box : plan.boxes)
            texts.insert(box.name, boxText(screen->findChild<QWidget *>(box.name)));
        for (const auto &baseline : plan.baseline)
            texts.insert(baseline.first, boxText(screen->findChild<QWidget *>(baseline.first)));
        return texts;
    }

    static int pendingLines(Store &store, const Screen &plan)
    {
        QSqlQuery pending(store.database());
        pending.exec(QStringLiteral("SELECT count(*) FROM %1 WHERE %2 IS NULL")
                         .arg(quotedName(plan.pendingTable), quotedName(plan.flagColumn)));
        return pending.next() ? pending.value(0).toInt() : -1;
    }

    // Posts what an entry screen holds: no message, nothing left pending. The boxes that the
    // posting renewed (the document number) keep their new text from now on.
    static void postOnScreen(QWidget *screen, const Screen &plan, Store &store,
                             MessageRecorder &messages, QHash<QString, QString> *clean)
    {
        messages.clear();
        const QHash<QString, QString> before = boxTexts(screen, plan);
        click(screen, plan.postButton);
        QVERIFY2(messages.texts.isEmpty(), qPrintable(messages.texts.join('|')));
        QCOMPARE(pendingLines(store, plan), 0);
        const QHash<QString, QString> after = boxTexts(screen, plan);
        for (auto text = after.cbegin(); text != after.cend(); ++text) {
            if (text.value() != before.value(text.key()))
                clean->insert(text.key(), text.value());
        }
    }

    void tryInput(QWidget *screen, const Screen &plan, const Box &box, const QString &input,
                  Store &store, MessageRecorder &messages, QHash<QString, QString> *clean)
    {
        const int caseNumber = ++m_tried;
        prepareScreen(screen, plan, store, caseNumber, *clean);
        QWidget *target = screen->findChild<QWidget *>(box.name);
        enterText(target, input);
        if (!box.mirror.isEmpty())
            enterText(screen->findChild<QWidget *>(box.mirror), input);
        if (!box.option.isEmpty())
            findWidget<QRadioButton>(screen, box.option)->setChecked(true);
        if (box.role == Role::WriteOff) {
            auto *grid = findWidget<DataGrid>(screen, "DBGrid1");
            grid->setCurrentIndex(grid->model()->index(0, 0));
        }
        messages.clear();
        const TableSnapshot before(store);
        QString typed = boxText(target);
        QList<TableSnapshot::Change> changes;
        // Enter first (it moves on, computes, adds or searches), then the screen's button when
        // Enter did nothing.
        if (box.role != Role::Search) {
            pressEnter(lineOf(target));
            QCoreApplication::processEvents();
            changes = before.changesTo(TableSnapshot(store));
        }
        if (changes.isEmpty() && messages.texts.isEmpty()) {
            typed = boxText(target);
            click(screen, plan.action);
            changes = before.changesTo(TableSnapshot(store));
        }
        const QString where = QStringLiteral("%1 %2 with \"%3\"")
                                  .arg(plan.name, box.name, input.left(40).toHtmlEscaped());
        const QString fault = judge(box, typed, changes, !messages.texts.isEmpty());
        ++(changes.isEmpty() ? m_unchanged : m_stored);
        QVERIFY2(fault.isEmpty(), qPrintable(where + QStringLiteral(": ") + fault));
        if (box.role == Role::Search && messages.texts.isEmpty())
            QVERIFY2(findsEqualRows(screen, store, box, typed), qPrintable(where));
        if (!box.print.isEmpty())
            printToPdf(screen, box.print, where);
        if (!changes.isEmpty() && !plan.postButton.isEmpty())
            postOnScreen(screen, plan, store, messages, clean);
        if (QTest::currentTestFailed())
            qWarning() << where << "messages:" << messages.texts;
    }

    // Opens the print window that reads the screen's boxes and lines, saves it as PDF and
    // closes it.
    void printToPdf(QWidget *screen, const QString &button, const QString &where)
    {
        click(screen, button);
        PrintWindow *print = nullptr;
        for (QWidget *top : QApplication::topLevelWidgets()) {
            if (auto *window = qobject_cast<PrintWindow *>(top); window && window->isVisible())
                print = window;
        }
        QVERIFY2(print, qPrintable(where + QStringLiteral(": no print window")));
        const QString file = m_pdfs.filePath(QStringLiteral("%1.pdf").arg(m_tried));
        const auto previous = PrintDialogs::replacePdfFileChooser(
            [&file](QWidget *, const QString &) { return file; });
        print->printer()->findChild<QAction *>(QStringLiteral("pdfAction"))->trigger();
        PrintDialogs::replacePdfFileChooser(previous);
        print->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY2(QFileInfo(file).size() > 0, qPrintable(where + QStringLiteral(": no PDF")));
    }

    // Opens the cell's editor, puts the text in and commits the row as leaving it does.
    static void editCell(DataGrid *grid, int column, const QString &text)
    {
        const QModelIndex index = grid->model()->index(0, column);
        grid->setCurrentIndex(index);
        grid->edit(index);
        QLineEdit *editor = nullptr;
        for (QLineEdit *candidate : grid->viewport()->findChildren<QLineEdit *>()) {
            if (candidate->isVisible())
                editor = candidate;
        }
        if (!editor)
            return;
        enterText(editor, text);
        pressEnter(editor);
        QCoreApplication::processEvents();
        grid->submitPendingEdits();
    }

    // One column of each kind of cell the grid shows.
    static QList<int> columnsOfEachKind(const Cursor &cursor)
    {
        const TableDef *table = Schema::table(cursor.source().table);
        QList<int> chosen;
        QList<ColumnKind> seen;
        for (int column = 0; column < cursor.columnCount() && table; ++column) {
            const ColumnDef *def = table->column(cursor.columnNames()[column]);
            if (def && !seen.contains(def->kind)) {
                seen << def->kind;
                chosen << column;
            }
        }
        return chosen;
    }

    // Lists rows in the screen's grid: those it opens with, or all that a "*" search finds, or
    // a line the screen adds.
    static void fillGrid(QWidget *screen, const Screen &plan, Store &store)
    {
        auto *grid = findWidget<DataGrid>(screen, "DBGrid1");
        if (grid->cursor()->count() > 0)
            return;
        for (const Box &box : plan.boxes) {
            if (box.role == Role::Search && !box.columns.isEmpty()) {
                if (!box.option.isEmpty())
                    findWidget<QRadioButton>(screen, box.option)->setChecked(true);
                setBoxText(screen->findChild<QWidget *>(box.name), QStringLiteral("*"));
                click(screen, plan.action);
                return;
            }
        }
        for (const auto &[name, value] : plan.baseline)
            setBoxText(screen->findChild<QWidget *>(name), value(store, 0));
        click(screen, plan.action);
    }

    void tryGridCells(QWidget *screen, const Screen &plan, Store &store, MessageRecorder &messages)
    {
        auto *grid = screen->findChild<DataGrid *>(QStringLiteral("DBGrid1"));
        if (!grid)
            return;
        fillGrid(screen, plan, store);
        Cursor *rows = grid->cursor();
        if (rows->count() == 0 || !(grid->model()->flags(grid->model()->index(0, 0))
                                    & Qt::ItemIsEditable))
            return;
        const QString table = rows->source().table;
        for (const int column : columnsOfEachKind(*rows)) {
            const QString name = rows->columnNames()[column];
            for (const QString &input : HostilePlan::inputs()) {
                ++m_tried;
                messages.clear();
                const QString shown = grid->model()->index(0, column).data().toString();
                const TableSnapshot before(store);
                editCell(grid, column, input);
                const QList<TableSnapshot::Change> changes =
                    before.changesTo(TableSnapshot(store));
                const Box cell{name, Role::Entry, table, {name}};
                const QString where = QStringLiteral("%1 grid cell %2 with \"%3\"")
                                          .arg(plan.name, name, input.left(40));
                // A text equal to what the cell showed changes nothing and needs no message.
                const bool same = shown == input && changes.isEmpty();
                const QString fault =
                    same ? QString() : judge(cell, input, changes, !messages.texts.isEmpty());
                QVERIFY2(fault.isEmpty(), qPrintable(where + QStringLiteral(": ") + fault));
            }
        }
        // A line tried in an entry screen's grid is deleted as the clerk would.
        if (!plan.postButton.isEmpty()) {
            grid->setCurrentIndex(grid->model()->index(0, 0));
            click(screen, QStringLiteral("Command2"));
        }
    }

    // What the screens need to find: stock to sell, and rows holding each text where a search
    // looks, posted so that no posting meets them.
    static void prepareStore(Store &store, const Screen &plan)
    {
        Cursor pending(store);
        QVERIFY(pending.open(Query("jinhuo", Filter::isNull("入库"))));
        pending.addNew();
        QVERIFY(pending.setValue("编号", "S1") && pending.setValue("品名", "枸杞")
                && pending.setValue("数量", 1e6) && pending.setValue("进价", 2)
                && pending.setValue("金额", 2e6) && pending.update());
        StockInRequest request;
        request.documentNumber = QStringLiteral("JH20261205001");
        QVERIFY(postPendingPurchases(store, request).ok);
        for (const Box &box : plan.boxes) {
            if (box.role != Role::Search || box.columns.isEmpty())
                continue;
            Cursor rows(store);
            QVERIFY(rows.open(Query(box.table)));
            for (const QString &input : HostilePlan::inputs()) {
                if (!Values::fitsTextColumn(input))
                    continue;
                rows.addNew();
                for (const QString &column : box.columns)
                    QVERIFY(rows.setValue(column, input));
                if (box.table == QLatin1String("jinhuo"))
                    QVERIFY(rows.setValue("入库", "已入库"));
                if (box.table == QLatin1String("chuhuo"))
                    QVERIFY(rows.setValue("出库", "已出库"));
                QVERIFY2(rows.update(), qPrintable(rows.lastError().text()));
            }
        }
    }

    // A purchase and a sale through the postings, after whatever the screen stored.
    static void postingsStillWork(Store &store)
    {
        Cursor purchases(store);
        QVERIFY(purchases.open(Query("jinhuo", Filter::isNull("入库"))));
        purchases.addNew();
        QVERIFY(purchases.setValue("编号", "LAST") && purchases.setValue("数量", 5)
                && purchases.update());
        StockInRequest purchase;
        purchase.documentNumber = QStringLiteral("JH20261205999");
        const PostingResult bought = postPendingPurchases(store, purchase);
        QVERIFY2(bought.ok, qPrintable(bought.error.text()));
        Cursor sales(store);
        QVERIFY(sales.open(Query("chuhuo", Filter::isNull("出库"))));
        sales.addNew();
        QVERIFY(sales.setValue("编号", "LAST") && sales.setValue("数量", 5) && sales.update());
        const PostingResult sold =
            postPendingSales(store, {QStringLiteral("XS20261205999"), {}, {}, false});
        QVERIFY2(sold.ok, qPrintable(sold.error.text()));
    }

    static ScreenRegistry registry()
    {
        ScreenRegistry screens;
        registerReferenceScreens(screens);
        registerPurchasingScreens(screens);
        registerSalesScreens(screens);
        registerStockScreens(screens);
        return screens;
    }

    // The boxes a user can type into: text boxes and editable combo boxes, outside the grids.
    static QStringList typableBoxes(QWidget *screen)
    {
        QStringList names;
        for (QLineEdit *line : screen->findChildren<QLineEdit *>()) {
            QWidget *owner = line->parentWidget();
            bool inGrid = false;
            for (QWidget *w = owner; w && w != screen; w = w->parentWidget())
                inGrid = inGrid || qobject_cast<QAbstractItemView *>(w)
                         || qobject_cast<QAbstractSpinBox *>(w);
            if (line->isReadOnly() || inGrid)
                continue;
            names << (qobject_cast<QComboBox *>(owner) ? owner->objectName() : line->objectName());
        }
        return names;
    }

private slots:
    void cleanupTestCase()
    {
        qInfo("hostile input: %d inputs tried; of those in boxes %d stored, %d refused, searched "
              "or kept out of the tables",
              m_tried, m_stored, m_unchanged);
    }

    // The map of boxes must know every box of every screen that the menu opens.
    void planCoversEveryBox()
    {
        TempStore temp;
        MessageRecorder messages;
        const ScreenRegistry screens = registry();
        HerbdeskFrm desk(temp.store(), screens, Session{QStringLiteral("药行")});
        desk.show();
        QHash<QString, QStringList> planned;
        for (const Screen &plan : HostilePlan::screens()) {
            for (const Box &box : plan.boxes)
                planned[plan.name] << box.name;
        }
        int screensSeen = 0;
        for (QAction *item : desk.menuBar()->findChildren<QAction *>()) {
            if (item->menu() || item->isSeparator() || !item->isEnabled()
                || item->objectName().isEmpty() || !item->objectName().endsWith("num"))
                continue;
            QMdiSubWindow *before = desk.clientArea()->activeSubWindow();
            item->trigger();
            QMdiSubWindow *opened = desk.clientArea()->activeSubWindow();
            if (!opened || opened == before)
                continue;
            ++screensSeen;
            const QString name = opened->widget()->objectName();
            for (const QString &box : typableBoxes(opened->widget())) {
                QVERIFY2(planned.value(name).contains(box),
                         qPrintable(QStringLiteral("%1 %2 is not in the plan").arg(name, box)));
            }
        }
        QVERIFY(screensSeen >= 21);
    }

    void everyBoxOfEveryScreen_data()
    {
        QTest::addColumn<int>("index");
        const QList<Screen> plans = HostilePlan::screens();
        for (int i = 0; i < plans.size(); ++i)
            QTest::addRow("%s %s", qPrintable(plans[i].name), qPrintable(plans[i].action)) << i;
    }

    void everyBoxOfEveryScreen()
    {
        QFETCH(int, index);
        const Screen plan = HostilePlan::screens()[index];
        TempStore temp;
        MessageRecorder messages;
        FixedToday today(QDate(2026, 12, 5));
        prepareStore(temp.store(), plan);
        const ScreenRegistry screens = registry();
        std::unique_ptr<ChildScreen> screen(screens.create(plan.name, temp.store()));
        QVERIFY(screen);
        screen->show();
        QHash<QString, QString> clean = boxTexts(screen.get(), plan);
        for (const Box &box : plan.boxes) {
            for (const QString &input : HostilePlan::inputs()) {
                tryInput(screen.get(), plan, box, input, temp.store(), messages, &clean);
                if (QTest::currentTestFailed())
                    return;
            }
        }
        // The cells, on a screen opened afresh.
        screen.reset(screens.create(plan.name, temp.store()));
        screen->show();
        tryGridCells(screen.get(), plan, temp.store(), messages);
        if (QTest::currentTestFailed())
            return;
        if (!plan.postButton.isEmpty())
            postOnScreen(screen.get(), plan, temp.store(), messages, &clean);
        screen.reset();
        postingsStillWork(temp.store());
    }

    // The login: a typed name or password is stored nowhere and never lets anyone in; a user
    // whose name holds any of the texts logs in with the first password.
    void loginWindow()
    {
        TempStore temp;
        MessageRecorder messages;
        const ScreenRegistry screens = registry();
        Cursor users(temp.store());
        QVERIFY(users.open(Query("user")));
        for (const QString &input : HostilePlan::inputs()) {
            if (!Values::fitsTextColumn(input))
                continue;
            users.addNew();
            QVERIFY(users.setValue("用户", input) && users.setValue("密码", "572946")
                    && users.update());
        }
        const TableSnapshot before(temp.store());
        for (const QString &input : HostilePlan::inputs()) {
            for (const QString &box : {QStringLiteral("Combo1"), QStringLiteral("Text1")}) {
                ++m_tried;
                LogoFrm login(temp.store(), screens);
                auto *combo = findWidget<QComboBox>(&login, "Combo1");
                if (box == QLatin1String("Text1")) {
                    combo->setCurrentIndex(0);
                    emit combo->activated(0);
                }
                enterText(login.findChild<QWidget *>(box), input);
                messages.clear();
                bool entered = false;
                connect(&login, &LogoFrm::loggedIn, this, [&entered](HerbdeskFrm *desk) {
                    entered = true;
                    desk->close();
                });
                click(&login, "Command1");
                QVERIFY2(!entered && messages.texts == QStringList{"密码不正确！"},
                         qPrintable(box + " " + input.left(40)));
            }
        }
        QVERIFY(before.changesTo(TableSnapshot(temp.store())).isEmpty());
        for (const QString &input : HostilePlan::inputs()) {
            if (!Values::fitsTextColumn(input))
                continue;
            LogoFrm login(temp.store(), screens);
            auto *combo = findWidget<QComboBox>(&login, "Combo1");
            const int user = combo->findText(input, Qt::MatchExactly | Qt::MatchCaseSensitive);
            QVERIFY2(user >= 0, qPrintable(input.left(40)));
            combo->setCurrentIndex(user);
            emit combo->activated(user);
            enterText(findWidget<QLineEdit>(&login, "Text1"), QStringLiteral("572946"));
            bool entered = false;
            connect(&login, &LogoFrm::loggedIn, this, [&entered](HerbdeskFrm *desk) {
                entered = true;
                desk->close();
            });
            messages.clear();
            click(&login, "Command1");
            QVERIFY2(entered, qPrintable(input.left(40) + ": " + messages.texts.join('|')));
        }
    }

    // The backup folder takes a whole path or says what it wants.
    void backupSettings()
    {
        MessageRecorder messages;
        for (const QString &input : HostilePlan::inputs()) {
            ++m_tried;
            BackupSettingsDialog dialog(BackupSettings{}, QStringLiteral("/tmp/backup"));
            enterText(findWidget<QLineEdit>(&dialog, "Text1"), input);
            const QString typed = findWidget<QLineEdit>(&dialog, "Text1")->text();
            messages.clear();
            click(&dialog, "Command1");
            if (dialog.result() == QDialog::Accepted)
                QCOMPARE(dialog.settings().folder, QDir::fromNativeSeparators(typed.trimmed()));
            else
                QVERIFY2(!messages.texts.isEmpty(), qPrintable(input.left(40)));
        }
    }
};

QTEST_MAIN(tst_HostileInput)
#include "tst_hostileinput.moc"
