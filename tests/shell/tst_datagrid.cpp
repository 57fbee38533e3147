#include "shell/celldelegate.h"
#include "shell/datagrid.h"
#include "store/cursor.h"
#include "support/testsupport.h"

#include <QLineEdit>

class tst_DataGrid : public QObject
{
    Q_OBJECT

    TempStore *m_temp = nullptr;
    MessageRecorder *m_messages = nullptr;
    Cursor *m_cursor = nullptr;
    DataGrid *m_grid = nullptr;

    void editCell(int row, int column, const QString &text)
    {
        QVERIFY(editGridCell(m_grid, row, column, text));
    }

    QString shown(int row, int column)
    {
        return m_grid->model()->index(row, column).data().toString();
    }

private slots:
    void init()
    {
        m_temp = new TempStore;
        m_messages = new MessageRecorder;
        m_temp->exec("INSERT INTO kucun (编号, 品名, 库存数量) VALUES ('a', '甘草', 10), ('a', '甘草', 10),"
                     " ('b', '黄芪', 3)");
        m_cursor = new Cursor(m_temp->store());
        QVERIFY(m_cursor->open(Query("kucun")));
        m_grid = new DataGrid(m_cursor, "DBGrid1");
        m_grid->resize(600, 300);
        m_grid->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_grid));
    }

    void cleanup()
    {
        delete m_grid;
        delete m_cursor;
        delete m_messages;
        delete m_temp;
    }

    void editIsSavedWhenLeavingTheRow()
    {
        const int quantity = m_cursor->columnIndex("库存数量");
        editCell(2, quantity, "7.5");
        // Still on the row: nothing stored yet, but the grid shows the new value.
        QCOMPARE(m_temp->scalar("SELECT 库存数量 FROM kucun WHERE 编号 = 'b'").toDouble(), 3.0);
        QCOMPARE(shown(2, quantity), QStringLiteral("7.5"));
        m_grid->setCurrentIndex(m_grid->model()->index(0, quantity));
        QCOMPARE(m_temp->scalar("SELECT 库存数量 FROM kucun WHERE 编号 = 'b'").toDouble(), 7.5);

        // Leaving the grid altogether (closing its screen) saves as well.
        editCell(0, m_cursor->columnIndex("品名"), "炙甘草");
        m_grid->submitPendingEdits();
        QCOMPARE(m_temp->scalar("SELECT 品名 FROM kucun WHERE rowid = 1").toString(),
                 QStringLiteral("炙甘草"));
        QVERIFY(m_messages->texts.isEmpty());
    }

    void refusedValueKeepsTheOldOneAndSays()
    {
        const int quantity = m_cursor->columnIndex("库存数量");
        editCell(2, quantity, "很多");
        QCOMPARE(m_messages->texts.size(), 1);
        QVERIFY(m_messages->last().contains("库存数量"));
        QCOMPARE(shown(2, quantity), QStringLiteral("3"));
        m_grid->setCurrentIndex(m_grid->model()->index(0, 0));
        QCOMPARE(m_temp->scalar("SELECT 库存数量 FROM kucun WHERE 编号 = 'b'").toDouble(), 3.0);

        // Emptying a number cell stores Null, as an empty box does.
        editCell(2, quantity, "");
        m_grid->setCurrentIndex(m_grid->model()->index(0, 0));
        QVERIFY(m_temp->scalar("SELECT 库存数量 FROM kucun WHERE 编号 = 'b'").isNull());
    }

    void gridAndCursorShareTheCurrentRow()
    {
        m_grid->setCurrentIndex(m_grid->model()->index(2, 1));
        QCOMPARE(m_cursor->value("编号").toString(), QStringLiteral("b"));
        m_cursor->first();
        QCOMPARE(m_grid->currentIndex().row(), 0);
        QVERIFY(m_cursor->remove());
        QCOMPARE(m_grid->model()->rowCount(), 2);
        QVERIFY(!m_grid->currentIndex().isValid());
        QVERIFY(m_grid->selectionModel()->selectedIndexes().isEmpty());
        QCOMPARE(m_temp->scalar("SELECT count(*) FROM kucun").toInt(), 2);
    }

    void followsRowsAddedAndDeletedThroughTheCursor()
    {
        m_cursor->addNew();
        QVERIFY(m_cursor->setValue("编号", "c"));
        QVERIFY(m_cursor->update());
        QCOMPARE(m_grid->model()->rowCount(), 4);
        m_cursor->last();
        QCOMPARE(m_grid->currentIndex().row(), 3);
        QCOMPARE(shown(3, 0), QStringLiteral("c"));
        QVERIFY(m_cursor->open(Query("kucun", Filter::like("编号", "a"))));
        QCOMPARE(m_grid->model()->rowCount(), 2);
    }

    // A long result is read as the grid scrolls: the scroll bar reaches every row.
    void scrollingReadsTheRestOfALongResult()
    {
        m_temp->exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000)"
                     " INSERT INTO kucun (编号, 库存数量) SELECT 'k' || i, i FROM n");
        QVERIFY(m_cursor->open(Query("kucun")));
        QVERIFY(m_grid->model()->rowCount() < 2003);
        for (int step = 0; step < 100 && m_grid->model()->canFetchMore(QModelIndex()); ++step) {
            m_grid->scrollToBottom();
            QCoreApplication::processEvents();
        }
        QCOMPARE(m_grid->model()->rowCount(), 2003);
        QCOMPARE(shown(2002, 0), QStringLiteral("k2000"));
        m_grid->setCurrentIndex(m_grid->model()->index(2002, 1));
        QCOMPARE(m_cursor->value("编号").toString(), QStringLiteral("k2000"));
    }

    // A row changed elsewhere after the grid read it: the edit is refused and the grid shows
    // the row as stored.
    void editOfARowChangedElsewhereIsRefused()
    {
        const int quantity = m_cursor->columnIndex("库存数量");
        m_temp->exec("UPDATE kucun SET 库存数量 = 4 WHERE 编号 = 'b'");
        editCell(2, 1, "黄芪片");
        m_grid->setCurrentIndex(m_grid->model()->index(0, 0));
        QCOMPARE(m_messages->texts, QStringList("记录已被修改或删除，请重新查询"));
        QCOMPARE(shown(2, quantity), QStringLiteral("4"));
        QCOMPARE(m_temp->scalar("SELECT 品名 FROM kucun WHERE 编号 = 'b'").toString(),
                 QStringLiteral("黄芪"));
    }

    void numbersStandRightAndMoneyShowsCents()
    {
        m_temp->exec("UPDATE kucun SET 进价 = 12.5, 进价金额 = 37.499, 入库数量 = 2.25 WHERE 编号 = 'b'");
        QVERIFY(m_cursor->refresh());
        const auto drawn = [this](int row, const char *column) {
            const QModelIndex index = m_grid->model()->index(row, m_cursor->columnIndex(column));
            QStyleOptionViewItem option;
            qobject_cast<CellDelegate *>(m_grid->itemDelegate())->initStyleOption(&option, index);
            return option.text + (option.displayAlignment & Qt::AlignRight ? " >" : " <");
        };
        QCOMPARE(drawn(2, "进价"), QStringLiteral("12.50 >"));
        QCOMPARE(drawn(2, "进价金额"), QStringLiteral("37.50 >"));
        // Quantities never get cents; text stays left; an empty amount stays empty.
        QCOMPARE(drawn(2, "库存数量"), QStringLiteral("3 >"));
        QCOMPARE(drawn(2, "入库数量"), QStringLiteral("2.25 >"));
        QCOMPARE(drawn(2, "品名"), QStringLiteral("黄芪 <"));
        QCOMPARE(drawn(0, "进价"), QStringLiteral(" >"));

        // Editing starts from the stored value, not from the one shown.
        const QModelIndex amount = m_grid->model()->index(2, m_cursor->columnIndex("进价金额"));
        m_grid->setCurrentIndex(amount);
        m_grid->edit(amount);
        auto *editor = m_grid->viewport()->findChild<QLineEdit *>();
        QVERIFY(editor);
        QCOMPARE(editor->text(), QStringLiteral("37.499"));
    }

    void columnsFitTheirHeaderAndFirstRows()
    {
        const QString longName = QStringLiteral("亳州市康美中药饮片有限责任公司");
        const QString farDown(40, QLatin1Char('9'));
        m_temp->exec("INSERT INTO changjia VALUES (?, '安徽亳州', '王', '0558')", {longName});
        m_temp->exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                     "WHERE i < 60) INSERT INTO changjia SELECT '厂', NULL, NULL, '1' FROM n");
        m_temp->exec("INSERT INTO changjia VALUES ('厂', NULL, NULL, ?)", {farDown});
        Cursor partners(m_temp->store());
        QVERIFY(partners.open(Query("changjia")));
        DataGrid grid(&partners, "DBGrid1");
        grid.resize(700, 300);
        grid.show();
        const QFontMetrics metrics = grid.fontMetrics();
        const auto total = [&grid] {
            int sum = 0;
            for (int column = 0; column < grid.model()->columnCount(); ++column)
                sum += grid.columnWidth(column);
            return sum;
        };
        // The name shows whole; a value beyond the first rows is not measured; rows are compact.
        QVERIFY(grid.columnWidth(0) > metrics.horizontalAdvance(longName));
        QVERIFY(grid.columnWidth(3) < metrics.horizontalAdvance(farDown));
        QVERIFY(grid.rowHeight(0) <= metrics.height() + 6);
        // The room left over is shared out: no empty strip beside columns that cut their text.
        QCOMPARE(total(), grid.viewport()->width());

        // Fixed widths hold through a new result and another grid width.
        grid.setColumnWidthsTwips(1, 900);
        QVERIFY(partners.open(Query("changjia", Filter::like("厂家", "厂"))));
        grid.resize(500, 300);
        QCOMPARE(grid.columnWidth(0), 60);
        QCOMPARE(total(), grid.viewport()->width());

        // A list that starts empty widens for its first rows.
        Cursor customers(m_temp->store());
        QVERIFY(customers.open(Query("yonghu")));
        DataGrid list(&customers, "DBGrid2");
        list.resize(700, 300);
        list.show();
        customers.addNew();
        QVERIFY(customers.setValue("客户", longName) && customers.update());
        QVERIFY(list.columnWidth(0) > metrics.horizontalAdvance(longName));
    }
};

QTEST_MAIN(tst_DataGrid)
#include "tst_datagrid.moc"
