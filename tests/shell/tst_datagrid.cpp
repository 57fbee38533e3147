#include "shell/datagrid.h"
#include "store/cursor.h"
#include "support/testsupport.h"

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
};

QTEST_MAIN(tst_DataGrid)
#include "tst_datagrid.moc"
