#include "shell/datagrid.h"
#include "shell/dropdownsearch.h"
#include "store/cursor.h"
#include "support/testsupport.h"

#include <QLineEdit>
#include <QScrollBar>

class tst_DropDownSearch : public QObject
{
    Q_OBJECT

private slots:
    void dropsUnderTheBoxShowingWholeRows()
    {
        TempStore temp;
        temp.exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 9) "
                  "INSERT INTO yaocai (编号, 品名, 拼音, 厂家) "
                  "SELECT '12' || i, '甘草', 'gc', '亳州康美中药饮片有限公司' FROM n");
        QWidget window;
        window.resize(800, 500);
        auto *box = new QLineEdit(&window);
        box->setGeometry(30, 40, 100, 20);
        DropDownSearch lookup(temp.store(), &window, "DBGrid2");
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        DataGrid *grid = lookup.grid();

        // The pinyin box asks for 800 twips, less than a header and three rows: the list grows
        // downwards, keeping its place and width, and no scroll bar covers a row.
        QVERIFY(lookup.search(box, Query("yaocai"), 6000, 800, 5));
        QVERIFY(lookup.isShown());
        const QRect dropped = grid->geometry();
        QCOMPARE(dropped.topLeft(), QPoint(30, 60));
        QCOMPARE(dropped.width(), 400);
        QVERIFY(dropped.height() > 800 / 15);
        QVERIFY(!grid->horizontalScrollBar()->isVisible());
        QVERIFY(grid->rowViewportPosition(2) + grid->rowHeight(2) <= grid->viewport()->height());
        QCOMPARE(grid->columnWidth(4), 60);
        // Columns past the sized ones fit their content.
        const int maker = grid->cursor()->columnIndex("厂家");
        QVERIFY(grid->columnWidth(maker)
                > grid->fontMetrics().horizontalAdvance("亳州康美中药饮片有限公司"));

        // A height that holds three rows is kept; a failed query leaves the list where it was.
        QVERIFY(lookup.search(box, Query("yaocai"), 6000, 1600, 5));
        QCOMPARE(grid->height(), 1600 / 15);
        box->move(200, 100);
        QVERIFY(!lookup.search(box, Query("nosuchtable"), 6000, 1300, 5));
        QCOMPARE(grid->geometry(), QRect(30, 60, 400, 1600 / 15));
    }
};

QTEST_MAIN(tst_DropDownSearch)
#include "tst_dropdownsearch.moc"
